#pragma once

#include "eqedit/EvaluatorNumbers.h"

namespace eqedit {

// Arithmetic whose faults are those the floating-point unit flags: overflow, division by
// zero and invalid operation (underflow and inexact results are not faults). Each
// operation clears the flags, computes, and tests them; the operands and the result pass
// through volatile storage so that the compiler cannot move the operation past the test.
// Each returns false on a fault; `result` holds the computed value either way.
bool CheckedProduct(Real a, Real b, Real& result);
bool CheckedQuotient(Real a, Real b, Real& result);
bool CheckedSum(Real a, Real b, Real& result);
bool CheckedDifference(Real a, Real b, Real& result);
bool CheckedPow(Real base, Real exponent, Real& result);

// The power of a formula's "^": an integral exponent is a repeated product (up to a
// bound, beyond which pow takes over so that a huge exponent cannot stall the client),
// a fractional one goes to pow.
bool CheckedPower(Real base, Real exponent, Real& result);

// The most multiplications an integral power does before it is left to pow.
constexpr long long kMaxPowerMultiplications = 1024;

} // namespace eqedit
