// Number texts that the interpreter writes and reads back.
#pragma once

#include "ports/words.h"

#include <QString>
#include <cmath>
#include <cstdint>

namespace tesmora {

// The general number text: 15 significant digits, no trailing zeros, fixed
// notation for decimal exponents -3..15 (value = 0.d1d2.. x 10^e), otherwise
// d1.d2..E-x. `decimalSeparator` is '.' for the dot form.
QString GeneralNumberText(double x, QChar decimalSeparator = QLatin1Char('.'));
// Room for any general number text.
constexpr int kNumberChars = 48;
// Writes the general number text of x into `out` (kNumberChars), with `dec`
// as the decimal separator; returns its length.
int GeneralNumberChars(double x, char *out, char dec);
// Makes `text` the ASCII characters s[0..n), in its own buffer when that is
// not shared.
void AssignAscii(QString &text, const char *s, int n);
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

// VariableNumber of a variable with no number known for its text.
ParsedNumber ReadVariableNumber(const Tvariable &v);

// ParseVariableNumber of a variable's text, read once per text: the number
// is kept with the variable until its text changes.
inline ParsedNumber VariableNumber(const Tvariable &v)
{
    if (v.hasKnownNumber()) [[likely]]
        return ParsedNumber{v.knownNumber(), 0};
    return ReadVariableNumber(v);
}

// True when FormatNumber(x) reads back as exactly x: whole numbers written
// digit for digit (a negative zero is written "0" and reads as +0).
inline bool NumberTextIsExact(double x)
{
    // Below 1e15 the conversion to an integer truncates exactly (and a NaN
    // fails the first test).
    return std::fabs(x) < 1e15 && x == static_cast<double>(static_cast<std::int64_t>(x)) &&
           !(x == 0 && std::signbit(x));
}

// Gives a numeric variable the dot form of the general number text of x.
// Where the number that text reads back as is known without writing it (a
// whole number below 1e15, most fractions), only that number is kept and the
// text is written when first asked for; otherwise the text is written at
// once, into the variable's own characters when no one else shares them.
void SetVariableNumber(Tvariable &v, double x);

// Gives x the text of v; a number's text that v has not written yet is not
// written for x either.
inline void TakeVariableText(const Tvariable &v, TWordStatus &x)
{
    double n = 0;
    if (v.textPendingFor(n))
        x.setNumberText(n);
    else
        x.setText(v.text());
}

// Gives v the text of w; a number's text that w has not written yet is not
// written for v either.
void SetVariableText(Tvariable &v, const TWordStatus &w);

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
inline double RoundHalfEven(double x)
{
    // Added to 2^52, a magnitude below it is rounded to a whole number by
    // the addition itself, halves to even; the sign is put back after, so
    // -0.3 gives -0 as nearbyint does.
    constexpr double kTwo52 = 4503599627370496.0;
    const double ax = std::fabs(x);
    if (ax < kTwo52 && x != 0)
        return std::copysign((ax + kTwo52) - kTwo52, x);
    return std::nearbyint(x);
}
// RoundHalfEven as a 64-bit integer; false when the value does not fit.
bool RoundToInt64(double x, std::int64_t &out);
// Reads a decimal or $-hexadecimal integer text (as constants are written).
bool ParseIntegerText(const QString &text, std::int64_t &out);

} // namespace tesmora
