#include "builtins.h"

#include "arrays.h"
#include "builtin_families.h"
#include "core/interpreter.h"
#include "core/numbers.h"

#include <QHash>

namespace tesmora {

namespace {

class HashRegistry : public BuiltinRegistry {
public:
    QHash<QString, BuiltinFunction> map;
    void add(const char *catalogueName, BuiltinFunction fn) override
    {
        map.insert(QString::fromLatin1(catalogueName).toLower(), fn);
    }
};

const HashRegistry &registry()
{
    static const HashRegistry r = [] {
        HashRegistry reg;
        registerBuiltinFamilies(reg);
        return reg;
    }();
    return r;
}

} // namespace

BuiltinFunction findBuiltin(const QString &name) { return registry().map.value(name.toLower(), nullptr); }

BuiltinCall::BuiltinCall(Interpreter &in_, const QString &name_, WordList &args_, TWordStatus &result_)
    : in(in_), name(name_), args(args_), result(result_)
{
}

int BuiltinCall::count() const
{
    for (int i = 0; i < kMaxWords; ++i)
        if (args[i].kind == wkNone)
            return i;
    return kMaxWords;
}

std::int64_t BuiltinCall::integer(int i) const
{
    std::int64_t v = 0;
    if (!RoundToInt64(args[i].float_val, v))
        throw RuntimeFailure(QStringLiteral("The value %1 is too large for an integer.")
                                 .arg(FormatNumber(args[i].float_val))
                                 .toStdString());
    return v;
}

int BuiltinCall::arrayNo(int i)
{
    const int n = args[i].kind == wkArrayName ? in.FindArray(args[i].str) : 0;
    if (n == 0)
        in.RaiseMessage(186, {args[i].str});
    return n;
}

t_arr_specification *BuiltinCall::array(int i)
{
    const int n = arrayNo(i);
    return n > 0 ? &in.Arrays.at(n) : nullptr;
}

void BuiltinCall::setText(const QString &text)
{
    result.clear();
    result.kind = wkString;
    result.str = text;
}

void BuiltinCall::setNumber(double value) { setNumber(value, GeneralNumberTextSystem(value)); }

void BuiltinCall::setNumber(double value, const QString &text)
{
    result.clear();
    result.kind = wkFloat;
    result.float_val = value;
    result.str = text;
}

void BuiltinCall::setBool(bool value)
{
    result.clear();
    result.kind = wkBool;
    result.bool_val = value;
    result.float_val = value ? 1.0 : 0.0;
    result.str = value ? QStringLiteral("true") : QStringLiteral("false");
}

void BuiltinCall::setArray(const QString &arrayName)
{
    result.clear();
    result.kind = wkArrayName;
    result.str = arrayName;
}

bool BuiltinCall::failed() const { return in.failed(); }

} // namespace tesmora
