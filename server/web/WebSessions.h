#pragma once

#include <cstdint>
#include <map>
#include <string>

// The teachers signed in to the web pages, each by a random session id that the browser
// keeps in a cookie, and the tokens that every form carries: the sign-in form's are
// issued with the form and taken once; a session's is its own. A session ends after
// IdleMs without a request, or when signed out. Times are milliseconds of a steady clock.
// Both tables are bounded: past their limit the least recently used entry goes.
class WebSessions {
public:
    static constexpr std::int64_t IdleMs = 30 * 60 * 1000;
    static constexpr std::size_t MaxSessions = 1000;
    static constexpr std::size_t MaxLoginTokens = 10000;

    struct Session {
        std::string teacher; // UTF-8
        std::string formToken;
        std::int64_t lastUseMs = 0;
    };

    // A new session for the teacher; returns its id.
    std::string Open(const std::string& teacher, std::int64_t nowMs);
    // The session of an id, its idle time restarted; null when unknown or expired.
    const Session* Use(const std::string& id, std::int64_t nowMs);
    void Close(const std::string& id);
    std::size_t Count() const { return sessions_.size(); }

    std::string IssueLoginToken(std::int64_t nowMs);
    // Whether the token was issued for a sign-in form within IdleMs; it is used up.
    bool TakeLoginToken(const std::string& token, std::int64_t nowMs);

private:
    std::map<std::string, Session> sessions_;
    std::map<std::string, std::int64_t> loginTokens_; // token -> issued at
};

// 32 random bytes from the system's secure source, as 64 hexadecimal digits.
std::string RandomToken();

// Compares two tokens in a time that does not depend on where they differ.
bool SameToken(const std::string& a, const std::string& b);
