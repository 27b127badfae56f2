#include "function_call.h"

#include "arrays.h"
#include "core/interpreter.h"
#include "core/numbers.h"

namespace tesmora {

namespace {

int leadingArguments(const WordList &args)
{
    for (int i = 0; i < kMaxWords; ++i)
        if (args[i].kind == wkNone)
            return i;
    return kMaxWords;
}

const TWordStatus kAbsentArgument;

} // namespace

FunctionCall::FunctionCall(Interpreter &in_, const QString &name_, WordList &args_, TWordStatus &result_)
    : FunctionCall(in_, name_, args_, result_, leadingArguments(args_))
{
}

FunctionCall::FunctionCall(Interpreter &in_, const QString &name_, WordList &args_, TWordStatus &result_,
                           int count)
    : in(in_), name(name_), args(args_), result(result_), count_(count)
{
}

const TWordStatus &FunctionCall::arg(int i) const
{
    return i >= 0 && i < count_ ? args[i] : kAbsentArgument;
}

std::int64_t FunctionCall::integer(int i) const
{
    std::int64_t v = 0;
    if (!RoundToInt64(number(i), v))
        throw RuntimeFailure(QStringLiteral("The value %1 is too large for an integer.")
                                 .arg(FormatNumber(number(i)))
                                 .toStdString());
    return v;
}

int FunctionCall::arrayNo(int i)
{
    const int n = arg(i).kind == wkArrayName ? in.FindArray(text(i)) : 0;
    if (n == 0)
        fail(186, {text(i)});
    return n;
}

t_arr_specification *FunctionCall::array(int i)
{
    const int n = arrayNo(i);
    return n > 0 ? &in.arrays().at(n) : nullptr;
}

const t_arr_specification *FunctionCall::namedArray(int i) const
{
    const int n = arg(i).kind == wkArrayName ? in.FindArray(text(i)) : 0;
    return n > 0 ? &in.arrays().at(n) : nullptr;
}

void FunctionCall::setText(const QString &text)
{
    result.clear();
    result.kind = wkString;
    result.setText(text);
}

void FunctionCall::setNumber(double value)
{
    if (systemDecimalSeparator() != QLatin1Char('.')) {
        setNumber(value, GeneralNumberTextSystem(value));
        return;
    }
    result.clear();
    result.kind = wkFloat;
    result.float_val = value;
    result.setNumberText(value);
}

void FunctionCall::setNumber(double value, const QString &text)
{
    result.clear();
    result.kind = wkFloat;
    result.float_val = value;
    result.setText(text);
}

void FunctionCall::setInteger(std::int64_t value)
{
    result.kind = wkInt;
    result.float_val = static_cast<double>(value);
    // Up to 15 digits the general text is the integer's digits.
    if (NumberTextIsExact(result.float_val))
        result.setNumberText(result.float_val);
    else
        result.setText(QString::number(value));
}

void FunctionCall::setBool(bool value)
{
    result.clear();
    result.kind = wkBool;
    result.bool_val = value;
    result.float_val = value ? 1.0 : 0.0;
    result.setText(value ? QStringLiteral("true") : QStringLiteral("false"));
}

void FunctionCall::setArray(const QString &arrayName)
{
    result.clear();
    result.kind = wkArrayName;
    result.setText(arrayName);
}

void FunctionCall::fail(int messageId, const MessageArgs &messageArgs)
{
    fail(in.MessageText(messageId, messageArgs));
}

void FunctionCall::fail(const QString &text)
{
    result.clear();
    in.RaiseError(text);
}

bool FunctionCall::failed() const
{
    return in.failed();
}

void RaiseFunctionNotFound(Interpreter &in, const QString &name)
{
    in.RaiseError(QString::fromUtf8("Ошибка интерпретатора. Не найдена функция \"") + name +
                  QStringLiteral("\"."));
}

} // namespace tesmora
