#pragma once

#include "course/TaskBank.h"

#include "platform/Canvas.h"

#include <string>
#include <vector>

// The variants a check draws by default.
inline constexpr int kDefaultCheckedVariants = 50;

// Everything about a task that the server refuses or a student would meet, one UTF-8 line
// each, none for a sound task: what cannot be read in the file (answers that do not match
// the requested names, VARIABLES, PARAMETERS, TESTS, ATTEMPTS), and for each of `variants`
// variants drawn with the preview secret (one for a task without PARAMETERS): placeholders
// without a parameter, the statement, the diagram and the animation as the client meets
// them, reference answers that use an undeclared name or have no value, and every author
// test that does not get its verdict. A problem met in several variants is told once, with
// the values of the first.
// With a canvas to measure texts on, each checked variant's diagram and animation are also
// drawn whole (DrawingProblems): a statement drawn outside its picture is a problem too.
std::vector<std::string> ValidateTask(const BankTask& task, int variants = kDefaultCheckedVariants,
                                      platform::Canvas* measure = nullptr);

// What an author should look at although the task can be served as it is, one UTF-8 line
// each: a Greek letter that the statement and the answer notation show differently.
std::vector<std::string> TaskWarnings(const BankTask& task);

// How many variants a check of `variants` draws: one for a task without PARAMETERS.
int CheckedVariantCount(const BankTask& task, int variants);

// Validates every task of a bank and takes the tasks with problems out of it, so that the
// others can be served; a task with warnings alone stays. One UTF-8 line per problem and per
// warning, "Балка-1: ...", the problems after the lines of course.conf that cannot be read.
struct BankCheck {
    std::vector<std::string> problems;
    std::vector<std::string> warnings;
};
BankCheck SetAsideInvalidTasks(TaskBank& bank, int variants = kDefaultCheckedVariants);
