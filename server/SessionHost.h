#pragma once

#include "SubmissionOutcome.h"
#include "VariantSeed.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// What a host says of a login.
enum class LoginDecision {
    Pending,     // not known yet: the session waits and is continued later
    Accepted,    // the account exists and the password is its own
    Refused,     // unknown name or wrong password
    Unavailable, // the accounts cannot be read now (the database is out of reach)
};

// What the store knows of a student when they log in: the judged attempts at each task
// (for the standing the task list shows) and the extra minutes past the test window.
struct StudentRecord {
    std::map<std::string, std::vector<Attempt>> attempts; // task name (CP1251) -> in order
    int extensionMinutes = 0;
};

// One stored submission of a student at a task, as their history shows it.
struct PastSubmission {
    std::string receivedUtc; // ISO 8601, e.g. 2026-12-07T10:15:30.250Z
    std::string payload;     // CP1251, as received
    std::string verdicts; // CP1251: "NAME: верно; NAME: неверно", or why it was not judged
    int score = -1;       // answers judged "верно"; -1: not judged
    int total = 0;        // the answers the task asks for
    int attempt = 0;      // the attempt it used; 0 when none
    double credited = 0; // the credit it earns before the attempt's penalty
};

// A student's stored submissions at one task: the newest kMaxHistory, oldest first.
struct SubmissionHistory {
    static constexpr std::size_t kMaxHistory = 50;
    bool available = true; // false: the store cannot be read now
    std::vector<PastSubmission> submissions;
};

// What a session needs from the server around it: accounts, the course's secret, the
// clock, submissions and a log.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    // Decides a login. Pending while the answer is not known yet (the check is slow on
    // purpose, or attempts are being paced): the session then waits, and the host calls
    // its Continue() later, when the same question gets its answer.
    virtual LoginDecision CheckLogin(const std::string& user, const std::string& password) = 0;
    // What the store knew of an accepted user when the login was decided.
    virtual StudentRecord Student(const std::string& /*user*/) { return {}; }
    // The secret students' variants are drawn with.
    virtual std::string CourseSecret() const { return std::string(kPreviewSecret); }
    // The server's local time, for the test window.
    virtual LocalTime Now() const = 0;
    // Paces, judges and stores a submission; nullopt while that is under way (the session
    // waits, and the host continues it when the same submission has its outcome).
    virtual std::optional<SubmissionOutcome> Submit(const SubmissionRequest& request) = 0;
    // The user's stored submissions at a task (both CP1251); nullopt while they are being
    // read (the session waits, and the host continues it when the same question has its
    // answer).
    virtual std::optional<SubmissionHistory> History(const std::string& /*user*/,
                                                     const std::string& /*task*/) {
        return SubmissionHistory{};
    }
    // One line for the operator's log (UTF-8, no line break).
    virtual void Log(const std::string& /*utf8Line*/) {}
};

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
