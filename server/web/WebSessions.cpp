#include "web/WebSessions.h"

#include <QRandomGenerator>

#include <algorithm>

namespace {

// Drops the entries older than the idle time, then the least recently used one while
// the table is full.
template <typename Table, typename Time>
void Bound(Table& table, std::size_t limit, std::int64_t nowMs, Time timeOf) {
    std::erase_if(table, [&](const auto& entry) {
        return nowMs - timeOf(entry.second) > WebSessions::IdleMs;
    });
    while (table.size() >= limit) {
        const auto oldest =
            std::min_element(table.begin(), table.end(), [&](const auto& a, const auto& b) {
                return timeOf(a.second) < timeOf(b.second);
            });
        table.erase(oldest);
    }
}

} // namespace

std::string RandomToken() {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 8; ++i) {
        const quint32 word = QRandomGenerator::system()->generate();
        for (int shift = 28; shift >= 0; shift -= 4)
            token += kHex[(word >> shift) & 0xF];
    }
    return token;
}

bool SameToken(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

std::string WebSessions::Open(const std::string& teacher, std::int64_t nowMs) {
    Bound(sessions_, MaxSessions, nowMs, [](const Session& s) { return s.lastUseMs; });
    std::string id = RandomToken();
    sessions_[id] = {teacher, RandomToken(), nowMs};
    return id;
}

const WebSessions::Session* WebSessions::Use(const std::string& id, std::int64_t nowMs) {
    const auto found = sessions_.find(id);
    if (found == sessions_.end())
        return nullptr;
    if (nowMs - found->second.lastUseMs > IdleMs) {
        sessions_.erase(found);
        return nullptr;
    }
    found->second.lastUseMs = nowMs;
    return &found->second;
}

void WebSessions::Close(const std::string& id) {
    sessions_.erase(id);
}

std::string WebSessions::IssueLoginToken(const std::string& preSession, const std::string& address,
                                         std::int64_t nowMs) {
    for (auto token = loginTokens_.begin(); token != loginTokens_.end();) {
        const auto next = std::next(token);
        if (nowMs - token->second.issuedMs > IdleMs)
            DropLoginToken(token);
        token = next;
    }
    std::deque<std::string>& mine = tokensOfAddress_[address];
    while (mine.size() >= MaxLoginTokensPerAddress) {
        const auto oldest = loginTokens_.find(mine.front());
        if (oldest == loginTokens_.end())
            mine.pop_front();
        else
            DropLoginToken(oldest); // `mine` keeps at least one token meanwhile
    }
    while (loginTokens_.size() >= MaxLoginTokens)
        DropLoginToken(std::min_element(
            loginTokens_.begin(), loginTokens_.end(),
            [](const auto& a, const auto& b) { return a.second.issuedMs < b.second.issuedMs; }));
    std::string token = RandomToken();
    loginTokens_[token] = {preSession, address, nowMs};
    tokensOfAddress_[address].push_back(token);
    return token;
}

bool WebSessions::TakeLoginToken(const std::string& token, const std::string& preSession,
                                 std::int64_t nowMs) {
    const auto found = loginTokens_.find(token);
    if (found == loginTokens_.end())
        return false;
    const bool valid = nowMs - found->second.issuedMs <= IdleMs && !preSession.empty() &&
                       SameToken(found->second.preSession, preSession);
    DropLoginToken(found);
    return valid;
}

void WebSessions::DropLoginToken(LoginTokens::iterator token) {
    const auto list = tokensOfAddress_.find(token->second.address);
    if (list != tokensOfAddress_.end()) {
        std::erase(list->second, token->first);
        if (list->second.empty())
            tokensOfAddress_.erase(list);
    }
    loginTokens_.erase(token);
}

bool IsToken(const std::string& text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}
