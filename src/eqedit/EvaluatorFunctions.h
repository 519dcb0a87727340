#pragma once

#include "eqedit/EvaluatorNumbers.h"

#include <string>

namespace eqedit {

// Applies the function named `name` (compared after upper-casing, so case-insensitive)
// to `x`, whose number text is `argumentText` (quoted by the domain messages). Returns
// the message of a failed check or of an unknown name, or "" with `result` set.
std::string ApplyFunction(const std::string& name, Real x, const std::string& argumentText,
                          Real& result);

} // namespace eqedit
