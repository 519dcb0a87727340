#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace answers {

// The functions an answer may call, by the names the expression engine knows (and lg for
// the base-10 logarithm), with domain rules: a logarithm's argument that is zero or
// negative, a root of a negative number, a cotangent's argument at 0 or pi and a
// tangent's at pi/2 or 3pi/2 are errors. "At" allows for rounding only: an argument is
// at such a point when it lies within a trillionth of its scale of it (see Value).
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

// A value no larger than this share of its scale is zero but for rounding.
inline constexpr double kRoundingShare = 1e-12;

// The function of a name, compared without regard to case; nullopt for any other name.
std::optional<Function> FunctionOfName(std::string_view name);

// A value, or the error that stopped its computation (the system's own words, UTF-8).
// Its scale is the largest magnitude whose rounding the value carries: the terms a sum
// was made of, carried through products, quotients, powers and functions by how much
// they change the result. So 0.1*3-0.3 (about 5.6e-17 at the scale 0.3) and cos(pi/2)
// are zero but for rounding, while 1.6*10^(-19) and exp(-25) are numbers like any other.
struct Value {
    double value = 0;
    const char* error = nullptr;
    double scale = 0;
};

// Whether a value is zero but for the rounding of what it was computed from.
inline bool IsRoundingZero(double value, double scale) {
    return std::fabs(value) <= kRoundingShare * scale;
}

// A function applied to an argument of the given scale. Every finite result is kept as it
// is, however small.
Value Apply(Function function, double x, double scale);

} // namespace answers
