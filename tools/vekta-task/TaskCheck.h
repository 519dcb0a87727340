#pragma once

#include "protocol/QuestSections.h"

#include <string>
#include <vector>

// The problems a student would meet with a task: diagram statements the interpreter does
// not understand, a diagram header it cannot read, a REQUEST rest without ";", more answers
// than rows, a "<" of the statement without its ">", a statement too long to be shown
// whole. One UTF-8 line each, without a line break; none for a clean task.
std::vector<std::string> CheckTask(const QuestSections& task);
