#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <string>

namespace eqedit {

// Folds pairs of signs in one pass: "++" and "--" become "+", "+-" and "-+" become "-".
// A folded sign is not looked at again, so three signs in a row leave two.
void FoldDoubleSigns(std::string& text);

// The operand left of the operator at index `pos` (0-based). The walk stops before
// "*", "/", "^" or "(". An exponent sign (after "E"/"e") belongs to the operand; any
// other sign ends it, and is taken into it unless `signApart` (as for "^", so that -2^2
// is -(2^2)). `start` becomes the index of the operand's first character (`pos` when the
// operand is empty).
std::string GetLeftOperand(const std::string& text, std::size_t pos, std::size_t& start,
                           bool signApart);

// The operand right of the operator at index `pos`, up to "*", "/", "^", ")" or a sign
// that is neither right after the operator nor an exponent sign. `end` becomes the index
// of its last character (`pos` when the operand is empty).
std::string GetRightOperand(const std::string& text, std::size_t pos, std::size_t& end);

// Reduces a text of numbers and the operators ^, *, /, +, - (no brackets, no names) to
// one number text, in place: powers first, then products and quotients, then sums and
// differences, each level left to right. Fails with the message of the first fault.
platform::Status CalculateWithoutBrackets(std::string& text);

} // namespace eqedit
