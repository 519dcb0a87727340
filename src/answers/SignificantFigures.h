#pragma once

#include "answers/Formula.h"

#include <optional>
#include <string_view>

namespace answers {

// The significant figures of a number as written: leading zeros do not count, nor do the
// trailing zeros of a whole number (2500 has 2); zeros after a decimal separator do (2,50
// has 3); in E-notation the mantissa's. A number with no figure but zeros has none.
int SignificantFigures(std::string_view cp1251Number);

// The figures of an answer that is a number: a number with its sign, or a number times a
// power of ten ("2,50*10^3"); nullopt for a formula or a zero, which need no figures.
std::optional<int> AnswerFigures(const Formula& formula);

} // namespace answers
