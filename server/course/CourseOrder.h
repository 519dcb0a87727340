#pragma once

#include "course/TaskBank.h"

#include <map>
#include <string>
#include <vector>

// The task list's order, so that a task's number stays put while a course runs: the tasks
// course.conf's `order` names come first, in its order; the rest follow in the order in
// which the course first listed them (`firstListed`, a place per UTF-8 name, as the store
// keeps it), a task never listed after those in the bank's order. Returns the names of
// `order` that no task of the bank has.
std::vector<std::string> ArrangeTasks(TaskBank& bank,
                                      const std::map<std::string, int>& firstListed);

// The bank's task names (UTF-8) in the order the bank lists them.
std::vector<std::string> TaskNames(const TaskBank& bank);
