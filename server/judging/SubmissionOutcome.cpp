#include "judging/SubmissionOutcome.h"

#include "judging/VerdictMessage.h"
#include "platform/Cp1251.h"

SubmissionVerdict JudgeRequest(const SubmissionRequest& request, AnswerJudge& judge) {
    return JudgeSubmission(request.task.get(), request.payload, judge);
}

SubmissionRecord RecordOf(const SubmissionRequest& request, const SubmissionVerdict& verdict) {
    const BankTask* task = request.task.get();
    return {request.user,
            task != nullptr ? task->name : std::string(),
            request.payload,
            VerdictSummary(verdict),
            verdict.judged ? verdict.correctCount : -1,
            task != nullptr ? task->ScoredRows() : 0,
            verdict.judged && verdict.attemptCount > 0,
            request.variant,
            verdict.judged ? verdict.credited : 0.0};
}

SubmissionOutcome Admit(const SubmissionRequest& request, const std::vector<Attempt>& attempts,
                        int extensionMinutes, const LocalTime& now) {
    SubmissionOutcome outcome;
    outcome.notJudged = WindowMessage(now, request.window, extensionMinutes);
    if (outcome.notJudged.empty() && !AttemptsLeft(attempts, request.rules))
        outcome.notJudged = kNoAttemptsLeft;
    return outcome;
}

SubmissionRecord RecordOf(const SubmissionRequest& request, const SubmissionOutcome& outcome) {
    SubmissionRecord record = RecordOf(request, outcome.verdict);
    if (!outcome.notJudged.empty())
        record.verdicts = platform::Utf8ToCp1251(outcome.notJudged);
    return record;
}
