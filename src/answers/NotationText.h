#pragma once

#include "answers/Formula.h"

#include <map>
#include <string>

namespace answers {

// Writes a formula that was read back as answer text in the notation of the answer rows
// (CP1251): names as keys ("v!C@" with "@" back from the subscript, "~w" for a Greek
// letter), "*" for every product, "#...@" for a power (or "^(...)" where the exponent's own
// text holds level markers, which a superscript cannot hold), and brackets where the student
// typed them or where the structure needs them. Read with the same names, the text gives a
// formula with the same reading.
//
// A name whose key is in `substitutes` is written as that text in brackets: the text of
// another answer, in this notation, which then stands in the answer as one operand.
std::string NotationText(const Formula& formula,
                         const std::map<std::string, std::string>& substitutes = {});

} // namespace answers
