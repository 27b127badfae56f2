// Mathematical functions: sqrt, cubic_root, pow (which also carries the power
// and root signs) and Random.
#include "builtin_families.h"
#include "core/interpreter.h"
#include "core/numbers.h"

#include <QDateTime>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>

namespace tesmora {

namespace {

// The text of a root or power: the system form with "." as separator, so it
// always reads back.
QString dotText(double x)
{
    QString text = GeneralNumberTextSystem(x);
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0)
        text[comma] = QLatin1Char('.');
    return text;
}

void setRoot(BuiltinCall &c, double value)
{
    c.setNumber(value, dotText(value));
}

// The real cube root with the sign of x.
double signedCubeRoot(double x)
{
    return std::cbrt(x);
}

void fnSqrt(BuiltinCall &c)
{
    const double x = c.number(0);
    if (x < 0) {
        c.in.RaiseMessage(115, {x});
        return;
    }
    setRoot(c, std::sqrt(x));
}

void fnCubicRoot(BuiltinCall &c)
{
    setRoot(c, signedCubeRoot(c.number(0)));
}

void fnPow(BuiltinCall &c)
{
    const double x = c.number(0);
    const double y = c.number(1);
    // The cube root sign writes its exponent as 0.333333333333333; such an
    // exponent gives the real cube root, also of a positive base, so that
    // ∛27 is exactly 3.
    const bool cubeRoot = std::fabs(y - 1.0 / 3.0) < 1e-13;
    double value = 0;
    if (cubeRoot) {
        value = signedCubeRoot(x);
    } else if (x >= 0) {
        value = (x == 0 && y == 0) ? 1.0 : std::pow(x, y);
    } else if (y != std::trunc(y)) {
        c.in.RaiseMessage(116, {x, y});
        return;
    } else {
        value = std::pow(x, y);
    }
    if (std::isinf(value) && std::isfinite(x) && std::isfinite(y)) {
        if (x == 0)
            throw RuntimeFailure("Floating point division by zero.");
        throw RuntimeFailure("Floating point overflow.");
    }
    setRoot(c, value);
}

void fnRandom(BuiltinCall &c)
{
    std::mt19937_64 &g = c.in.randomGenerator();
    if (!c.has(0)) {
        // 53 random bits: 0 <= value < 1.
        const double value = static_cast<double>(g() >> 11) * 0x1.0p-53;
        c.setNumber(value);
        return;
    }
    // A whole number from 0 to the limit, both included; a negative limit
    // gives a number from the limit to 0.
    const std::int64_t limit = c.integer(0);
    std::uniform_int_distribution<std::int64_t> d(std::min<std::int64_t>(0, limit),
                                                  std::max<std::int64_t>(0, limit));
    const double value = static_cast<double>(d(g));
    c.setNumber(value);
}

} // namespace

void registerMathFunctions(BuiltinRegistry &registry)
{
    registry.add("sqrt", fnSqrt);
    registry.add("cubic_root", fnCubicRoot);
    registry.add("pow", fnPow);
    registry.add("Random", fnRandom);
}

void addMathHelp(QList<FunctionHelp> &help)
{
    help.append(
        {FunctionTable::Embedded, 12,
         u"Returns the square root of X; X must not be negative. The sign √ does the same: √X.\r\n"
         u"Examples:\r\n"
         u"y = sqrt(81)     # y = 9\r\n"
         u"y = √(3*3+4*4)   # y = 5",
         u"Возвращает квадратный корень из X; X не должно быть отрицательным. То же делает знак √: √X.\r\n"
         u"Примеры:\r\n"
         u"y = sqrt(81)     # y = 9\r\n"
         u"y = √(3*3+4*4)   # y = 5"});
    help.append(
        {FunctionTable::Embedded, 13,
         u"Returns the cube root of X; for a negative X the root is negative. The sign ∛ does the same: "
         u"∛X.\r\n"
         u"Examples:\r\n"
         u"y = cubic_root(-27)   # y = -3\r\n"
         u"y = ∛64               # y = 4",
         u"Возвращает кубический корень из X; для отрицательного X корень отрицателен. То же делает "
         u"знак ∛: ∛X.\r\n"
         u"Примеры:\r\n"
         u"y = cubic_root(-27)   # y = -3\r\n"
         u"y = ∛64               # y = 4"});
    help.append(
        {FunctionTable::Embedded, 14,
         u"Returns X raised to the power Y. A negative X may only be raised to a whole power (or to the "
         u"power 1/3, the cube root). The signs ² and ³ after a value and √, ∛, ∜ before it are short "
         u"forms of pow.\r\n"
         u"Examples:\r\n"
         u"y = pow(2, 10)    # y = 1024\r\n"
         u"y = pow(-2, 3)    # y = -8\r\n"
         u"x = 3\r\n"
         u"y = x²            # y = 9",
         u"Возвращает X в степени Y. Отрицательное X можно возводить только в целую степень (или в "
         u"степень 1/3 - кубический корень). Знаки ² и ³ после значения и √, ∛, ∜ перед ним - краткая "
         u"запись pow.\r\n"
         u"Примеры:\r\n"
         u"y = pow(2, 10)    # y = 1024\r\n"
         u"y = pow(-2, 3)    # y = -8\r\n"
         u"x = 3\r\n"
         u"y = x²            # y = 9"});
    help.append(
        {FunctionTable::Embedded, 46,
         u"Returns a random number. Without a parameter: a fraction from 0 up to 1 (1 itself never comes). "
         u"With Limit: a whole number from 0 to Limit, both included. Every run gives other numbers.\r\n"
         u"Examples:\r\n"
         u"x = Random()        # for example x = 0.417022004702574\r\n"
         u"die = Random(5) + 1 # a die: 1 to 6",
         u"Возвращает случайное число. Без параметра - дробное число от 0 до 1 (само 1 не выпадает). С "
         u"параметром Limit - целое число от 0 до Limit включительно. При каждом запуске числа другие.\r\n"
         u"Примеры:\r\n"
         u"x = Random()           # например, x = 0.417022004702574\r\n"
         u"kubik = Random(5) + 1  # игральный кубик: от 1 до 6"});
}

} // namespace tesmora
