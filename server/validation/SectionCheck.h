#pragma once

#include "protocol/QuestSections.h"

#include <string>
#include <string_view>
#include <vector>

// The problems a student would meet with a task: diagram statements the interpreter does
// not understand or whose brackets do not pair up, a diagram header it cannot read, a REQUEST rest
// without ";", more answers than rows, a "<" of the statement without its ">", a statement too long
// to be shown whole. One UTF-8 line each, without a line break; none for a clean task.
std::vector<std::string> CheckSections(const QuestSections& task);

// The problems of a diagram document (CP1251, as IMAGE carries it) as the task view would meet
// them: a header it cannot read, statements it does not understand or cannot draw, a picture
// past the work budget. One UTF-8 line each; none for a diagram that draws whole.
std::vector<std::string> CheckDiagram(const std::string& image);

// Whether every "(" of a statement has its ")" after it, text in double quotes aside.
bool BracketsPair(std::string_view statement);
