#pragma once

#include "course/VariantSeed.h"
#include "judging/SubmissionOutcome.h"

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
