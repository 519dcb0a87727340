#include "judging/Submission.h"

#include "judging/TaskJudging.h"
#include "platform/Cp1251.h"

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
    verdict.attemptCount += word != answers::Verdict::NotAccepted ? 1 : 0;
    verdict.credited += judged.credit;
    verdict.answers.push_back(std::move(judged));
}

} // namespace

SubmissionVerdict JudgeSubmission(const BankTask* task, const std::string& payload,
                                  const AnswerJudge& judge) {
    SubmissionVerdict verdict;
    if (task == nullptr || (task->answers.empty() && !task->AsksForDrawing()))
        return verdict;
    verdict.judged = true;
    const auto answers = ReadAnswers(payload, task->answerNames);
    for (std::size_t k = 0; k < answers.size(); ++k) {
        // A missing item is judged as an empty answer: "не принято", nothing to read.
        JudgedAnswer judged{task->answerNames[k], answers[k].value_or(""), {}, false, {}, 0};
        judged.judgement =
            judge.Judge(task->answers[k], judged.answer, task->variables, JudgeOptionsOf(*task, k));
        if (judged.judgement.outOfTime) {
            verdict.outOfTime = true;
            return verdict;
        }
        judged.credit = judged.judgement.verdict == answers::Verdict::Right ? 1 : 0;
        Count(verdict, std::move(judged));
    }
    if (task->AsksForDrawing())
        Count(verdict, JudgeDrawnItem(*task, payload));
    return verdict;
}

std::string ReferenceProblem(const BankTask& task, const AnswerJudge& judge) {
    for (std::size_t k = 0; k < task.answers.size(); ++k) {
        // The reference against itself, in its own unit; its figures are the author's.
        answers::JudgeOptions options = JudgeOptionsOf(task, k);
        options.significantFigures = 0;
        const answers::Judgement judgement =
            judge.Judge(task.answers[k], task.answers[k], task.variables, options);
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
