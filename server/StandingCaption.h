#pragma once

#include "Attempts.h"

#include <string>
#include <string_view>
#include <vector>

// A task's caption in the task list with the student's standing after it (CP1251):
// "Реакции опор балки — решено" once an attempt had every answer right, "Реакции опор
// балки — 2 из 3, попыток 1 из 3" otherwise (the best attempt's right answers; "попыток 1"
// when attempts are unlimited); the caption alone before the first attempt.
std::string StandingCaption(std::string_view cp1251Caption, const std::vector<Attempt>& attempts,
                            const AttemptRules& rules, int answers);
