#pragma once

#include "eqedit/EvaluatorNumbers.h"
#include "platform/Result.h"

#include <string>

namespace eqedit {

// Applies the function named `name` (compared after upper-casing, so case-insensitive)
// to `x`, whose number text is `argumentText` (quoted by the domain messages). Fails with
// the message of a failed check or of an unknown name.
platform::Result<Real> ApplyFunction(const std::string& name, Real x,
                                     const std::string& argumentText);

} // namespace eqedit
