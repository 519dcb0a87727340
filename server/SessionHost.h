#pragma once

#include "SubmissionOutcome.h"

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

// What a session needs from the server around it: accounts, submissions and a log.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    // Decides a login. Pending while the answer is not known yet (the check is slow on
    // purpose, or attempts are being paced): the session then waits, and the host calls
    // its Continue() later, when the same question gets its answer.
    virtual LoginDecision CheckLogin(const std::string& user, const std::string& password) = 0;
    // Paces, judges and stores a submission; nullopt while that is under way (the session
    // waits, and the host continues it when the same submission has its outcome).
    virtual std::optional<SubmissionOutcome> Submit(const SubmissionRequest& request) = 0;
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
    std::optional<SubmissionOutcome> Submit(const SubmissionRequest& request) override {
        SubmissionOutcome outcome;
        outcome.verdict = JudgeRequest(request, judge);
        submissions.push_back(RecordOf(request, outcome.verdict));
        outcome.status =
            storing ? SubmissionOutcome::Status::Stored : SubmissionOutcome::Status::NotStored;
        return outcome;
    }

    std::map<std::string, std::string> accounts; // name -> password
    std::vector<SubmissionRecord> submissions;
    AnswerJudge judge;
    bool storing = true;  // false: every store fails
    bool pending = false; // true: no login is decided
};
