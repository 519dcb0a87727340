#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace answers {

// The functions an answer may call, by the names the expression engine knows, with its
// domain rules: a divisor, a logarithm's argument, a cotangent's argument near 0 or pi
// and a tangent's near pi/2 or 3pi/2 (within the engine's tolerance) are errors, and a
// function's result smaller than three times that tolerance is 0.
enum class Function : std::uint8_t {
    Cos,
    Sin,
    Tan,
    Cotan,
    Log,
    Ln,
    Exp,
    Abs,
    Sqrt,
    Atan,
    Up,
    Cosh,
    Sinh,
    Tanh,
};

// The tolerance of the domain checks and of a divisor taken as zero.
inline constexpr double kZeroTolerance = 1e-9;

// The function of a name, compared without regard to case; nullopt for any other name.
std::optional<Function> FunctionOfName(std::string_view name);

// A value, or the error that stopped its computation (the system's own words, UTF-8).
struct Value {
    double value = 0;
    const char* error = nullptr;
};

Value Apply(Function function, double x);

} // namespace answers
