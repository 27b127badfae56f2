// The engine's Math methods computed here. Each is one C library function or
// a comparison, which is what the engine itself computes, so the value is the
// engine's own; a call then costs what a native built-in costs instead of a
// trip to the engine's thread. Used only while the engine says its Math
// object is as it started (a script may redefine its methods through Eval).
#include "javascript_functions.h"

#include "core/numbers.h"

#include <cmath>
#include <limits>

namespace tesmora {

namespace {

using Unary = double (*)(double);

// The engine's Math.round: halves rounded up, by adding a half and taking
// the floor, so that past 2^52 the sum's own rounding decides (as there).
double roundHalfUp(double x)
{
    if (!std::isfinite(x))
        return x;
    if (x < 0.5 && x >= -0.5)
        return std::copysign(0.0, x);
    return std::floor(x + 0.5);
}

struct UnaryMethod {
    std::u16string_view name;
    Unary fn;
};

const UnaryMethod kUnary[] = {
    {u"abs", [](double x) { return std::fabs(x); }},  {u"sin", [](double x) { return std::sin(x); }},
    {u"cos", [](double x) { return std::cos(x); }},   {u"asin", [](double x) { return std::asin(x); }},
    {u"acos", [](double x) { return std::acos(x); }}, {u"tan", [](double x) { return std::tan(x); }},
    {u"atan", [](double x) { return std::atan(x); }}, {u"round", roundHalfUp},
    {u"ceil", [](double x) { return std::ceil(x); }}, {u"floor", [](double x) { return std::floor(x); }},
    {u"log", [](double x) { return std::log(x); }},   {u"exp", [](double x) { return std::exp(x); }},
};

// Math.min and Math.max: NaN when any argument is NaN.
double extreme(const WordList &args, bool largest)
{
    double r = largest ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    for (int i = 0; i <= args.last; ++i) {
        const double x = args[i].float_val;
        if (std::isnan(x))
            return x;
        if (largest ? x > r : x < r)
            r = x;
    }
    return r;
}

bool allNumbers(const WordList &args)
{
    for (int i = 0; i <= args.last; ++i)
        if (!isNumberKind(args[i].kind))
            return false;
    return true;
}

} // namespace

int NativeUnaryMethod(const T_FunctionDescription &row)
{
    if (row.Obj != jso_Math)
        return -1;
    const std::u16string_view name = row.nameView();
    for (size_t k = 0; k < std::size(kUnary); ++k)
        if (name == kUnary[k].name)
            return static_cast<int>(k);
    return -1;
}

double NativeUnaryValue(int method, double x)
{
    return kUnary[static_cast<size_t>(method)].fn(x);
}

bool NativeMathValue(const T_FunctionDescription &row, const WordList &args, double &value)
{
    if (row.Obj != jso_Math || args.count() == 0 || !allNumbers(args))
        return false;
    const std::u16string_view name = row.nameView();
    if (name == u"min" || name == u"max") {
        value = extreme(args, name == u"max");
        return true;
    }
    const int method = args.count() == 1 ? NativeUnaryMethod(row) : -1;
    if (method < 0)
        return false;
    value = NativeUnaryValue(method, args[0].float_val);
    return true;
}

bool JavaScriptNumberWord(double value, TWordStatus &result)
{
    // The engine's text of the value read back: no NaN or infinity, and
    // minus zero is written "0".
    if (!std::isfinite(value))
        return false;
    if (value == 0.0)
        value = 0.0;
    result.float_val = value;
    result.setNumberText(value);
    result.kind = wkFloat;
    return true;
}

} // namespace tesmora
