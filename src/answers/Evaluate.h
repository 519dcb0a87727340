#pragma once

#include "answers/Deadline.h"
#include "answers/Formula.h"
#include "answers/Functions.h"

#include <span>

namespace answers {

// The value of a formula in double precision, by the expression engine's rules: sums,
// products and powers from left to right; a divisor smaller than the zero tolerance is
// an error; a zero base to a zero exponent (both within the tolerance) is 1. `values`
// holds one value per name of the formula, in the order of Formula::names. A result that
// is not a finite number is an error too. Past the deadline the evaluation stops with
// kOutOfTime as its error.
Value Evaluate(const Formula& formula, std::span<const double> values,
               const Deadline& deadline = {});

} // namespace answers
