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

void setRoot(FunctionCall &c, double value)
{
    c.setNumber(value, dotText(value));
}

// The real cube root with the sign of x.
double signedCubeRoot(double x)
{
    return std::cbrt(x);
}

void fnSqrt(FunctionCall &c)
{
    const double x = c.number(0);
    if (x < 0) {
        c.fail(115, {x});
        return;
    }
    setRoot(c, std::sqrt(x));
}

void fnCubicRoot(FunctionCall &c)
{
    setRoot(c, signedCubeRoot(c.number(0)));
}

void fnPow(FunctionCall &c)
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
        c.fail(116, {x, y});
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

void fnRandom(FunctionCall &c)
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

} // namespace tesmora
