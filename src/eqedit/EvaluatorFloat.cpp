#include "eqedit/EvaluatorFloat.h"

#include <cfenv>
#include <cmath>

namespace eqedit {

namespace {

constexpr int kFaults = FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID;

// Runs `compute` with cleared flags and reports whether it raised a fault.
template <class Compute> bool RunChecked(Compute compute, Real& result) {
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile Real value = compute();
    result = value;
    return std::fetestexcept(kFaults) == 0;
}

} // namespace

bool CheckedProduct(Real a, Real b, Real& result) {
    volatile Real x = a, y = b;
    return RunChecked([&] { return x * y; }, result);
}

bool CheckedQuotient(Real a, Real b, Real& result) {
    volatile Real x = a, y = b;
    return RunChecked([&] { return x / y; }, result);
}

bool CheckedSum(Real a, Real b, Real& result) {
    volatile Real x = a, y = b;
    return RunChecked([&] { return x + y; }, result);
}

bool CheckedDifference(Real a, Real b, Real& result) {
    volatile Real x = a, y = b;
    return RunChecked([&] { return x - y; }, result);
}

bool CheckedPow(Real base, Real exponent, Real& result) {
    volatile Real x = base, y = exponent;
    return RunChecked([&] { return std::pow(x, y); }, result);
}

bool CheckedPower(Real base, Real exponent, Real& result) {
    if (exponent != std::trunc(exponent) || std::fabs(exponent) > kMaxPowerMultiplications + 1)
        return CheckedPow(base, exponent, result);
    if (exponent == 0) {
        result = 1;
        return true;
    }
    const long long multiplications = static_cast<long long>(std::fabs(exponent)) - 1;
    volatile Real x = base;
    return RunChecked(
        [&] {
            volatile Real product = x;
            for (long long n = 0; n < multiplications; ++n)
                product = product * x;
            return exponent < 0 ? 1 / product : static_cast<Real>(product);
        },
        result);
}

} // namespace eqedit
