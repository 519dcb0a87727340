#include "judging/Submission.h"

#include "judging/TaskJudging.h"
#include "platform/Cp1251.h"

#include <algorithm>

const std::string kDrawingRowName = platform::Utf8ToCp1251("рисунок");

namespace {

// The drawing item of a payload judged against the task: "не принято" without findings
// when an entry cannot be read (nothing of it is judged) or the task's DRAW cannot be
// judged against (a reference problem, for the operator's log).
JudgedAnswer JudgeDrawnItem(const BankTask& task, const std::string& payload) {
    const std::vector<std::string> entries =
        ReadDrawingEntries(payload, task.answerNames).value_or(std::vector<std::string>{});
    JudgedAnswer judged{kDrawingRowName, {}, {}, true, {}, 0};
    for (const std::string& entry : entries)
        judged.answer += entry + ";";
    const drawing::DrawingRead drawn = drawing::ReadDrawnEntries(entries);
    if (!drawn.problem.empty())
        return judged;
    const TaskDrawingJudgement result = JudgeTaskDrawing(task, drawn.objects);
    if (!result.problem.empty()) {
        judged.judgement.referenceProblem = result.problem;
        return judged;
    }
    judged.judgement.verdict = result.judgement.verdict;
    judged.credit = result.judgement.score;
    judged.findings = FindingMessages(task, result.judgement);
    return judged;
}

void Count(SubmissionVerdict& verdict, JudgedAnswer judged) {
    const answers::Verdict word = judged.judgement.verdict;
    verdict.correctCount += word == answers::Verdict::Right ? 1 : 0;
    verdict.carriedCount += judged.Carried() ? 1 : 0;
    verdict.attemptCount += word != answers::Verdict::NotAccepted ? 1 : 0;
    verdict.credited += judged.credit;
    verdict.answers.push_back(std::move(judged));
}

// How a wrong answer is judged again, against its carried reference or a FEEDBACK answer:
// as the row is, but without looking for a hint, which is not told.
answers::JudgeOptions QuietOptions(const BankTask& task, std::size_t row) {
    answers::JudgeOptions options = JudgeOptionsOf(task, row);
    options.hints = false;
    return options;
}

const CarryRule* CarryRuleOf(const BankTask& task, std::size_t row) {
    for (const CarryRule& rule : task.carry)
        if (RowOf(task, rule.row) == static_cast<int>(row))
            return &rule;
    return nullptr;
}

// Judges a wrong answer to `row` again with the student's own answers to the rows its
// CARRY rule names (those judged so far, in `earlier`); sets carriedFrom when it is right
// so. False when the deadline passed.
bool JudgeCarried(const BankTask& task, std::size_t row, const std::vector<std::string>& references,
                  const std::vector<JudgedAnswer>& earlier, const AnswerJudge& judge,
                  JudgedAnswer& judged) {
    const CarryRule* rule = CarryRuleOf(task, row);
    if (rule == nullptr)
        return true;
    std::map<std::size_t, std::string> own;
    std::vector<std::string> errors;
    const auto addError = [&errors](const std::string& name) {
        if (std::find(errors.begin(), errors.end(), name) == errors.end())
            errors.push_back(name);
    };
    for (const std::string& name : rule->from) {
        const int from = RowOf(task, name);
        if (from < 0 || static_cast<std::size_t>(from) >= earlier.size())
            continue;
        const JudgedAnswer& answer = earlier[static_cast<std::size_t>(from)];
        if (answer.judgement.verdict == answers::Verdict::NotAccepted)
            continue;
        own[static_cast<std::size_t>(from)] = answer.answer;
        if (answer.Carried())
            std::for_each(answer.carriedFrom.begin(), answer.carriedFrom.end(), addError);
        else if (answer.judgement.verdict == answers::Verdict::Wrong)
            addError(answer.name);
    }
    if (errors.empty())
        return true;
    const std::optional<std::string> carried =
        WithEarlierRows(task, row, task.answers[row], references, own);
    if (!carried)
        return true;
    const answers::Judgement again =
        judge.Judge(*carried, judged.answer, task.variables, QuietOptions(task, row));
    if (again.outOfTime)
        return false;
    if (again.verdict == answers::Verdict::Right) {
        judged.carriedFrom = std::move(errors);
        judged.judgement.hint = {}; // right with its errors: no mistake of its own to tell
    }
    return true;
}

// The text of the first FEEDBACK line for `row` that a wrong answer matches. False when
// the deadline passed.
bool FindFeedback(const BankTask& task, std::size_t row, const std::vector<std::string>& references,
                  const AnswerJudge& judge, JudgedAnswer& judged) {
    for (const FeedbackLine& line : task.feedback) {
        if (RowOf(task, line.name) != static_cast<int>(row))
            continue;
        const std::optional<std::string> typical =
            TypicalAnswer(task, row, line.answer, references);
        if (!typical)
            continue;
        const answers::Judgement match =
            judge.Judge(*typical, judged.answer, task.variables, QuietOptions(task, row));
        if (match.outOfTime)
            return false;
        if (match.verdict == answers::Verdict::Right) {
            judged.feedback = line.text;
            return true;
        }
    }
    return true;
}

} // namespace

SubmissionVerdict JudgeAnswers(const BankTask& task, const std::vector<std::string>& answers,
                               const AnswerJudge& judge) {
    SubmissionVerdict verdict;
    verdict.judged = true;
    const std::vector<std::string> references = RowReferences(task);
    for (std::size_t k = 0; k < task.answerNames.size() && k < references.size(); ++k) {
        JudgedAnswer judged{
            task.answerNames[k], k < answers.size() ? answers[k] : "", {}, false, {}, 0};
        judged.judgement =
            judge.Judge(references[k], judged.answer, task.variables, JudgeOptionsOf(task, k));
        bool inTime = !judged.judgement.outOfTime;
        if (inTime && judged.judgement.verdict == answers::Verdict::Wrong) {
            inTime = JudgeCarried(task, k, references, verdict.answers, judge, judged);
            if (inTime && !judged.Carried())
                inTime = FindFeedback(task, k, references, judge, judged);
        }
        if (!inTime) {
            verdict.outOfTime = true;
            return verdict;
        }
        judged.credit = judged.judgement.verdict == answers::Verdict::Right ? 1
                        : judged.Carried()                                  ? task.carryShare
                                                                            : 0;
        Count(verdict, std::move(judged));
    }
    return verdict;
}

SubmissionVerdict JudgeSubmission(const BankTask* task, const std::string& payload,
                                  const AnswerJudge& judge) {
    if (task == nullptr || (task->answers.empty() && !task->AsksForDrawing()))
        return {};
    std::vector<std::string> answers;
    // A missing item is judged as an empty answer: "не принято", nothing to read.
    for (const std::optional<std::string>& answer : ReadAnswers(payload, task->answerNames))
        answers.push_back(answer.value_or(""));
    SubmissionVerdict verdict = JudgeAnswers(*task, answers, judge);
    if (verdict.outOfTime)
        return verdict;
    if (task->AsksForDrawing())
        Count(verdict, JudgeDrawnItem(*task, payload));
    return verdict;
}

std::string ReferenceProblem(const BankTask& task, const AnswerJudge& judge) {
    const std::vector<std::string> references = RowReferences(task);
    for (std::size_t k = 0; k < task.answers.size(); ++k) {
        // The reference against itself, in its own unit; its figures are the author's.
        answers::JudgeOptions options = JudgeOptionsOf(task, k);
        options.significantFigures = 0;
        const answers::Judgement judgement =
            judge.Judge(references[k], references[k], task.variables, options);
        if (judgement.verdict == answers::Verdict::Right)
            continue;
        const std::string why = !judgement.referenceProblem.empty()
                                    ? platform::Utf8ToCp1251(judgement.referenceProblem)
                                    : answers::Reason(judgement, answers::TextStyle::Cp1251Words);
        return "the reference answer of " + task.answerNames[k] +
               " does not evaluate: " + task.answers[k] + " (" + why + ")";
    }
    return {};
}
