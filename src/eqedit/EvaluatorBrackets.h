#pragma once

#include "platform/Result.h"

#include <string>

namespace eqedit {

// Reduces a text with round brackets, function names and powers of brackets to one
// number text, in place, from the innermost bracket outwards: the contents are computed
// without brackets, a "^" right after the bracket raises the bracket's value, a function
// name in front of it is applied, and the construct is replaced by the number. The rest
// is computed by CalculateWithoutBrackets. Fails with the message of the first fault.
platform::Status DeleteBrackets(std::string& text);

} // namespace eqedit
