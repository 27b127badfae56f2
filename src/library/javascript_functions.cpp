#include "javascript_functions.h"

#include "core/numbers.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace tesmora {

namespace {

// A number as JavaScript source: the shortest text that reads back as the
// same value ("010" is ten here, but not in JavaScript).
QString numberSource(double x)
{
    if (std::isnan(x))
        return QStringLiteral("NaN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    return QString::number(x, 'g', QLocale::FloatingPointShortest);
}

// An argument as JavaScript source: texts in double quotes with inner double
// quotes doubled, numbers by their value, everything else as its text stands.
QString argumentSource(const TWordStatus &word)
{
    if (isNumberKind(word.kind))
        return numberSource(word.float_val);
    if (!isStringKind(word.kind))
        return word.text();
    QString quoted = word.text();
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Rows whose first argument is the object the method is called on.
bool takesObjectArgument(TJSF_obj obj)
{
    return obj == jso_None || obj == jso_Str || obj == jso_Date;
}

// The call of `row` with its arguments written by `arg` (argument i of the
// value words).
template <typename ArgumentText>
QString callText(const T_FunctionDescription &row, int count, ArgumentText arg)
{
    const QString method = row.name();
    int first = 0;
    bool haveObject = false;
    QString object;
    if (takesObjectArgument(row.Obj) && count > 0) {
        object = arg(0);
        haveObject = true;
        first = 1;
    }

    QStringList methodArgs;
    for (int i = first; i < count; ++i)
        methodArgs << arg(i);

    QString call = method + QLatin1Char('(') + methodArgs.join(QLatin1Char(',')) + QLatin1Char(')');
    if (method.toLower() == QLatin1String("fromcharcode"))
        call.prepend(QLatin1String("String."));

    switch (row.Obj) {
    case jso_Date:
        return QLatin1String("(new Date(") + object + QLatin1String(")).") + call;
    case jso_Math:
        return QLatin1String("Math.") + call;
    case jso_None:
    case jso_Str:
    case jso_String:
        if (haveObject)
            return QLatin1Char('(') + object + QLatin1String(").") + call;
        return call;
    case jso_RE:
        break;
    }
    return call;
}

// True when passing the word as a value gives what its source text gives: a
// number, or a text whose double-quoted source reads back as the same text
// (no quotes, backslashes or line and control characters).
bool passesAsValue(const TWordStatus &word)
{
    if (isNumberKind(word.kind))
        return true;
    if (!isStringKind(word.kind))
        return false;
    for (const QChar ch : word.text()) {
        const char16_t u = ch.unicode();
        if (u < 0x20 || u == '"' || u == '\\' || u == 0x2028 || u == 0x2029)
            return false;
    }
    return true;
}

} // namespace

QString BuildJavaScriptCall(const T_FunctionDescription &row, const WordList &args)
{
    return callText(row, args.count(), [&args](int i) { return argumentSource(args[i]); });
}

QString JavaScriptExpression(const T_FunctionDescription &row, int count)
{
    return callText(row, count, [](int i) { return QLatin1Char('a') + QString::number(i); });
}

JavaScriptCall PrepareJavaScriptCall(const T_FunctionDescription &row, const WordList &args,
                                     const QString &expression)
{
    JavaScriptCall call;
    const int count = args.count();
    call.args.reserve(count);
    for (int i = 0; i < count; ++i) {
        const TWordStatus &word = args[i];
        if (!passesAsValue(word)) {
            call.args.clear();
            call.source = BuildJavaScriptCall(row, args);
            return call;
        }
        if (isNumberKind(word.kind))
            call.args.append({false, word.float_val, {}});
        else
            call.args.append({true, 0.0, word.text()});
    }
    call.expression = expression.isEmpty() ? JavaScriptExpression(row, count) : expression;
    return call;
}

bool NativeStringAnswer(const T_FunctionDescription &row, const WordList &args, QString &answer)
{
    if (row.Obj != jso_Str || args.count() != 2 || !isStringKind(args[0].kind) || !passesAsValue(args[0]) ||
        !isNumberKind(args[1].kind))
        return false;
    const std::u16string_view method = row.nameView();
    const bool charAt = method == u"charAt";
    if (!charAt && method != u"charCodeAt")
        return false;
    // The position as the engine takes it: NaN is 0, fractions are cut off.
    const QString &text = args[0].text();
    const double x = args[1].float_val;
    const double position = std::isnan(x) ? 0.0 : std::trunc(x);
    const bool inside = position >= 0 && position < static_cast<double>(text.size());
    const QChar unit = inside ? text.at(static_cast<qsizetype>(position)) : QChar();
    if (charAt)
        answer = inside ? QString(unit) : QString();
    else
        answer = inside ? QString::number(unit.unicode()) : QStringLiteral("NaN");
    return true;
}

QString BuildJavaScriptCall(int row, const WordList &args)
{
    const auto table = functionTable(FunctionTable::JavaScript);
    if (row < 0 || static_cast<size_t>(row) >= table.size())
        return {};
    return BuildJavaScriptCall(table[static_cast<size_t>(row)], args);
}

bool JavaScriptResultWord(const T_FunctionDescription &row, const QString &answer, TWordStatus &result)
{
    const std::u16string_view type(row.ReturnType);
    if (type != u"int" && type != u"float") {
        result.setText(answer);
        result.kind = wkString;
        result.float_val = 0.0;
        return true;
    }
    // The engine writes numbers in its own notation ("3.5", "1e+21",
    // "-Infinity", "NaN"); reading that notation directly keeps the value
    // whatever the regional separators. NaN and the infinities have no
    // number text in the language and count as invalid.
    const ParsedNumber n = ParseNumber(answer);
    return n.ok() && JavaScriptNumberWord(n.value, result);
}

} // namespace tesmora
