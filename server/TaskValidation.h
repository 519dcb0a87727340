#pragma once

#include "TaskBank.h"

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
std::vector<std::string> ValidateTask(const BankTask& task, int variants = kDefaultCheckedVariants);

// Validates every task of a bank and takes the tasks with problems out of it, so that the
// others can be served. One UTF-8 line per problem, "Балка-1: ...", after the lines of
// course.conf that cannot be read.
std::vector<std::string> SetAsideInvalidTasks(TaskBank& bank,
                                              int variants = kDefaultCheckedVariants);
