#pragma once

#include "judging/AnswerJudge.h"
#include "judging/SubmissionOutcome.h"
#include "session/SessionHost.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// A host that keeps accounts and submissions in memory and decides at once: for tests
// and fuzzing.
class MemorySessionHost : public SessionHost {
public:
    LoginDecision CheckLogin(const std::string& user, const std::string& password) override {
        if (pending)
            return LoginDecision::Pending;
        const auto found = accounts.find(user);
        return found != accounts.end() && found->second == password ? LoginDecision::Accepted
                                                                    : LoginDecision::Refused;
    }
    StudentRecord Student(const std::string& user) override { return students[user]; }
    std::string CourseSecret() const override { return secret; }
    LocalTime Now() const override { return now; }
    std::optional<SubmissionOutcome> Submit(const SubmissionRequest& request) override {
        const StudentRecord& student = students[request.user];
        const auto found = student.attempts.find(request.task->name);
        SubmissionOutcome outcome =
            Admit(request, found == student.attempts.end() ? std::vector<Attempt>{} : found->second,
                  student.extensionMinutes, now);
        if (outcome.notJudged.empty())
            outcome.verdict = JudgeRequest(request, judge);
        SubmissionRecord record = RecordOf(request, outcome);
        if (record.counted) {
            students[request.user].attempts[request.task->name].push_back(
                {outcome.verdict.credited});
            outcome.attempt =
                static_cast<int>(students[request.user].attempts[request.task->name].size());
        }
        submissions.push_back(std::move(record));
        submissionAttempts.push_back(outcome.attempt);
        submissionTimes.push_back(receivedUtc);
        outcome.status =
            storing ? SubmissionOutcome::Status::Stored : SubmissionOutcome::Status::NotStored;
        return outcome;
    }
    std::optional<SubmissionHistory> History(const std::string& user,
                                             const std::string& task) override {
        if (pending)
            return std::nullopt;
        SubmissionHistory history;
        history.available = storing;
        for (std::size_t i = 0; i < submissions.size() && storing; ++i) {
            const SubmissionRecord& record = submissions[i];
            if (record.user == user && record.task == task)
                history.submissions.push_back({submissionTimes[i], record.payload, record.verdicts,
                                               record.score, record.total, submissionAttempts[i],
                                               record.credited});
        }
        return history;
    }
    void Log(const std::string& utf8Line) override { log.push_back(utf8Line); }

    std::map<std::string, std::string> accounts; // name -> password
    std::vector<SubmissionRecord> submissions;
    std::vector<int> submissionAttempts;      // the attempt each of them used
    std::vector<std::string> submissionTimes; // when each came, as receivedUtc says then
    std::string receivedUtc = "2026-12-10T06:30:00Z";
    std::vector<std::string> log;
    std::map<std::string, StudentRecord> students; // what the store holds of each
    std::string secret = std::string(kPreviewSecret);
    LocalTime now{2026, 12, 10, 9, 30};
    AnswerJudge judge;
    bool storing = true;  // false: every store fails
    bool pending = false; // true: no login or history is decided
};
