#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>

// The teachers signed in to the web pages, each by a random session id that the browser
// keeps in a cookie, and the tokens that every form carries: the sign-in form's are
// issued with the form, bound to the browser's pre-session id (a cookie of its own, which
// another site's page cannot send), and taken once; a session's is its own. A session ends
// after IdleMs without a request, or when signed out. Times are milliseconds of a steady
// clock. Both tables are bounded: past their limit the least recently used entry goes; an
// address holds at most MaxLoginTokensPerAddress sign-in tokens, its oldest going first,
// so that one address asking for forms by the thousand cannot push out another's.
class WebSessions {
public:
    static constexpr std::int64_t IdleMs = 30 * 60 * 1000;
    static constexpr std::size_t MaxSessions = 1000;
    static constexpr std::size_t MaxLoginTokens = 10000;
    static constexpr std::size_t MaxLoginTokensPerAddress = 20;

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

    // A sign-in form's token for the pre-session id, asked for from `address`.
    std::string IssueLoginToken(const std::string& preSession, const std::string& address,
                                std::int64_t nowMs);
    // Whether the token was issued for a sign-in form of this pre-session id within IdleMs;
    // a token found is used up, whether it matched or not.
    bool TakeLoginToken(const std::string& token, const std::string& preSession,
                        std::int64_t nowMs);

private:
    struct LoginToken {
        std::string preSession;
        std::string address;
        std::int64_t issuedMs = 0;
    };
    using LoginTokens = std::map<std::string, LoginToken>;
    void DropLoginToken(LoginTokens::iterator token);

    std::map<std::string, Session> sessions_;
    LoginTokens loginTokens_;
    std::map<std::string, std::deque<std::string>> tokensOfAddress_; // oldest first
};

// Whether a text can be a token: 64 lowercase hexadecimal digits.
bool IsToken(const std::string& text);

// 32 random bytes from the system's secure source, as 64 hexadecimal digits.
std::string RandomToken();

// Compares two tokens in a time that does not depend on where they differ.
bool SameToken(const std::string& a, const std::string& b);
