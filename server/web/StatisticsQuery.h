#pragma once

#include "course/ItemStatistics.h"
#include "course/TaskBank.h"

#include <iosfwd>
#include <string>

class Database;

// The course's item statistics from the store: the students are the student accounts
// with at least one judged attempt; each one's score on a task is the first judged
// attempt's credit as a fraction of the task's rows, or with `best` the best credit the
// task's rules give (the attempt penalty taken off, attempts past the limit left out).
CourseStatistics ReadCourseStatistics(Database& database, const TaskBank& bank, bool best);

// The statistics as a spreadsheet set up for Russian opens them, as `results
// --spreadsheet` writes: the course's figures, then a row per task and one per variant.
std::string StatisticsCsv(const CourseStatistics& statistics);

// {"students": N, "alpha": A, "error_ratio": E, "tasks": [{"task", "n", "facility", "sd",
// "discrimination", "efficiency", "flags": [...], "variants": [{"variant", "n",
// "facility"}]}]}: percentages to two decimals, null where undefined.
std::string StatisticsJson(const CourseStatistics& statistics);

// "stats [--best] [--json]".
int RunStatsCommand(Database& database, const TaskBank& bank, bool best, bool json,
                    std::ostream& out);
