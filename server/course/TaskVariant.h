#pragma once

#include "course/TaskBank.h"
#include "course/TaskParameters.h"

#include <string>
#include <string_view>
#include <vector>

// One student's variant of a task: the values drawn for its PARAMETERS from (the course's
// secret, the user name, the task name), written into what the student reads (CAPTION and
// QUEST with a decimal comma, IMAGE, ANIMATE and DRAW with a decimal point) and into the
// reference answers, where they stand as numbers. The declared VARIABLES stay as they are:
// a student answers with numbers unless the task declares a parameter's name there too.
// A task without PARAMETERS is its own only variant.
struct TaskVariant {
    BankTask task;
    ParameterValues values;
    std::vector<std::string> problems; // parameters or placeholders that fail (UTF-8)
};

TaskVariant VariantOf(const BankTask& task, std::string_view secret, std::string_view user);

// The variant of the given seed (VariantOf draws with the seed of its three names).
TaskVariant VariantOfSeed(const BankTask& task, std::uint64_t seed);
