#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// One submission as the server keeps it. Texts are CP1251, as they came and went.
struct SubmissionRecord {
    std::string user;
    std::string task;     // empty when no task was open
    std::string payload;  // exactly as received
    std::string verdicts; // "NAME: верно; NAME: неверно"; empty when not judged
    int score = -1;       // answers judged right; -1 when not judged
    int total = 0;        // answers judged
};

// What a session needs from the server around it: accounts, storage and a log.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    // Whether the account exists and the password is its own; nullopt while the answer is
    // not known yet (the check is slow on purpose, or attempts are being paced): the
    // session then waits, and the host calls its Continue() later, when the same question
    // gets its answer.
    virtual std::optional<bool> CheckLogin(const std::string& user,
                                           const std::string& password) = 0;
    // Stores a submission durably; false when it could not be stored.
    virtual bool StoreSubmission(const SubmissionRecord& record) = 0;
    // One line for the operator's log (UTF-8, no line break).
    virtual void Log(const std::string& /*utf8Line*/) {}
};

// A host that keeps accounts and submissions in memory: for tests and fuzzing.
class MemorySessionHost : public SessionHost {
public:
    std::optional<bool> CheckLogin(const std::string& user, const std::string& password) override {
        if (pending)
            return std::nullopt;
        const auto found = accounts.find(user);
        return found != accounts.end() && found->second == password;
    }
    bool StoreSubmission(const SubmissionRecord& record) override {
        submissions.push_back(record);
        return storing;
    }

    std::map<std::string, std::string> accounts; // name -> password
    std::vector<SubmissionRecord> submissions;
    bool storing = true;  // false: every store fails
    bool pending = false; // true: no login is decided
};
