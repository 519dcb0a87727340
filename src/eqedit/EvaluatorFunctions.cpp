#include "eqedit/EvaluatorFunctions.h"

#include "eqedit/EvaluatorMessages.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace eqedit {

namespace {

constexpr Real kInfinity = std::numeric_limits<Real>::infinity();

// A function of the table: computes `result` from `x`, or returns the message of its check.
using Function = std::string (*)(Real x, const std::string& v, Real& result);

std::string Arcsine(Real x, const std::string& v, Real& r) {
    if (!(x > -1 && x < 1))
        return messages::ArcsineDomain(v);
    r = std::asin(x);
    return {};
}

std::string Arccosine(Real x, const std::string& v, Real& r) {
    if (!(x > -1 && x < 1))
        return messages::ArccosineDomain(v);
    r = std::acos(x);
    return {};
}

std::string Arctangent(Real x, const std::string&, Real& r) {
    r = std::atan(x);
    return {};
}

// The two-argument arctangent of x over 1: the same value as the arctangent.
std::string ArctangentOverOne(Real x, const std::string&, Real& r) {
    r = std::atan2(x, Real{1});
    return {};
}

std::string Sine(Real x, const std::string&, Real& r) {
    r = std::sin(x);
    return {};
}

std::string Cosine(Real x, const std::string&, Real& r) {
    r = std::cos(x);
    return {};
}

std::string Cotangent(Real x, const std::string&, Real& r) {
    const Real s = std::sin(x);
    if (s == 0)
        return messages::CotangentByZero();
    r = std::cos(x) / s;
    return {};
}

std::string Tangent(Real x, const std::string&, Real& r) {
    const Real c = std::cos(x);
    if (c == 0)
        return messages::TangentByZero();
    r = std::sin(x) / c;
    return {};
}

std::string NaturalLog(Real x, const std::string& v, Real& r) {
    if (!(x > 0))
        return messages::NaturalLogDomain(v);
    r = std::log(x);
    return {};
}

std::string DecimalLog(Real x, const std::string& v, Real& r) {
    if (!(x > 0))
        return messages::DecimalLogDomain(v);
    r = std::log10(x);
    return {};
}

std::string Exponential(Real x, const std::string&, Real& r) {
    r = std::exp(x);
    return {};
}

std::string SquareRoot(Real x, const std::string& v, Real& r) {
    if (x < 0)
        return messages::SquareRootDomain(v);
    r = std::sqrt(x);
    return {};
}

std::string Square(Real x, const std::string&, Real& r) {
    r = x * x;
    return {};
}

std::string Absolute(Real x, const std::string&, Real& r) {
    r = std::fabs(x);
    return {};
}

std::string Secant(Real x, const std::string&, Real& r) {
    const Real c = std::cos(x);
    if (c == 0)
        return messages::SecantByZero();
    r = 1 / c;
    return {};
}

std::string Cosecant(Real x, const std::string&, Real& r) {
    const Real s = std::sin(x);
    if (s == 0)
        return messages::CosecantByZero();
    r = 1 / s;
    return {};
}

std::string HyperbolicSine(Real x, const std::string&, Real& r) {
    r = std::sinh(x);
    if (r == kInfinity)
        return messages::SinhOverflow();
    return {};
}

std::string HyperbolicCosine(Real x, const std::string&, Real& r) {
    r = std::cosh(x);
    if (r == kInfinity)
        return messages::CoshOverflow();
    return {};
}

std::string HyperbolicTangent(Real x, const std::string&, Real& r) {
    const Real c = std::cosh(x);
    if (c == kInfinity)
        return messages::CoshOverflow();
    r = std::sinh(x) / c;
    return {};
}

std::string HyperbolicCotangent(Real x, const std::string&, Real& r) {
    const Real c = std::cosh(x);
    if (c == kInfinity)
        return messages::CoshOverflow();
    const Real s = std::sinh(x);
    if (s == 0)
        return messages::HyperbolicCotangentByZero();
    r = c / s;
    return {};
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

std::string ApplyFunction(const std::string& name, Real x, const std::string& argumentText,
                          Real& result) {
    const std::string upper = UpCaseString(name);
    for (const NamedFunction& entry : kFunctions)
        if (entry.name == upper)
            return entry.function(x, argumentText, result);
    return messages::UnknownFunction(name);
}

} // namespace eqedit
