// The arithmetic of the evaluator's reductions, shared by the reduction
// passes (evaluator.cpp) and the direct evaluation of simple ranges
// (simple_expressions.cpp), so that both give the very same words.
#pragma once

#include "numbers.h"
#include "ports/words.h"

#include <cmath>
#include <cstdint>

namespace tesmora::reduction {

inline TWordStatus numberWord(double v, TWordKind kind)
{
    TWordStatus r;
    r.kind = kind;
    r.float_val = v;
    r.setNumberText(v);
    return r;
}

inline QString truthText(bool b)
{
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

inline TWordStatus truthWord(bool b)
{
    TWordStatus r;
    r.kind = wkBool;
    r.bool_val = b;
    r.float_val = b ? 1.0 : 0.0;
    r.setText(truthText(b));
    return r;
}

// Whole numbers stay whole through + - * %; anything with a fraction is a
// fraction.
inline TWordKind resultKind(TWordKind a, TWordKind b)
{
    return (a == wkInt && b == wkInt) ? wkInt : wkFloat;
}

// The one-character operator symbol `c`.
inline bool isSym(const QString &s, char16_t c)
{
    return s.size() == 1 && s.at(0).unicode() == c;
}
inline bool isSym2(const QString &s, char16_t c, char16_t d)
{
    return s.size() == 2 && s.at(0).unicode() == c && s.at(1).unicode() == d;
}

// The comparison operator `op` applied to the sign `c` of a comparison.
inline bool compareResult(const QString &op, int c)
{
    if (isSym(op, u'='))
        return c == 0;
    if (isSym2(op, u'<', u'>'))
        return c != 0;
    if (isSym(op, u'<'))
        return c < 0;
    if (isSym2(op, u'<', u'='))
        return c <= 0;
    if (isSym(op, u'>'))
        return c > 0;
    return c >= 0;
}

// A numeric comparison; NaN is only unequal.
inline bool compareNumbers(const QString &op, double x, double y)
{
    if (std::isnan(x) || std::isnan(y))
        return isSym2(op, u'<', u'>');
    return compareResult(op, x < y ? -1 : (x > y ? 1 : 0));
}

// The integer remainder x % y of truncated operands; false, with the
// runtime's text in `failure`, when it cannot be computed.
inline bool integerRemainder(double a, double b, double &v, QString &failure)
{
    // Truncated, a value fits 64 bits exactly when it lies in
    // [-2^63, 2^63) itself (no double lies between 2^63 - 1 and 2^63), and
    // the conversion truncates.
    const double lim = 9223372036854775808.0;
    if (!(a >= -lim && a < lim) || !(b >= -lim && b < lim)) {
        failure = QStringLiteral("The value is too large for a 64-bit integer.");
        return false;
    }
    const auto xi = static_cast<std::int64_t>(a);
    const auto yi = static_cast<std::int64_t>(b);
    if (yi == 0) {
        failure = QStringLiteral("Integer division by zero.");
        return false;
    }
    v = static_cast<double>(yi == -1 ? 0 : xi % yi);
    return true;
}

// A product or quotient of +infinity is reported as a division by zero.
inline bool reportsDivisionByZero(double v)
{
    return std::isinf(v) && v > 0;
}

// The word of a variable becomes the variable's value: its kind, its text
// and what the text says as a number or truth value. False when the
// variable holds no value.
inline bool takeVariableValue(const Tvariable &v, TWordStatus &x)
{
    if (isStringKind(v.kind)) {
        x.kind = v.kind;
        TakeVariableText(v, x);
    } else if (isNumberKind(v.kind)) {
        x.kind = v.kind;
        x.float_val = VariableNumber(v).value;
        TakeVariableText(v, x);
    } else if (v.kind == wkBool) {
        x.kind = wkBool;
        x.bool_val = v.text().toUpper() == QLatin1String("TRUE");
        x.float_val = x.bool_val ? 1.0 : 0.0;
        TakeVariableText(v, x);
    } else {
        return false;
    }
    return true;
}

// A recorded value given back to a line that runs again.
inline void takeRecordedValue(const TWordStatus &recorded, TWordStatus &x)
{
    x.kind = recorded.kind;
    x.copyText(recorded);
    x.float_val = recorded.float_val;
    x.bool_val = recorded.bool_val;
}

} // namespace tesmora::reduction
