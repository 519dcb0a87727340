#pragma once

#include "course/Attempts.h"
#include "course/TaskBank.h"

#include <map>
#include <string>
#include <vector>

// The teacher's table of a course: one row per student, one column per task of the bank
// (Statics, then Kinematics, then Dynamics), each cell the student's best score at the
// task under its attempt rules and the attempts used. Texts are UTF-8.

struct GradebookTask {
    std::string name;  // as the database keeps it
    std::string sheet; // "Статика", "Кинематика" or "Динамика"
    int maximum = 0;   // the answers it asks for: the most one attempt can score
    AttemptRules rules;
};

struct GradebookCell {
    int attemptsUsed = 0;    // judged attempts that count (none past the limit)
    double bestCredited = 0; // the credit of the best attempt, before its penalty
    double best = 0;         // its score, the penalty taken off
    bool carried = false;    // the best attempt holds answers right with the errors they carry
};

struct GradebookRow {
    std::string student;
    std::vector<GradebookCell> cells; // one per task, in the order of the tasks
    double total = 0;
};

struct Gradebook {
    std::vector<GradebookTask> tasks;
    std::vector<GradebookRow> rows; // by student name
    std::vector<double> taskTotals; // the best scores of all students, per task
    int maximumTotal = 0;           // the sum of the tasks' maxima
    // The regrades done, oldest first: "08.12.2026 10:15 · Балка-1 · 40 отправок, выше 3,
    // ниже 1" (the server's local time).
    std::vector<std::string> regrades;
};

// The sheet a bank's tag names ("<STATICA>" -> "Статика").
std::string SheetName(const std::string& sheetTag);

// Collects judged attempts, in the order they were made per student and task, into the
// gradebook of the bank's tasks for the given students (who appear even without any
// attempt). Attempts of other users or at tasks the bank does not have are left out.
class GradebookBuilder {
public:
    GradebookBuilder(const TaskBank& bank, const std::vector<std::string>& students);

    // A student's attempts at a task, in their order.
    void AddJudgedAttempts(const std::string& student, const std::string& task,
                           const std::vector<Attempt>& attempts);
    // The same by their credits alone.
    void AddAttempts(const std::string& student, const std::string& task,
                     const std::vector<double>& credits);
    Gradebook Finish();

private:
    Gradebook book_;
    std::map<std::string, std::size_t> rowOf_;
    std::map<std::string, std::size_t> columnOf_;
    // Per row, per column, the attempts in order.
    std::vector<std::vector<std::vector<Attempt>>> attempts_;
};

// A score for people and spreadsheets: whole numbers as such, else at most two decimals
// with the given separator ("1,8").
std::string PointsText(double points, char decimalSeparator = ',');
