// Mathematical functions and the power and root signs, driven the way
// scripts call them.
#include "builtin_calls.h"
#include "core/interpreter.h"
#include "core/message_catalogue.h"
#include "core/numbers.h"
#include "library/builtin_families.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace tesmora;
using namespace tesmora::test;

namespace {

// The text of a number result that must succeed.
QString numberText(Interpreter &in, const QString &expression)
{
    const Outcome o = eval(in, expression);
    EXPECT_TRUE(o.error.isEmpty()) << expression.toStdString() << ": " << o.error.toStdString();
    EXPECT_EQ(o.value.kind, wkFloat) << expression.toStdString();
    return o.value.text();
}

} // namespace

TEST(MathCalls, SqrtOfNonNegativeNumbers)
{
    Interpreter in;
    EXPECT_EQ(numberText(in, "sqrt(81)"), "9");
    EXPECT_EQ(numberText(in, "sqrt(0)"), "0");
    EXPECT_EQ(numberText(in, "sqrt(2)"), "1.4142135623731");
    EXPECT_EQ(numberText(in, "sqrt(2.25)"), "1.5");
    EXPECT_EQ(numberText(in, "sqrt(0.0001)"), "0.01");
    EXPECT_EQ(numberText(in, "sqrt(1e-10)"), "1E-5");
    EXPECT_DOUBLE_EQ(number(in, "math_square_root(16) + 1"), 5);
    EXPECT_EQ(error(in, "sqrt(-1)"), msg(115, {-1.0}));
    EXPECT_EQ(
        error(in, "sqrt(-1)"),
        QStringLiteral("Function Sqrt(). You can not extracts the square root of a negative value -1.00.\r\r"
                       "Line 0."));
    EXPECT_EQ(error(in, "sqrt(-0.001)"), msg(115, {-0.001}));
    EXPECT_TRUE(error(in, "sqrt(-0.001)").contains("negative value -0.00."));
    EXPECT_EQ(error(in, "sqrt('4')"),
              QStringLiteral("Function \"sqrt\". Parameter № 1 must be \"float\". \r\rLine 0."));
    EXPECT_EQ(error(in, "sqrt()"), msg(81, {"sqrt", 0, 1}));
}

TEST(MathCalls, CubicRootKeepsTheSign)
{
    Interpreter in;
    EXPECT_EQ(numberText(in, "cubic_root(-27)"), "-3");
    EXPECT_EQ(numberText(in, "cubic_root(27)"), "3");
    EXPECT_EQ(numberText(in, "cubic_root(0)"), "0");
    EXPECT_EQ(numberText(in, "cubic_root(0.001)"), "0.1");
    EXPECT_EQ(numberText(in, "math_cubic_root(-1000000)"), "-100");
    EXPECT_NEAR(number(in, "cubic_root(2)"), 1.25992104989487, 1e-14);
    EXPECT_NEAR(number(in, "cubic_root(-2)"), -1.25992104989487, 1e-14);
}

TEST(MathCalls, PowCoversAllFourCases)
{
    Interpreter in;
    // X >= 0.
    EXPECT_EQ(numberText(in, "pow(2,-0.5)"), "0.707106781186548");
    EXPECT_EQ(numberText(in, "pow(2,10)"), "1024");
    EXPECT_EQ(numberText(in, "pow(0,0)"), "1");
    EXPECT_EQ(numberText(in, "pow(0,5)"), "0");
    EXPECT_EQ(numberText(in, "pow(9,0.5)"), "3");
    EXPECT_EQ(numberText(in, "pow(10,-5)"), "1E-5");
    // X < 0, exponent one third: the real cube root.
    EXPECT_EQ(numberText(in, "pow(-8,0.333333333333333)"), "-2");
    EXPECT_EQ(numberText(in, "pow(-8,1/3)"), "-2");
    EXPECT_EQ(numberText(in, "math_pow(-0.001,0.333333333333333)"), "-0.1");
    // X < 0, fractional exponent: message 116.
    EXPECT_EQ(error(in, "pow(-8,0.5)"), msg(116, {-8.0, 0.5}));
    EXPECT_EQ(
        error(in, "pow(-8,0.5)"),
        QStringLiteral("Function Pow(). You can not raise a negative number -8.00 to a fractional power "
                       "0.50.\r\rLine 0."));
    EXPECT_EQ(error(in, "pow(-8,0.3333)"), msg(116, {-8.0, 0.3333}));
    EXPECT_EQ(error(in, "pow(-1,2.5)"), msg(116, {-1.0, 2.5}));
    // X < 0, whole exponent: the exact power.
    EXPECT_EQ(numberText(in, "pow(-2,2)"), "4");
    EXPECT_EQ(numberText(in, "pow(-2,3)"), "-8");
    EXPECT_EQ(numberText(in, "pow(-2,-1)"), "-0.5");
    EXPECT_EQ(numberText(in, "pow(-3,0)"), "1");
    EXPECT_EQ(numberText(in, "pow(-10,15)"), "-1E15");
    // Results a number cannot hold stop the script.
    EXPECT_EQ(error(in, "pow(0,-1)"), QStringLiteral("Floating point division by zero.\r\rLine 0."));
    EXPECT_EQ(error(in, "pow(10,400)"), QStringLiteral("Floating point overflow.\r\rLine 0."));
    EXPECT_EQ(error(in, "pow(2)"), msg(81, {"pow", 1, 2}));
}

TEST(MathCalls, PowerAndRootSignsRunThroughPow)
{
    Interpreter in;
    in.SetVariable("x", "3", wkFloat);
    EXPECT_DOUBLE_EQ(number(in, "x²"), 9);
    EXPECT_DOUBLE_EQ(number(in, "x³"), 27);
    EXPECT_DOUBLE_EQ(number(in, "x² + x³"), 36);
    EXPECT_DOUBLE_EQ(number(in, "(x+1)²"), 16);
    EXPECT_DOUBLE_EQ(number(in, "2 * 5²"), 50);
    EXPECT_DOUBLE_EQ(number(in, "√81"), 9);
    EXPECT_DOUBLE_EQ(number(in, "√(x*x+16)"), 5);
    EXPECT_DOUBLE_EQ(number(in, "∛27"), 3);
    EXPECT_DOUBLE_EQ(number(in, "∛(-27)"), -3);
    EXPECT_DOUBLE_EQ(number(in, "∛(-0.001)"), -0.1);
    EXPECT_DOUBLE_EQ(number(in, "∜16"), 2);
    EXPECT_DOUBLE_EQ(number(in, "∜81 + √4"), 5);
    // ² and ³ after a function name square or cube its result.
    EXPECT_DOUBLE_EQ(number(in, "sqrt²(9)"), 9);
    EXPECT_DOUBLE_EQ(number(in, "sqrt³(4)"), 8);
    EXPECT_DOUBLE_EQ(number(in, "cubic_root²(-8)"), 4);
    // Roots of negative numbers other than the cube root are refused.
    EXPECT_EQ(error(in, "√(-4)"), msg(116, {-4.0, 0.5}));
    EXPECT_EQ(error(in, "∜(-16)"), msg(116, {-16.0, 0.25}));
}

TEST(MathCalls, RandomRangesAndForms)
{
    Interpreter in;
    // Both forms pass the check: Limit is optional.
    EXPECT_TRUE(eval(in, "Random()").error.isEmpty());
    EXPECT_TRUE(eval(in, "Random(10)").error.isEmpty());
    EXPECT_TRUE(eval(in, "math_Random(10)").error.isEmpty());
    EXPECT_EQ(error(in, "Random(1,2)"), msg(120, {"Random", 1}));
    EXPECT_EQ(error(in, "Random('a')"),
              QStringLiteral("Function \"Random\". Parameter № 1 must be \"int\". \r\rLine 0."));

    double sum = 0;
    for (int i = 0; i < 4000; ++i) {
        const Outcome o = eval(in, "Random()");
        ASSERT_EQ(o.value.kind, wkFloat);
        ASSERT_GE(o.value.float_val, 0.0);
        ASSERT_LT(o.value.float_val, 1.0);
        sum += o.value.float_val;
    }
    EXPECT_NEAR(sum / 4000, 0.5, 0.05);

    // Each interpreter has its own generator: seeded alike, two draw alike,
    // whatever a third one draws meanwhile.
    Interpreter a, b, other;
    a.seedRandom(42);
    b.seedRandom(42);
    for (int i = 0; i < 20; ++i) {
        (void)number(other, "Random(1000)");
        ASSERT_EQ(number(a, "Random(1000)"), number(b, "Random(1000)")) << i;
    }
    ASSERT_EQ(number(a, "Random()"), number(b, "Random()"));

    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(number(in, "Random(0)"), 0);

    // Whole numbers from 0 to the limit, both ends included, about equally often.
    std::map<double, int> seen;
    for (int i = 0; i < 7000; ++i) {
        const double v = number(in, "Random(6)");
        ASSERT_EQ(v, std::floor(v));
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 6);
        ++seen[v];
    }
    ASSERT_EQ(seen.size(), 7u);
    for (const auto &[value, times] : seen)
        EXPECT_NEAR(times, 1000, 300) << value;

    // The limit is rounded, halves to even: 2.5 -> 2.
    std::map<double, int> small;
    for (int i = 0; i < 300; ++i)
        ++small[number(in, "Random(2.5)")];
    EXPECT_EQ(small.size(), 3u);
    EXPECT_EQ(small.count(3), 0u);

    std::map<double, int> coin;
    for (int i = 0; i < 200; ++i)
        ++coin[number(in, "Random(1)")];
    EXPECT_EQ(coin.size(), 2u);
    EXPECT_EQ(coin.count(0) + coin.count(1), 2u);

    // A negative limit draws from the limit up to 0.
    std::map<double, int> negative;
    for (int i = 0; i < 300; ++i)
        ++negative[number(in, "Random(-2)")];
    EXPECT_EQ(negative.size(), 3u);
    EXPECT_EQ(negative.begin()->first, -2);
    EXPECT_EQ(negative.rbegin()->first, 0);
}

// Runs under both the C locale and a Russian one (a second ctest entry).
TEST(MathCalls, RegionalSettings)
{
    if (qEnvironmentVariableIsSet("TESMORA_EXPECT_RU_LOCALE")) {
        ASSERT_EQ(systemDecimalSeparator(), QLatin1Char(','));
    }
    const QString sep(systemDecimalSeparator());
    Interpreter in;
    // Roots and powers always carry a point, so their texts read back.
    EXPECT_EQ(numberText(in, "sqrt(2.25)"), "1.5");
    EXPECT_EQ(numberText(in, "pow(2,-1)"), "0.5");
    EXPECT_EQ(numberText(in, "cubic_root(0.125)"), "0.5");
    // A random fraction is written in the system form, and a variable that
    // receives it reads back as the same number.
    for (int i = 0; i < 20; ++i) {
        const Outcome o = eval(in, "Random()");
        ASSERT_EQ(o.value.kind, wkFloat);
        EXPECT_EQ(o.value.text(), GeneralNumberTextSystem(o.value.float_val));
        in.SetVariable("r", o.value.text(), o.value.kind);
        EXPECT_NEAR(number(in, "r + 1"), o.value.float_val + 1, 1e-12);
    }
    // Messages format their numbers with the system separator.
    EXPECT_EQ(error(in, "sqrt(-2.5)"),
              QStringLiteral("Function Sqrt(). You can not extracts the square root of a negative value -2") +
                  sep + QStringLiteral("50.\r\rLine 0."));
}

TEST(MathCalls, HelpTextsInBothLanguagesWithWorkingExamples)
{
    checkHelpExamples({12, 13, 14, 46});
}
