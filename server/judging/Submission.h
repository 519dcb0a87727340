#pragma once

#include "course/TaskBank.h"
#include "judging/AnswerJudge.h"
#include "protocol/ResultItems.h"

#include <optional>
#include <string>
#include <vector>

// A SETRESULTQUEST payload (read by ReadAnswers) judged against the task it answers.
// All texts are CP1251.

struct JudgedAnswer {
    std::string name;   // the requested name, in the notation ("X!A"); kDrawingRowName
    std::string answer; // as sent; a drawing's entries, each ended by ";"
    answers::Judgement judgement;
    bool drawing = false; // the drawn answer, not a row
    // What the student is told of a drawing's objects not found or extra (UTF-8, "нет
    // реакции в точке A").
    std::vector<std::string> findings;
    // What it earns: 1 for an answer row judged "верно", a drawing its score, an answer
    // right with the errors it carries the task's carry share.
    double credit = 0;
    // Wrong against the reference but right with the student's own answers to the rows a
    // CARRY rule names: the rows whose errors it carries, as requested (CP1251), the rows
    // they carry from in place of a carried one. Empty for any other answer.
    std::vector<std::string> carriedFrom{};
    // The author's text (CP1251) of the FEEDBACK line a wrong answer matches; empty when none.
    std::string feedback{};

    bool Carried() const { return !carriedFrom.empty(); }
};

// The name a drawn answer is listed under among the rows ("рисунок", CP1251).
extern const std::string kDrawingRowName;

struct SubmissionVerdict {
    bool judged = false; // false: no task was open, or the task has no reference answers
    std::vector<JudgedAnswer> answers;
    int correctCount = 0;
    int carriedCount = 0; // answers right with the errors they carry
    // What the answers earn together before the attempt's penalty: each right row 1, a
    // drawing its score.
    double credited = 0;
    // Answers that count as an attempt: those judged "верно" or "неверно" (a carried one
    // among them). An answer "не
    // принято" (it cannot be read, or uses a name the task does not declare) is stored
    // but does not count.
    int attemptCount = 0;
    // The judge's deadline passed before every answer was judged: the verdict says nothing.
    bool outOfTime = false;
};

// Judges a payload against a task; a null task gives a verdict that is not judged. On a
// task that asks for a drawing, the drawing item is judged after the rows as one more
// row; a payload without it has drawn nothing.
SubmissionVerdict JudgeSubmission(const BankTask* task, const std::string& payload,
                                  const AnswerJudge& judge);

// The rows of a task judged as a submission judges them, one answer per requested name
// ("" for none; CP1251), the drawing left out. A wrong answer to a row with a CARRY rule is
// judged again with the student's own answers put in for the rows the rule names, unless
// none of them is wrong: those "не принято" (or not given) carry nothing and stand for their
// references. A wrong answer that is not carried gets the text of the first FEEDBACK line
// for its row that it matches.
SubmissionVerdict JudgeAnswers(const BankTask& task, const std::vector<std::string>& answers,
                               const AnswerJudge& judge);

// What is wrong with a task's reference answers (one of them cannot be read or does not
// evaluate), or empty: each must be judged right against itself. CP1251.
std::string ReferenceProblem(const BankTask& task, const AnswerJudge& judge);
