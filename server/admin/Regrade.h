#pragma once

#include "course/TaskBank.h"

#include <iosfwd>
#include <string>
#include <vector>

class Database;

// Judging stored submissions again after a task was fixed. Every stored submission that
// used an attempt and was judged is judged again against the task file as it is now, on
// the student's own variant drawn again from the course's secret, keeping its attempt
// number, whether it counted and (through the attempt number) its penalty. One stored
// without a verdict ("Попытки исчерпаны", after the close) stays as it was; so does one
// whose variant today differs from the values stored with it beyond their stored
// precision, which is listed. A regrade may lower a score as well as raise it.
struct ScoreChange {
    std::string student; // UTF-8
    std::string task;    // UTF-8
    double before = 0;   // the best credited score, its attempt penalty taken off
    double after = 0;
};

struct RegradeSummary {
    std::vector<ScoreChange> changes;   // students and tasks whose best score changes
    std::vector<std::string> leftAlone; // "NAME TASK attempt N: why" (UTF-8)
    int regraded = 0;
    int up = 0;
    int down = 0;
};

// Regrades the given tasks (UTF-8 names; every task of the bank when none); with `dryRun`
// nothing is written. The new verdicts are stored a few hundred submissions a transaction,
// so that a running server keeps answering, then the regrade is recorded.
RegradeSummary Regrade(Database& database, const TaskBank& bank,
                       const std::vector<std::string>& tasks, bool dryRun);

// "regrade [TASK...] [--dry-run]": a line "NAME;TASK;BEFORE;AFTER" per changed best score,
// then "regraded N submissions: U up, D down, L left as they were"; the submissions left
// alone are listed on `err`. 64 for a task the bank does not have.
int RunRegradeCommand(Database& database, const TaskBank& bank,
                      const std::vector<std::string>& tasks, bool dryRun, std::ostream& out,
                      std::ostream& err);
