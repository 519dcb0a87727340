#pragma once

#include "course/TaskBank.h"

#include "answers/Judge.h"
#include "drawing/DrawingJudge.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The task's VARIABLES as the judge takes them, with what cannot be read (UTF-8).
struct TaskNames {
    std::vector<answers::DeclaredName> declared;
    std::vector<std::string> problems;
};
TaskNames DeclaredNamesOf(const BankTask& task);

// The row of a REQUEST name ("R!B" or "R_B"), or -1.
int RowOf(const BankTask& task, std::string_view name);

// A formula of a task's row `row` (CP1251: its reference, a FEEDBACK answer) with each
// earlier row's name it uses replaced, in brackets, by the text `given` holds for that row,
// else by the row's reference from `references` (RowReferences'). A formula that uses no
// earlier row's name comes back as written; nullopt when it cannot be read.
std::optional<std::string> WithEarlierRows(const BankTask& task, std::size_t row,
                                           std::string_view formula,
                                           const std::vector<std::string>& references,
                                           const std::map<std::size_t, std::string>& given = {});

// A FEEDBACK answer for row `row` as it is judged: WithEarlierRows', and in the row's
// reference unit when it names no unit of its own.
std::optional<std::string> TypicalAnswer(const BankTask& task, std::size_t row,
                                         std::string_view answer,
                                         const std::vector<std::string>& references);

// Each row's reference as it is judged: the earlier rows' names in it replaced by their
// references (so "2*a" for row b reads "2*(F/2)"); one that cannot be read stays as written.
std::vector<std::string> RowReferences(const BankTask& task);
// How one row of a task is judged: its tolerance, <UNITS>, <SIGFIGS>, the course's hints,
// and the names of the rows above it (never units).
answers::JudgeOptions JudgeOptionsOf(const BankTask& task, std::size_t row);

// The UNITS section a task's QUEST carries: each row's reference unit, ";"-ended, empty for
// a row without one; empty when no row has a unit. CP1251.
std::string RowUnitsSection(const BankTask& task);

// Judges a student's answer (CP1251) to one row of a task as served, a variant's values
// already in its reference answers: answers::Judge against the row's reference (earlier
// rows' names in it replaced) with the task's declared names and tolerance.
answers::Judgement JudgeRow(const BankTask& task, std::size_t row, std::string_view answer);

// A drawn answer judged against a task as served (a variant: its `drawing` read, the
// magnitudes with the variant's values), with its DRAWTOL and, for magnitudes, its declared
// names and tolerance. `problem` (UTF-8) says why it was not: the task's DRAW or DRAWTOL
// cannot be read.
struct TaskDrawingJudgement {
    drawing::DrawingJudgement judgement;
    std::string problem;
};
TaskDrawingJudgement JudgeTaskDrawing(const BankTask& task,
                                      const std::vector<drawing::DrawnObject>& drawn);

// What the student is told of a drawing (UTF-8): a line for each expected object not found
// and each extra one, points named by the task's diagram labels.
std::vector<std::string> FindingMessages(const BankTask& task,
                                         const drawing::DrawingJudgement& judgement);
