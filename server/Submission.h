#pragma once

#include "AnswerJudge.h"
#include "TaskBank.h"

#include <optional>
#include <string>
#include <vector>

// A SETRESULTQUEST payload read against the task it answers, and its verdict. The
// client sends one item per requested name: the name-field text " NAME @=", the answer,
// ";". All texts are CP1251.

// The answer of each requested name, in the task's order; nullopt for a name whose item
// is missing. An answer runs from its name-field text up to the ";" before the next
// requested name's item (or the payload's last ";"), so a ";" inside an answer stays.
std::vector<std::optional<std::string>> ReadAnswers(const std::string& payload,
                                                    const std::vector<std::string>& names);

struct JudgedAnswer {
    std::string name;
    std::string answer; // as sent
    bool correct = false;
    std::string reason;
};

struct SubmissionVerdict {
    bool judged = false; // false: no task was open, or the task has no reference answers
    std::vector<JudgedAnswer> answers;
    int correctCount = 0;
};

// Judges a payload against a task; a null task gives a verdict that is not judged.
SubmissionVerdict JudgeSubmission(const BankTask* task, const std::string& payload,
                                  AnswerJudge& judge);

// What is wrong with a task's reference answers (one of them does not evaluate), or
// empty: each must be judged right against itself.
std::string ReferenceProblem(const BankTask& task, AnswerJudge& judge);

// The message the student reads: one line per answer name with "верно" or "неверно"
// (and the reason, when there is one), then "Верно K из N"; or the notice that the
// answers were recorded without a verdict.
std::string VerdictMessage(const SubmissionVerdict& verdict);

// The verdicts in one line for the instructor's records: "NAME: верно; NAME: неверно".
std::string VerdictSummary(const SubmissionVerdict& verdict);
