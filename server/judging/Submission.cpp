#include "judging/Submission.h"

#include "platform/Cp1251.h"

SubmissionVerdict JudgeSubmission(const BankTask* task, const std::string& payload,
                                  const AnswerJudge& judge) {
    SubmissionVerdict verdict;
    if (task == nullptr || task->answers.empty())
        return verdict;
    verdict.judged = true;
    const auto answers = ReadAnswers(payload, task->answerNames);
    for (std::size_t k = 0; k < answers.size(); ++k) {
        // A missing item is judged as an empty answer: "не принято", nothing to read.
        JudgedAnswer judged{task->answerNames[k], answers[k].value_or(""), {}};
        judged.judgement =
            judge.Judge(task->answers[k], judged.answer, task->variables, task->tolerance);
        if (judged.judgement.outOfTime) {
            verdict.outOfTime = true;
            return verdict;
        }
        const answers::Verdict word = judged.judgement.verdict;
        verdict.correctCount += word == answers::Verdict::Right ? 1 : 0;
        verdict.attemptCount += word != answers::Verdict::NotAccepted ? 1 : 0;
        verdict.answers.push_back(std::move(judged));
    }
    return verdict;
}

std::string ReferenceProblem(const BankTask& task, const AnswerJudge& judge) {
    for (std::size_t k = 0; k < task.answers.size(); ++k) {
        const answers::Judgement judgement =
            judge.Judge(task.answers[k], task.answers[k], task.variables, task.tolerance);
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
