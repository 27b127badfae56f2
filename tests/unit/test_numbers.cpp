#include "core/numbers.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

using namespace tesmora;

TEST(GeneralNumberText, FixedAndScientificForms)
{
    EXPECT_EQ(FormatNumber(7), "7");
    EXPECT_EQ(FormatNumber(0.5), "0.5");
    EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatNumber(-2.25), "-2.25");
    EXPECT_EQ(FormatNumber(-2.5), "-2.5");
    EXPECT_EQ(FormatNumber(0), "0");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(1.5), "1.5");
    EXPECT_EQ(FormatNumber(3.14159265358979), "3.14159265358979");
    EXPECT_EQ(FormatNumber(3.14159265358979323846), "3.14159265358979");
    // The switch to scientific notation below 0.0001.
    EXPECT_EQ(FormatNumber(0.0001), "0.0001");
    EXPECT_EQ(FormatNumber(0.00012), "0.00012");
    EXPECT_EQ(FormatNumber(0.00001), "1E-5");
    EXPECT_EQ(FormatNumber(0.000012345), "1.2345E-5");
    EXPECT_EQ(FormatNumber(-0.00001), "-1E-5");
    // ... and above 15 integer digits.
    EXPECT_EQ(FormatNumber(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatNumber(1e15), "1E15");
    EXPECT_EQ(FormatNumber(1e20), "1E20");
    EXPECT_EQ(FormatNumber(1.5e300), "1.5E300");
    // Rounding to 15 significant digits.
    EXPECT_EQ(FormatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatNumber(999999999999999.9), "1E15");
    EXPECT_EQ(FormatNumber(100), "100");
    EXPECT_EQ(FormatNumber(1234.5678), "1234.5678");
}

TEST(GeneralNumberText, FifteenDigitsAreTheCorrectRoundingOfEveryValue)
{
    // The oracle: C's %.14e, correctly rounded to 15 significant digits. Two
    // 15-digit decimals that differ read back as different doubles, so the
    // texts agree exactly when they read back alike. Cases: any bit pattern,
    // results of arithmetic, and values whose 16th and 17th digits sit at or
    // near a half (where rounding twice, first to the shortest text, would
    // go wrong).
    const auto agrees = [](double x) {
        char ref[64];
        std::snprintf(ref, sizeof ref, "%.14e", x);
        const QString text = FormatNumber(x);
        const ParsedNumber got = ParseNumber(text);
        return got.ok() && got.value == std::strtod(ref, nullptr);
    };
    std::mt19937_64 random(20261210);
    int failures = 0;
    for (int k = 0; k < 50000 && failures < 5; ++k) {
        std::uint64_t bits = random();
        double x = 0;
        std::memcpy(&x, &bits, sizeof x);
        if (!std::isfinite(x) || x == 0)
            continue;
        const double arithmetic = std::sin(double(k)) * k / 7.0;
        char tie[40];
        std::snprintf(tie, sizeof tie, "%d.%014llu%02de%d", 1 + k % 9,
                      static_cast<unsigned long long>(random() % 100000000000000ULL), 38 + k % 25,
                      k % 40 - 20);
        for (const double v : {x, arithmetic, std::strtod(tie, nullptr)})
            if (!agrees(v) && ++failures <= 5)
                ADD_FAILURE() << "value " << v << " written " << FormatNumber(v).toStdString();
    }
    // Exact ties at the 16th digit go to the even neighbour, as "%.14e" does:
    // whole numbers above 15 digits, halves, and powers of two.
    for (const double tie : {1000000000000005.0, 1000000000000015.0, 123456789012345.5, std::ldexp(1.0, -22),
                             std::ldexp(3.0, -22), std::ldexp(1.0, 60)})
        EXPECT_TRUE(agrees(tie)) << tie;
    EXPECT_EQ(FormatNumber(1000000000000005.0), "1E15");
    EXPECT_EQ(FormatNumber(1000000000000015.0), "1.00000000000002E15");
    EXPECT_EQ(FormatNumber(123456789012345.5), "123456789012346");
    EXPECT_EQ(FormatNumber(std::ldexp(1.0, -22)), "2.38418579101562E-7");
    EXPECT_EQ(FormatNumber(std::ldexp(3.0, -22)), "7.15255737304688E-7");
    // Carries through every digit, and subnormal numbers.
    EXPECT_EQ(FormatNumber(9.9999999999999982), "10");
    EXPECT_EQ(FormatNumber(9.9999999999999951), "9.99999999999999"); // 9.99999999999999467...
    EXPECT_EQ(FormatNumber(0.99999999999999989), "1");
    EXPECT_EQ(FormatNumber(5e-324), "4.94065645841247E-324");
    EXPECT_EQ(FormatNumber(2.2250738585072014e-308), "2.2250738585072E-308");
}

TEST(GeneralNumberText, SystemFormUsesTheGivenSeparator)
{
    EXPECT_EQ(GeneralNumberText(2.5, QLatin1Char(',')), "2,5");
    EXPECT_EQ(GeneralNumberText(1.25e-7, QLatin1Char(',')), "1,25E-7");
    EXPECT_EQ(GeneralNumberText(10, QLatin1Char(',')), "10");
}

TEST(ParseNumber, AcceptsTheLanguageNumberForms)
{
    EXPECT_DOUBLE_EQ(ParseNumber("1.50").value, 1.5);
    EXPECT_DOUBLE_EQ(ParseNumber("-2").value, -2);
    EXPECT_DOUBLE_EQ(ParseNumber("+2.5").value, 2.5);
    EXPECT_DOUBLE_EQ(ParseNumber("1e3").value, 1000);
    EXPECT_DOUBLE_EQ(ParseNumber("1E-2").value, 0.01);
    EXPECT_DOUBLE_EQ(ParseNumber("1e+5").value, 100000);
    EXPECT_DOUBLE_EQ(ParseNumber("007").value, 7);
    EXPECT_DOUBLE_EQ(ParseNumber("5.").value, 5);
    EXPECT_TRUE(ParseNumber("0.333333333333333").ok());
    EXPECT_DOUBLE_EQ(ParseNumber("1e-400").value, 0.0);
}

TEST(ParseNumber, ReportsFailureWithAPosition)
{
    for (const char *bad : {"", "abc", "1,5", "1.2.3", "1e", "1e+", "2x", "--1", "1 ", "e5", "."}) {
        const ParsedNumber r = ParseNumber(QString::fromLatin1(bad));
        EXPECT_FALSE(r.ok()) << bad;
        EXPECT_GT(r.errorPos, 0) << bad;
    }
    EXPECT_EQ(ParseNumber("12a").errorPos, 3);
    EXPECT_FALSE(ParseNumber("1e999").ok());
}

TEST(Rounding, HalvesGoToEven)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    // The same as the C library's rounding to nearest, the sign of zero
    // included, up to and beyond 2^52 where every double is whole.
    std::mt19937_64 random(3);
    for (int i = 0; i < 100000; ++i) {
        const double x = std::ldexp(static_cast<double>(random() % 1000000) - 500000,
                                    static_cast<int>(random() % 70) - 18);
        for (const double y : {x, x + 0.5, -x - 0.5, std::nextafter(x, 0.0)}) {
            const double r = RoundHalfEven(y);
            ASSERT_EQ(r, std::nearbyint(y)) << y;
            ASSERT_EQ(std::signbit(r), std::signbit(std::nearbyint(y))) << y;
        }
    }
    for (const double y : {-0.3, -0.5, -0.0, 0.0, 4503599627370495.5, -4503599627370496.5, 1e300})
        EXPECT_EQ(std::signbit(RoundHalfEven(y)), std::signbit(std::nearbyint(y))) << y;
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
    std::int64_t v = 0;
    EXPECT_TRUE(RoundToInt64(1.5, v));
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(RoundToInt64(1e30, v));
    EXPECT_FALSE(RoundToInt64(std::nan(""), v));
}

TEST(Rounding, IntegerTextsOfConstants)
{
    std::int64_t v = 0;
    EXPECT_TRUE(ParseIntegerText("16", v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(ParseIntegerText("$2040FF", v));
    EXPECT_EQ(v, 0x2040FF);
    EXPECT_TRUE(ParseIntegerText("$010101", v));
    EXPECT_EQ(v, 0x010101);
    EXPECT_FALSE(ParseIntegerText("$XYZ", v));
}

TEST(ParseNumber, VariableTextsInTheSystemForm)
{
    // The dot form always reads; the system form reads where the system
    // separator is not the dot (checked under a Russian locale).
    EXPECT_DOUBLE_EQ(ParseVariableNumber("2.5").value, 2.5);
    const ParsedNumber comma = ParseVariableNumber("2,5");
    if (systemDecimalSeparator() == QLatin1Char(',')) {
        EXPECT_TRUE(comma.ok());
        EXPECT_DOUBLE_EQ(comma.value, 2.5);
    } else {
        EXPECT_FALSE(comma.ok());
    }
    EXPECT_FALSE(ParseVariableNumber("2,5.1").ok());
}

// A variable given a number shows the text that number is written as, and
// reads as the number that text says: also when the text is written late,
// copied to another variable, or replaced by characters it once had.
TEST(VariableNumbers, TextAndNumberAlwaysAgree)
{
    Tvariable v;
    v.kind = wkFloat;
    for (const double x : {0.0, -0.0, 7.0, -3.0, 999999999999999.0, 1e15, -1e15, 123456789012345678.0, 0.5,
                           1.0 / 3, -2.5e-7, 1e300}) {
        SetVariableNumber(v, x);
        Tvariable copy;
        copy.copyValue(v);
        EXPECT_EQ(v.text(), FormatNumber(x)) << x;
        EXPECT_EQ(copy.text(), FormatNumber(x)) << x;
        const ParsedNumber back = ParseNumber(FormatNumber(x));
        ASSERT_TRUE(back.ok());
        EXPECT_EQ(VariableNumber(v).value, back.value) << x;
        EXPECT_EQ(VariableNumber(copy).value, back.value) << x;
    }
    // Fractions of every magnitude, whole numbers beyond 15 digits and
    // values whose 16th digit is a tie: the number a variable keeps is the
    // very number its text reads back as.
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> exponent(-30, 30);
    for (int i = 1; i <= 200000; ++i) {
        const double x = (i % 4 == 0)   ? std::pow(10.0, exponent(random)) * (random() % 2 ? -1 : 1)
                         : (i % 4 == 1) ? i / 3.0
                         : (i % 4 == 2) ? std::sin(i) * 1e-5
                                        : (random() % 100000000000000ULL) * 10 + 5.0;
        SetVariableNumber(v, x);
        const ParsedNumber back = ParseNumber(FormatNumber(x));
        ASSERT_EQ(VariableNumber(v).value, back.value) << x;
        ASSERT_EQ(v.text(), FormatNumber(x)) << x;
        ASSERT_EQ(VariableNumber(v).value, back.value) << x;
    }
    // The number read from "5" must not survive a later number, even when
    // the old characters come back as the variable's text.
    v.setText(QStringLiteral("5"));
    EXPECT_EQ(VariableNumber(v).value, 5.0);
    const QString five = v.text();
    SetVariableNumber(v, 8);
    v.setText(five);
    EXPECT_EQ(VariableNumber(v).value, 5.0);
    SetVariableNumber(v, 8);
    Tvariable other;
    other.kind = wkFloat;
    other.setText(v.text());
    other.shareKnownNumber(v);
    SetVariableNumber(v, 9);
    EXPECT_EQ(VariableNumber(other).value, 8.0);
    EXPECT_EQ(other.text(), "8");
    EXPECT_EQ(v.text(), "9");
}

TEST(WordNumbers, UnwrittenTextsAreTheTextsOfTheirNumbers)
{
    for (const double x : {0.0, -0.0, 42.0, -7.5, 1.0 / 3, 1e15, 123456789012345678.0, -2.5e-7, 1e300}) {
        TWordStatus w;
        w.kind = wkFloat;
        w.float_val = x;
        w.setNumberText(x);
        const TWordStatus before = w; // a copy made before the text is written
        w.float_val = 99;             // later steps may change the number
        EXPECT_EQ(w.text(), FormatNumber(x)) << x;
        EXPECT_EQ(before.text(), FormatNumber(x)) << x;
        TWordStatus copied;
        copied.setText(QStringLiteral("old"));
        copied.copyText(before);
        EXPECT_EQ(copied.text(), FormatNumber(x)) << x;

        // A variable given the unwritten text and one given the written
        // text agree on the text and on the number it reads as; a word
        // taken back from the variable has the same text again.
        TWordStatus fresh;
        fresh.setNumberText(x);
        Tvariable lazy, eager;
        lazy.kind = eager.kind = wkFloat;
        SetVariableText(lazy, fresh);
        eager.setText(FormatNumber(x));
        EXPECT_EQ(VariableNumber(lazy).value, VariableNumber(eager).value) << x;
        EXPECT_EQ(lazy.text(), eager.text()) << x;
        Tvariable again;
        again.kind = wkFloat;
        SetVariableNumber(again, x);
        TWordStatus taken;
        TakeVariableText(again, taken);
        EXPECT_EQ(taken.text(), FormatNumber(x)) << x;
    }
    // A text set later replaces the unwritten one; a text changed in place
    // starts from the written one.
    TWordStatus w;
    w.setNumberText(5);
    w.setText(QStringLiteral("x"));
    EXPECT_EQ(w.text(), "x");
    w.setNumberText(12);
    w.textToWrite().append(QLatin1Char('a'));
    EXPECT_EQ(w.text(), "12a");
    EXPECT_TRUE(w.hasText());
    EXPECT_FALSE(TWordStatus().hasText());
}
