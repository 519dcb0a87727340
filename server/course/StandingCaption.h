#pragma once

#include "course/Attempts.h"

#include <string>
#include <string_view>
#include <vector>

// A task's caption in the task list with the student's standing after it (CP1251):
// "Реакции опор балки — решено, попыток 2 из 3" once an attempt earned full credit,
// "Реакции опор балки — 2,4 из 3, попыток 3 из 3" otherwise (the best attempt's credit,
// its penalty taken off); without a limit "— решено" and "— 1 из 2, попыток 2"; the caption
// alone before the first attempt.
std::string StandingCaption(std::string_view cp1251Caption, const std::vector<Attempt>& attempts,
                            const AttemptRules& rules, int answers);
