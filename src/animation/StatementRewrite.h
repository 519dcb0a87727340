#pragma once

#include "engine/VariableTable.h"
#include "platform/Result.h"

#include <string>
#include <string_view>

namespace animation {

// An object statement made ready for the diagram interpreter: every parameter that names
// a variable is replaced by the variable's value as a whole number. Numbers stay as they
// are written; a parameter that begins with a double quote is a text and is kept with
// everything after it (a text is the last parameter and may hold commas); an empty or blank
// parameter names nothing and is passed on as it stands, for the interpreter to judge.
// The result is keyword(parameters) without a final ";". A statement without "(" is not
// a drawing statement and comes back unchanged. A value that cannot be read stops the
// frame (ValueForFrame).
platform::Result<std::string> RewriteStatement(std::string_view statement,
                                               const VariableTable& variables);

// The whole number a value is drawn at: values a hair below a whole number (up to 0.001)
// count as that number, everything else is cut toward zero, the same way on both sides of
// zero (2.9996 and -2.9996 give 3 and -3, 2.5 and -2.5 give 2 and -2). A value beyond the
// range of whole numbers keeps its number text, which the interpreter then refuses.
std::string WholeNumberText(long double value);

// A frame stops at its first error, as the diagram interpreter's statements do (their
// failure becomes the frame's message). These two put the engine's unreadable text (a
// malformed number) on that same path: the value of a name, and an error of the
// equations (which fails only when it is unreadable text).
platform::Result<double> ValueForFrame(const VariableTable& variables, std::string_view name);
platform::Status StopFrameIfUnreadable(const EngineError& error);

} // namespace animation
