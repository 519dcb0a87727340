#include "answers/Functions.h"

#include "answers/EngineFunctions.h"

#include <cmath>
#include <string>

namespace answers {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kEps = kZeroTolerance;

struct NamedFunction {
    const char* name;
    Function function;
};

constexpr NamedFunction kNames[] = {
    {"cos", Function::Cos},     {"sin", Function::Sin},    {"tan", Function::Tan},
    {"cotan", Function::Cotan}, {"ctan", Function::Cotan}, {"log", Function::Log},
    {"ln", Function::Ln},       {"exp", Function::Exp},    {"abs", Function::Abs},
    {"sqrt", Function::Sqrt},   {"up", Function::Up},      {"atan", Function::Atan},
    {"arctan", Function::Atan}, {"cosh", Function::Cosh},  {"ch", Function::Cosh},
    {"sinh", Function::Sinh},   {"sh", Function::Sinh},    {"tanh", Function::Tanh},
    {"th", Function::Tanh},
};

bool Near(double x, double centre, double band) {
    return centre - band < x && x < centre + band;
}

// The domain error of a function at x, if any.
const char* DomainError(Function function, double x) {
    const double a = std::fabs(x);
    switch (function) {
    case Function::Log:
    case Function::Ln:
        return a < kEps ? "нуль в аргументе логарифма" : nullptr;
    case Function::Cotan:
        if (a < 2 * kEps)
            return "ноль в аргументе котангенса";
        return Near(a, kPi, 2 * kEps) ? "Pi в аргументе котангенса" : nullptr;
    case Function::Tan:
        if (Near(a, kPi / 2, 3 * kEps))
            return "Pi/2 в аргументе тангенса";
        return Near(a, 3 * kPi / 2, 3 * kEps) ? "3*Pi/2 в аргументе тангенса" : nullptr;
    default:
        return nullptr;
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

Value Apply(Function function, double x) {
    if (const char* error = DomainError(function, x))
        return {1, error};
    const double result = Compute(function, x);
    return {std::fabs(result) < 3 * kEps ? 0 : result, nullptr};
}

} // namespace answers
