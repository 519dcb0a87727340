#include "engine/Evaluation.h"

#include "engine/EngineMessages.h"
#include "engine/EngineStatus.h"
#include "engine/FormulaText.h"

#include <cmath>

namespace {

// The pi of the domain checks.
constexpr long double kPi = 3.141592653589793;

bool Within(long double x, long double centre, long double halfWidth) {
    return centre - halfWidth < x && x < centre + halfWidth;
}

// A failed domain check gives 1 with its message.
FunctionResult DomainError(const std::string& message) {
    return FunctionResult{1, &message};
}

FunctionResult Tangent(long double x) {
    const long double band = 3 * EngineStatus.Epsilon;
    if (Within(std::fabs(x), kPi / 2, band))
        return DomainError(Messages().halfPiInTangent);
    if (Within(std::fabs(x), 3 * kPi / 2, band))
        return DomainError(Messages().threeHalvesPiInTangent);
    return FunctionResult{std::tan(x)};
}

FunctionResult Cotangent(long double x) {
    const long double band = 2 * EngineStatus.Epsilon;
    if (std::fabs(x) < band)
        return DomainError(Messages().zeroInCotangent);
    if (Within(std::fabs(x), kPi, band))
        return DomainError(Messages().piInCotangent);
    return FunctionResult{1 / std::tan(x)};
}

FunctionResult Logarithm(long double x, bool natural) {
    if (std::fabs(x) < EngineStatus.Epsilon)
        return DomainError(Messages().zeroInLogarithm);
    return FunctionResult{natural ? std::log(x) : std::log10(x)};
}

FunctionResult Compute(std::uint8_t code, long double x) {
    switch (code) {
    case fnCos:
        return {std::cos(x)};
    case fnSin:
        return {std::sin(x)};
    case fnTan:
        return Tangent(x);
    case fnCotan:
        return Cotangent(x);
    case fnLog:
        return Logarithm(x, false);
    case fnLn:
        return Logarithm(x, true);
    case fnExp:
        return {std::exp(x)};
    case fnAbs:
        return {std::fabs(x)};
    case fnSqrt:
        return {std::sqrt(x)};
    case fnAtan:
        return {std::atan(x)};
    case fnUp:
        return {UpFunction(static_cast<double>(x))};
    case fnCosh:
        return {std::cosh(static_cast<double>(x))};
    case fnSinh:
        return {std::sinh(static_cast<double>(x))};
    case fnTanh:
        return {std::tanh(static_cast<double>(x))};
    default:
        return {x};
    }
}

} // namespace

long double EvaluateTree(const TMyEquation* root, const TMyPacketData* table) {
    ResetStatus();
    if (root == nullptr)
        return 0;
    if (!root->Plan)
        root->Plan = std::make_unique<EvaluationPlan>(root);
    return root->Plan->Run(table);
}

FunctionResult ComputeFunction(std::uint8_t code, long double x) {
    if (code == fnNone || code > fnTanh)
        return FunctionResult{x};
    FunctionResult result = Compute(code, x);
    if (std::fabs(result.value) < 3 * EngineStatus.Epsilon)
        result.value = 0;
    return result;
}

long double ApplyFunction(std::uint8_t code, long double x) {
    const FunctionResult result = ComputeFunction(code, x);
    if (result.error != nullptr)
        RecordError(2, *result.error);
    return result.value;
}
