// Number texts that the interpreter writes and reads back.
#pragma once

#include <QString>
#include <cstdint>

namespace tesmora {

// The general number text: 15 significant digits, no trailing zeros, fixed
// notation for decimal exponents -3..15 (value = 0.d1d2.. x 10^e), otherwise
// d1.d2..E-x. `decimalSeparator` is '.' for the dot form.
QString GeneralNumberText(double x, QChar decimalSeparator = QLatin1Char('.'));
// The dot form of the general number text (the form read back by the interpreter).
inline QString FormatNumber(double x)
{
    return GeneralNumberText(x, QLatin1Char('.'));
}
// The system form: the system decimal separator.
QString GeneralNumberTextSystem(double x);
QChar systemDecimalSeparator();
QChar systemThousandsSeparator();

struct ParsedNumber {
    double value = 0.0;
    int errorPos = 0; // 0: success; otherwise the 1-based position of the first bad character
    bool ok() const { return errorPos == 0; }
};
// Reads [blanks][sign]digits[.digits][(e|E)[sign]digits] with '.' as the only
// decimal separator.
ParsedNumber ParseNumber(const QString &text);

// A variable's text as a number. Built-in results are written with the
// system decimal separator; such a text reads back as the number it shows.
ParsedNumber ParseVariableNumber(const QString &text);

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double x);
// RoundHalfEven as a 64-bit integer; false when the value does not fit.
bool RoundToInt64(double x, std::int64_t &out);
// Reads a decimal or $-hexadecimal integer text (as constants are written).
bool ParseIntegerText(const QString &text, std::int64_t &out);

} // namespace tesmora
