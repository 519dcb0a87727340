#include "eqedit/EvaluatorFunctions.h"

#include "eqedit/EvaluatorMessages.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace eqedit {

namespace {

constexpr Real kInfinity = std::numeric_limits<Real>::infinity();

// A function of the table: its value at `x`, or the failure of its check.
using Function = platform::Result<Real> (*)(Real x, const std::string& v);

platform::Result<Real> Arcsine(Real x, const std::string& v) {
    if (!(x > -1 && x < 1))
        return Failed(messages::ArcsineDomain(v));
    return std::asin(x);
}

platform::Result<Real> Arccosine(Real x, const std::string& v) {
    if (!(x > -1 && x < 1))
        return Failed(messages::ArccosineDomain(v));
    return std::acos(x);
}

platform::Result<Real> Arctangent(Real x, const std::string&) {
    return std::atan(x);
}

// The two-argument arctangent of x over 1: the same value as the arctangent.
platform::Result<Real> ArctangentOverOne(Real x, const std::string&) {
    return std::atan2(x, Real{1});
}

platform::Result<Real> Sine(Real x, const std::string&) {
    return std::sin(x);
}

platform::Result<Real> Cosine(Real x, const std::string&) {
    return std::cos(x);
}

platform::Result<Real> Cotangent(Real x, const std::string&) {
    const Real s = std::sin(x);
    if (s == 0)
        return Failed(messages::CotangentByZero());
    return std::cos(x) / s;
}

platform::Result<Real> Tangent(Real x, const std::string&) {
    const Real c = std::cos(x);
    if (c == 0)
        return Failed(messages::TangentByZero());
    return std::sin(x) / c;
}

platform::Result<Real> NaturalLog(Real x, const std::string& v) {
    if (!(x > 0))
        return Failed(messages::NaturalLogDomain(v));
    return std::log(x);
}

platform::Result<Real> DecimalLog(Real x, const std::string& v) {
    if (!(x > 0))
        return Failed(messages::DecimalLogDomain(v));
    return std::log10(x);
}

platform::Result<Real> Exponential(Real x, const std::string&) {
    return std::exp(x);
}

platform::Result<Real> SquareRoot(Real x, const std::string& v) {
    if (x < 0)
        return Failed(messages::SquareRootDomain(v));
    return std::sqrt(x);
}

platform::Result<Real> Square(Real x, const std::string&) {
    return x * x;
}

platform::Result<Real> Absolute(Real x, const std::string&) {
    return std::fabs(x);
}

platform::Result<Real> Secant(Real x, const std::string&) {
    const Real c = std::cos(x);
    if (c == 0)
        return Failed(messages::SecantByZero());
    return 1 / c;
}

platform::Result<Real> Cosecant(Real x, const std::string&) {
    const Real s = std::sin(x);
    if (s == 0)
        return Failed(messages::CosecantByZero());
    return 1 / s;
}

platform::Result<Real> HyperbolicSine(Real x, const std::string&) {
    const Real r = std::sinh(x);
    if (r == kInfinity)
        return Failed(messages::SinhOverflow());
    return r;
}

platform::Result<Real> HyperbolicCosine(Real x, const std::string&) {
    const Real r = std::cosh(x);
    if (r == kInfinity)
        return Failed(messages::CoshOverflow());
    return r;
}

platform::Result<Real> HyperbolicTangent(Real x, const std::string&) {
    const Real c = std::cosh(x);
    if (c == kInfinity)
        return Failed(messages::CoshOverflow());
    return std::sinh(x) / c;
}

platform::Result<Real> HyperbolicCotangent(Real x, const std::string&) {
    const Real c = std::cosh(x);
    if (c == kInfinity)
        return Failed(messages::CoshOverflow());
    const Real s = std::sinh(x);
    if (s == 0)
        return Failed(messages::HyperbolicCotangentByZero());
    return c / s;
}

struct NamedFunction {
    std::string_view name;
    Function function;
};

constexpr NamedFunction kFunctions[] = {
    {"ARCSIN", Arcsine},
    {"ASIN", Arcsine},
    {"ARCCOS", Arccosine},
    {"ACOS", Arccosine},
    {"ARCTG", Arctangent},
    {"ATAN", Arctangent},
    {"ARCTAN", Arctangent},
    {"ARCCTG", ArctangentOverOne},
    {"ARCCTAN", ArctangentOverOne},
    {"ATAN2", ArctangentOverOne},
    {"SIN", Sine},
    {"COS", Cosine},
    {"CTG", Cotangent},
    {"CTAN", Cotangent},
    {"TG", Tangent},
    {"TAN", Tangent},
    {"LN", NaturalLog},
    {"LG", DecimalLog},
    {"LOG10", DecimalLog},
    {"EXP", Exponential},
    {"SQRT", SquareRoot},
    {"SQR", Square},
    {"ABS", Absolute},
    {"SEC", Secant},
    {"COSEC", Cosecant},
    {"SH", HyperbolicSine},
    {"CH", HyperbolicCosine},
    {"TH", HyperbolicTangent},
    {"CTH", HyperbolicCotangent},
};

} // namespace

platform::Result<Real> ApplyFunction(const std::string& name, Real x,
                                     const std::string& argumentText) {
    const std::string upper = UpCaseString(name);
    for (const NamedFunction& entry : kFunctions)
        if (entry.name == upper)
            return entry.function(x, argumentText);
    return Failed(messages::UnknownFunction(name));
}

} // namespace eqedit
