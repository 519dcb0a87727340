#include "engine/Evaluation.h"

#include "engine/EngineMessages.h"
#include "engine/FormulaText.h"

#include <cmath>

namespace {

// The pi of the domain checks.
constexpr long double kPi = 3.141592653589793;

template <typename Real> bool Within(Real x, Real centre, Real halfWidth) {
    return centre - halfWidth < x && x < centre + halfWidth;
}

// A failed domain check gives 1 with its message.
template <typename Real> FunctionResultOf<Real> DomainError(const std::string& message) {
    return FunctionResultOf<Real>{1, &message};
}

template <typename Real> FunctionResultOf<Real> Tangent(Real x, double epsilon) {
    const Real band = 3 * epsilon;
    const Real pi = kPi;
    if (Within<Real>(std::fabs(x), pi / 2, band))
        return DomainError<Real>(Messages().halfPiInTangent);
    if (Within<Real>(std::fabs(x), 3 * pi / 2, band))
        return DomainError<Real>(Messages().threeHalvesPiInTangent);
    return {std::tan(x)};
}

template <typename Real> FunctionResultOf<Real> Cotangent(Real x, double epsilon) {
    const Real band = 2 * epsilon;
    const Real pi = kPi;
    if (std::fabs(x) < band)
        return DomainError<Real>(Messages().zeroInCotangent);
    if (Within<Real>(std::fabs(x), pi, band))
        return DomainError<Real>(Messages().piInCotangent);
    return {1 / std::tan(x)};
}

template <typename Real> FunctionResultOf<Real> Logarithm(Real x, bool natural, double epsilon) {
    if (std::fabs(x) < epsilon)
        return DomainError<Real>(Messages().zeroInLogarithm);
    return {natural ? std::log(x) : std::log10(x)};
}

template <typename Real> FunctionResultOf<Real> Compute(std::uint8_t code, Real x, double epsilon) {
    const double inDouble = static_cast<double>(x);
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
        return {UpFunction(inDouble)};
    case fnCosh:
        return {std::cosh(inDouble)};
    case fnSinh:
        return {std::sinh(inDouble)};
    case fnTanh:
        return {std::tanh(inDouble)};
    default:
        return {x};
    }
}

} // namespace

EngineResult EvaluateTree(const ExpressionNode* root, const VariableTable* table, double epsilon) {
    EngineResult result;
    if (root != nullptr)
        result.value = PlanOf(*root).Run(table, epsilon, result.error);
    return result;
}

template <typename Real>
FunctionResultOf<Real> ComputeFunction(std::uint8_t code, Real x, double epsilon) {
    if (code == fnNone || code > fnTanh)
        return FunctionResultOf<Real>{x};
    FunctionResultOf<Real> result = Compute(code, x, epsilon);
    if (std::fabs(result.value) < 3 * epsilon)
        result.value = 0;
    return result;
}

template FunctionResultOf<double> ComputeFunction(std::uint8_t, double, double);
template FunctionResultOf<long double> ComputeFunction(std::uint8_t, long double, double);
