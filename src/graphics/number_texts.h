// Number texts of the graphics functions: the number picture of the panel
// indicator and the fixed-notation cursor read-out.
#pragma once

#include <QChar>
#include <QString>

namespace tesmora {

// `value` written with a number picture: "0" a digit always written, "#" a
// digit written only when significant, "." the decimal separator's place,
// "," thousands grouping, "E+", "E-", "e+", "e-" an exponent, ";" between the
// sections for positive, negative and zero values, text in single or double
// quotes and every other character copied. The value is rounded to the digit
// places after the point; digits are written only at digit places. An empty
// picture (or an empty first section) gives the general number text.
QString FormatNumberPicture(double value, const QString &picture, QChar decimalSeparator,
                            QChar thousandsSeparator);

// Fixed notation with `digits` places after the point, the value first
// rounded to `precision` significant digits.
QString FixedNumberText(double value, int precision, int digits, QChar decimalSeparator);

} // namespace tesmora
