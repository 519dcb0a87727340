#pragma once

// The arithmetic of one evaluation step: the operators, the power and the functions with the
// engine's zero tolerance, its substitute values and its error reports. Both ways of running
// a plan (EvaluationPlan and ResolvedSteps) compute through these, so they give the same bits
// and the same messages.

#include "engine/EngineError.h"
#include "engine/Evaluation.h"
#include "engine/ExpressionTree.h"
#include "engine/FormulaText.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

// What is common on the hot path is inlined; what is rare (errors, conversions,
// searches) is called.
#define ENGINE_INLINE [[gnu::always_inline]] inline

namespace step {

// The zero tolerance and where errors go.
struct Context {
    double epsilon;
    EngineError& error;
};

// Records the division by zero and gives its substitute value, 1.
[[gnu::noinline, gnu::cold]] double DivisionByZero(EngineError& error);

template <typename Real>
[[gnu::noinline]] Real CheckedFunction(std::uint8_t code, Real x, const Context& run) {
    const FunctionResultOf<Real> result = ComputeFunction(code, x, run.epsilon);
    if (result.error != nullptr)
        run.error.Record(EngineErrorCode::Arithmetic, *result.error);
    return result.value;
}

ENGINE_INLINE double Snapped(double value, const Context& run) {
    return std::fabs(value) < 3 * run.epsilon ? 0 : value;
}

// The functions without domain checks are computed here, as ComputeFunction does;
// the others are called.
template <typename Real>
ENGINE_INLINE Real FunctionOf(std::uint8_t code, Real x, const Context& run) {
    if constexpr (!std::is_same_v<Real, double>)
        return CheckedFunction(code, x, run);
    switch (code) {
    case fnCos:
        return Snapped(std::cos(x), run);
    case fnSin:
        return Snapped(std::sin(x), run);
    case fnSqrt:
        return Snapped(std::sqrt(x), run);
    case fnExp:
        return Snapped(std::exp(x), run);
    case fnAbs:
        return Snapped(std::fabs(x), run);
    default:
        return CheckedFunction(code, x, run);
    }
}

// The square of a base with at most 24 significant bits is exact in 48 bits, so in
// extended precision it is what pow gives in double.
ENGINE_INLINE bool SquaresExactly(long double a) {
    return std::fabs(a) <= std::numeric_limits<float>::max() &&
           static_cast<long double>(static_cast<float>(a)) == a;
}

// The power operator, in double: 0 to the 0 (both within epsilon of zero) is 1.
template <typename Real> ENGINE_INLINE Real Power(Real a, Real b, const Context& run) {
    if (std::fabs(a) < run.epsilon && std::fabs(b) < run.epsilon)
        return 1;
    if constexpr (!std::is_same_v<Real, double>)
        if (b == 2 && SquaresExactly(a))
            return a * a;
    return std::pow(static_cast<double>(a), static_cast<double>(b));
}

// A base to the number 2. Under a tolerance above 2 the exponent itself counts as zero,
// and the power's rule for 0 to the 0 applies.
template <typename Real> ENGINE_INLINE Real Square(Real a, const Context& run) {
    if (run.epsilon > 2)
        return Power<Real>(a, 2, run);
    if constexpr (std::is_same_v<Real, double>)
        return a * a;
    else
        return SquaresExactly(a) ? a * a : Power<Real>(a, 2, run);
}

// a <op> b. Division by a divisor within epsilon of zero records its error and gives 1; any
// operator other than the five keeps a and drops b.
template <std::uint8_t Op, typename Real>
ENGINE_INLINE Real Join(Real a, Real b, const Context& run) {
    if constexpr (Op == opAdd)
        return a + b;
    else if constexpr (Op == opSub)
        return a - b;
    else if constexpr (Op == opMul)
        return a * b;
    else if constexpr (Op == opDiv)
        return std::fabs(static_cast<double>(b)) >= run.epsilon ? a / b
                                                                : Real(DivisionByZero(run.error));
    else if constexpr (Op == opPower)
        return Power<Real>(a, b, run);
    else
        return a;
}

// The same with the operator given at run time.
template <typename Real> Real JoinBy(std::uint8_t op, Real a, Real b, const Context& run) {
    switch (op) {
    case opAdd:
        return Join<opAdd>(a, b, run);
    case opSub:
        return Join<opSub>(a, b, run);
    case opMul:
        return Join<opMul>(a, b, run);
    case opDiv:
        return Join<opDiv>(a, b, run);
    case opPower:
        return Join<opPower>(a, b, run);
    default:
        return Join<opNone>(a, b, run);
    }
}

} // namespace step
