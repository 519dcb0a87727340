#include "engine/Evaluation.h"

#include "engine/EngineMessages.h"
#include "engine/FormulaText.h"

#include <cmath>

namespace {

// The pi of the domain checks.
constexpr double kPi = 3.141592653589793;

bool Within(double x, double centre, double halfWidth) {
    return centre - halfWidth < x && x < centre + halfWidth;
}

// A failed domain check gives 1 with its message.
FunctionResult DomainError(const std::string& message) {
    return FunctionResult{1, &message};
}

// Near its poles the tangent magnifies the last bit of its value, so it is computed in
// extended precision, which keeps the digits shown for multiples of pi the same as in
// every earlier version of the engine (tan(5*pi/2), cotan(2*pi)).
long double TangentNearPoles(double x) {
    return std::tan(static_cast<long double>(x));
}

FunctionResult Tangent(double x, double epsilon) {
    const double band = 3 * epsilon;
    if (Within(std::fabs(x), kPi / 2, band))
        return DomainError(Messages().halfPiInTangent);
    if (Within(std::fabs(x), 3 * kPi / 2, band))
        return DomainError(Messages().threeHalvesPiInTangent);
    return FunctionResult{static_cast<double>(TangentNearPoles(x))};
}

FunctionResult Cotangent(double x, double epsilon) {
    const double band = 2 * epsilon;
    if (std::fabs(x) < band)
        return DomainError(Messages().zeroInCotangent);
    if (Within(std::fabs(x), kPi, band))
        return DomainError(Messages().piInCotangent);
    return FunctionResult{static_cast<double>(1 / TangentNearPoles(x))};
}

FunctionResult Logarithm(double x, bool natural, double epsilon) {
    if (std::fabs(x) < epsilon)
        return DomainError(Messages().zeroInLogarithm);
    return FunctionResult{natural ? std::log(x) : std::log10(x)};
}

FunctionResult Compute(std::uint8_t code, double x, double epsilon) {
    switch (code) {
    case fnCos:
        return {std::cos(x)};
    case fnSin:
        return {std::sin(x)};
    case fnTan:
        return Tangent(x, epsilon);
    case fnCotan:
        return Cotangent(x, epsilon);
    case fnLog:
        return Logarithm(x, false, epsilon);
    case fnLn:
        return Logarithm(x, true, epsilon);
    case fnExp:
        return {std::exp(x)};
    case fnAbs:
        return {std::fabs(x)};
    case fnSqrt:
        return {std::sqrt(x)};
    case fnAtan:
        return {std::atan(x)};
    case fnUp:
        return {UpFunction(x)};
    case fnCosh:
        return {std::cosh(x)};
    case fnSinh:
        return {std::sinh(x)};
    case fnTanh:
        return {std::tanh(x)};
    default:
        return {x};
    }
}

} // namespace

EngineResult EvaluateTree(const ExpressionNode* root, const VariableTable* table, double epsilon) {
    EngineResult result;
    if (root == nullptr)
        return result;
    if (!root->Plan)
        root->Plan = std::make_unique<EvaluationPlan>(root);
    result.value = root->Plan->Run(table, epsilon, result.error);
    return result;
}

FunctionResult ComputeFunction(std::uint8_t code, double x, double epsilon) {
    if (code == fnNone || code > fnTanh)
        return FunctionResult{x};
    FunctionResult result = Compute(code, x, epsilon);
    if (std::fabs(result.value) < 3 * epsilon)
        result.value = 0;
    return result;
}
