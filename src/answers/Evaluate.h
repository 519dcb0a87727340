#pragma once

#include "answers/Deadline.h"
#include "answers/Formula.h"
#include "answers/Functions.h"

#include <span>

namespace answers {

// The value of a formula in double precision: sums and products from left to right,
// powers from the right; a divisor that is zero but for rounding is an error; a base and
// an exponent both zero but for rounding give 1. `values` holds one value per name of the
// formula, in the order of Formula::names. A result that is not a finite number is an
// error too, and so is a product, quotient, power or function of numbers other than zero
// that falls below the smallest normal double: its digits are lost. The value comes with its scale
// (see Value), so that a caller can tell a value that is zero but for rounding. Past the deadline
// the evaluation stops with kOutOfTime as its error.
Value Evaluate(const Formula& formula, std::span<const double> values,
               const Deadline& deadline = {});

} // namespace answers
