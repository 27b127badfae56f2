// Number pictures of the panel indicator and the cursor read-out texts.
#include "graphics/number_texts.h"
#include "script_host.h" // PrintTo for QString

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tesmora;

namespace {

QString pic(double v, const QString &picture, QChar dec = QLatin1Char('.'))
{
    return FormatNumberPicture(v, picture, dec, QLatin1Char(' '));
}

} // namespace

TEST(NumberPicture, DigitPlacesAndRounding)
{
    EXPECT_EQ(pic(12.345, "0.0"), "12.3");
    EXPECT_EQ(pic(12.36, "0.0"), "12.4");
    EXPECT_EQ(pic(0.5, "#0.00"), "0.50");
    EXPECT_EQ(pic(0.5, "#.##"), ".5");
    EXPECT_EQ(pic(12, "00000"), "00012");
    EXPECT_EQ(pic(123456, "00"), "123456");
    EXPECT_EQ(pic(1.5, "0.##"), "1.5");
    EXPECT_EQ(pic(1, "0.##"), "1");
    EXPECT_EQ(pic(1, "0.0#"), "1.0");
    EXPECT_EQ(pic(0, "#"), "");
    EXPECT_EQ(pic(0, "0"), "0");
    EXPECT_EQ(pic(1.5, ".00"), "1.50");
    EXPECT_EQ(pic(2.71828, "0.000"), "2.718");
    EXPECT_EQ(pic(-2.5, "0.0"), "-2.5");
    // A value that rounds to zero carries no sign.
    EXPECT_EQ(pic(-0.01, "0.0"), "0.0");
    // The system decimal separator is the caller's choice.
    EXPECT_EQ(pic(3.25, "0.00", QLatin1Char(',')), "3,25");
}

TEST(NumberPicture, GroupingTextSectionsAndExponents)
{
    EXPECT_EQ(pic(1234567.891, "#,##0.00"), "1 234 567.89");
    EXPECT_EQ(pic(999, "#,##0"), "999");
    EXPECT_EQ(pic(-1234, "#,##0"), "-1 234");
    // Quoted and other characters are copied as they stand.
    EXPECT_EQ(pic(21.5, "0.0 ºC"), "21.5 ºC");
    EXPECT_EQ(pic(21.5, "'t=' 0.0\"#\""), "t= 21.5#");
    EXPECT_EQ(pic(12345, "0-00"), "123-45");
    EXPECT_EQ(pic(5, "'unclosed"), "unclosed");
    // Sections: positive; negative; zero.
    EXPECT_EQ(pic(5, "0.0;(0.0);zero"), "5.0");
    EXPECT_EQ(pic(-5, "0.0;(0.0);zero"), "(5.0)");
    EXPECT_EQ(pic(0, "0.0;(0.0);zero"), "zero");
    EXPECT_EQ(pic(0.01, "0.0;(0.0);zero"), "zero");
    EXPECT_EQ(pic(-5, "0.0;;zero"), "-5.0");
    EXPECT_EQ(pic(0, "0.0;(0.0)"), "0.0");
    EXPECT_EQ(pic(5, "0';'0"), "0;5"); // a quoted ";" does not split
    // Exponents.
    EXPECT_EQ(pic(1234, "0.00E+00"), "1.23E+03");
    EXPECT_EQ(pic(0.00012, "0.0E-0"), "1.2E-4");
    EXPECT_EQ(pic(1234, "0.0e-00"), "1.2e03");
    EXPECT_EQ(pic(1234, "00.00E+00"), "12.34E+02");
    EXPECT_EQ(pic(0, "0.0E+00"), "0.0E+00");
    // An empty picture gives the general number text.
    EXPECT_EQ(pic(1.5, ""), "1.5");
    EXPECT_EQ(pic(1.5, "", QLatin1Char(',')), "1,5");
}

TEST(NumberPicture, ExtremeValuesAndPictures)
{
    EXPECT_EQ(pic(1e308, "0").size(), 309);
    EXPECT_EQ(pic(1e308, "0.00E+000"), "1.00E+308");
    EXPECT_EQ(pic(std::numeric_limits<double>::quiet_NaN(), "0.0"), "NAN");
    EXPECT_EQ(pic(-std::numeric_limits<double>::infinity(), "0.0"), "-INF");
    EXPECT_EQ(pic(1, "0." + QString(500, QLatin1Char('0'))).size(), 502);
    EXPECT_EQ(pic(7, ";;;;"), "7");
    EXPECT_EQ(pic(-7, ";;"), "-7");
    EXPECT_EQ(pic(7, "E+"), "E+0");
}

TEST(FixedNumberText, PrecisionAndDecimals)
{
    const QChar dot = QLatin1Char('.');
    EXPECT_EQ(FixedNumberText(1.23456, 6, 3, dot), "1.235");
    EXPECT_EQ(FixedNumberText(12.5, 6, 2, dot), "12.50");
    EXPECT_EQ(FixedNumberText(1234.5678, 6, 3, dot), "1234.570");
    EXPECT_EQ(FixedNumberText(-73.46, 6, 1, dot), "-73.5");
    EXPECT_EQ(FixedNumberText(1234.5, 5, 0, QLatin1Char(',')), "1234");
    EXPECT_EQ(FixedNumberText(-0.0001, 6, 3, dot), "0.000");
    EXPECT_EQ(FixedNumberText(0.5, 6, 2, QLatin1Char(',')), "0,50");
    EXPECT_EQ(FixedNumberText(1234567, 6, 0, dot), "1234570");
}
