#include "SubmissionOutcome.h"

#include "VerdictMessage.h"

SubmissionVerdict JudgeRequest(const SubmissionRequest& request, AnswerJudge& judge) {
    return JudgeSubmission(request.task, request.payload, judge);
}

SubmissionRecord RecordOf(const SubmissionRequest& request, const SubmissionVerdict& verdict) {
    return {request.user,
            request.task != nullptr ? request.task->name : std::string(),
            request.payload,
            VerdictSummary(verdict),
            verdict.judged ? verdict.correctCount : -1,
            verdict.attemptCount};
}
