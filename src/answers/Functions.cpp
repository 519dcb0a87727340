#include "answers/Functions.h"

#include "answers/EngineFunctions.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace answers {

namespace {

constexpr double kPi = 3.141592653589793;

struct NamedFunction {
    const char* name;
    Function function;
};

constexpr NamedFunction kNames[] = {
    {"cos", Function::Cos},     {"sin", Function::Sin},     {"tan", Function::Tan},
    {"cotan", Function::Cotan}, {"ctan", Function::Cotan},  {"log", Function::Log},
    {"lg", Function::Log},      {"ln", Function::Ln},       {"exp", Function::Exp},
    {"abs", Function::Abs},     {"sqrt", Function::Sqrt},   {"up", Function::Up},
    {"atan", Function::Atan},   {"arctan", Function::Atan}, {"cosh", Function::Cosh},
    {"ch", Function::Cosh},     {"sinh", Function::Sinh},   {"sh", Function::Sinh},
    {"tanh", Function::Tanh},   {"th", Function::Tanh},
};

// Whether x lies at a point but for rounding, within a trillionth of its scale (or of the
// point's own size, which rounding an argument to it always reaches).
bool At(double x, double point, double scale) {
    return std::fabs(x - point) <= kRoundingShare * std::max(scale, point);
}

// The domain error of a function at x, if any.
const char* DomainError(Function function, double x, double scale) {
    const double a = std::fabs(x);
    switch (function) {
    case Function::Log:
    case Function::Ln:
        if (IsRoundingZero(x, scale))
            return "нуль в аргументе логарифма";
        return x < 0 ? "отрицательное число в аргументе логарифма" : nullptr;
    case Function::Sqrt:
        return x < 0 && !IsRoundingZero(x, scale) ? "отрицательное число в аргументе корня"
                                                  : nullptr;
    case Function::Cotan:
        if (IsRoundingZero(x, scale))
            return "ноль в аргументе котангенса";
        return At(a, kPi, scale) ? "Pi в аргументе котангенса" : nullptr;
    case Function::Tan:
        if (At(a, kPi / 2, scale))
            return "Pi/2 в аргументе тангенса";
        return At(a, 3 * kPi / 2, scale) ? "3*Pi/2 в аргументе тангенса" : nullptr;
    default:
        return nullptr;
    }
}

// How much the result changes for a change of the argument: the size of the derivative,
// or a bound of it. Sine, cosine, arctangent, hyperbolic tangent, abs and up change by at
// most as much as their argument, and their results' scale is bounded by the argument's.
double Rate(Function function, double x, double result) {
    switch (function) {
    case Function::Tan:
    case Function::Cotan:
        return 1 + result * result;
    case Function::Log:
        return 1 / (std::fabs(x) * std::log(10.0));
    case Function::Ln:
        return 1 / std::fabs(x);
    case Function::Exp:
        return result;
    case Function::Sinh: // cosh
        return std::sqrt(1 + result * result);
    case Function::Cosh: // |sinh|
        return std::sqrt(std::max(0.0, result * result - 1));
    default:
        return 1;
    }
}

double Compute(Function function, double x) {
    switch (function) {
    case Function::Cos:
        return std::cos(x);
    case Function::Sin:
        return std::sin(x);
    case Function::Tan:
        return std::tan(x);
    case Function::Cotan:
        return 1 / std::tan(x);
    case Function::Log:
        return std::log10(x);
    case Function::Ln:
        return std::log(x);
    case Function::Exp:
        return std::exp(x);
    case Function::Abs:
        return std::fabs(x);
    case Function::Sqrt:
        return std::sqrt(x);
    case Function::Atan:
        return std::atan(x);
    case Function::Up:
        return engine::Up(x);
    case Function::Cosh:
        return std::cosh(x);
    case Function::Sinh:
        return std::sinh(x);
    case Function::Tanh:
        return std::tanh(x);
    }
    return x;
}

} // namespace

std::optional<Function> FunctionOfName(std::string_view name) {
    if (name.size() > 6)
        return std::nullopt;
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    for (const NamedFunction& named : kNames)
        if (lower == named.name)
            return named.function;
    return std::nullopt;
}

Value Apply(Function function, double x, double scale) {
    if (const char* error = DomainError(function, x, scale))
        return {1, error, 1};
    // A negative root argument that is zero but for rounding is zero.
    const double argument = function == Function::Sqrt && x < 0 ? 0 : x;
    const double result = Compute(function, argument);
    // The root's change is at most the root of the argument's, which exceeds the root only
    // for an argument made by a sum.
    const double carried = function != Function::Sqrt ? Rate(function, x, result) * scale
                           : scale > std::fabs(x)     ? std::sqrt(scale)
                                                      : 0;
    const double resultScale = std::max(std::fabs(result), carried);
    return {result, nullptr, std::isfinite(resultScale) ? resultScale : std::fabs(result)};
}

} // namespace answers
