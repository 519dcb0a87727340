#pragma once

#include "web/Gradebook.h"

#include <iosfwd>

class Database;

// The names of the student accounts (teachers are no rows of the gradebook), by name.
std::vector<std::string> StudentNames(Database& database);

// The gradebook of the bank's tasks from the store: every student account a row (or the
// given students), every judged attempt read once, in order, and never all held at once.
Gradebook ReadGradebook(Database& database, const TaskBank& bank);
Gradebook ReadGradebook(Database& database, const TaskBank& bank,
                        const std::vector<std::string>& students);

// "results --gradebook [--separator ,]": the gradebook as CSV on `out`. The separator is
// ";" or ","; anything else is refused (exit code 64, the reason on `err`).
int RunGradebookCommand(Database& database, const TaskBank& bank, const std::string& separator,
                        std::ostream& out, std::ostream& err);
