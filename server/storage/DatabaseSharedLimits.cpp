// The limits that hold across server processes on one database: login pacing by address
// and by account, and the sessions logged in per account.

#include "storage/Database.h"

#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <atomic>
#include <limits>
#include <map>
#include <mutex>
#include <stdexcept>

namespace {

// Another process may take a pacing slot first: the reservation is tried again.
constexpr int kPacingRetries = 20;
// Expired pacing rows are swept after this many failures recorded by a process.
constexpr int kSweepEvery = 256;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Login pacing kept in this process's memory for the failures the database could not
// record (a full or read-only disk): they pace as those in the database do, so that
// guessing does not go unpaced while the store cannot write. Shared by the process's
// connections; safe from any thread.
class MemoryLoginPacing {
public:
    static MemoryLoginPacing& Instance() {
        static MemoryLoginPacing instance;
        return instance;
    }

    long long Reserve(const std::vector<std::string>& keys, long long nowMs,
                      const Database::LoginPacing& pacing) {
        const std::lock_guard<std::mutex> lock(mutex_);
        long long wait = 0;
        std::vector<Entry*> paced;
        for (const std::string& key : keys) {
            const auto found = entries_.find(key);
            if (found == entries_.end())
                continue;
            Entry& entry = found->second;
            if (entry.windowStartMs <= nowMs - pacing.windowMs ||
                entry.failures < pacing.freeFailures)
                continue;
            wait = std::max(wait, std::min(entry.nextMs, nowMs + pacing.delayMs) - nowMs);
            paced.push_back(&entry);
        }
        if (wait > 0)
            return wait;
        for (Entry* entry : paced)
            entry->nextMs = nowMs + pacing.delayMs;
        return 0;
    }

    void RecordFailure(const std::vector<std::string>& keys, long long nowMs,
                       const Database::LoginPacing& pacing) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (entries_.size() > kSwept)
            std::erase_if(entries_, [&](const auto& item) {
                return item.second.windowStartMs <= nowMs - pacing.windowMs &&
                       item.second.nextMs <= nowMs;
            });
        for (const std::string& key : keys) {
            Entry& entry = entries_[key];
            if (entry.windowStartMs <= nowMs - pacing.windowMs) {
                entry.windowStartMs = nowMs;
                entry.failures = 0;
            }
            ++entry.failures;
        }
    }

private:
    struct Entry {
        long long windowStartMs = std::numeric_limits<long long>::min() / 2;
        int failures = 0;
        long long nextMs = 0;
    };
    static constexpr std::size_t kSwept = 4096; // entries kept before the old ones go

    std::mutex mutex_;
    std::map<std::string, Entry> entries_;
};

} // namespace

void Database::CreateSharedLimitTables() {
    Run("CREATE TABLE IF NOT EXISTS login_pacing (pace_key TEXT PRIMARY KEY, "
        "window_start_ms BIGINT NOT NULL, failures INTEGER NOT NULL, next_ms BIGINT NOT NULL)");
    Run("CREATE TABLE IF NOT EXISTS server_processes ("
        "process_id VARCHAR(200) PRIMARY KEY, heartbeat_ms BIGINT NOT NULL)");
    Run("CREATE TABLE IF NOT EXISTS account_sessions (process_id VARCHAR(200) NOT NULL, "
        "connection_number BIGINT NOT NULL, user_name TEXT NOT NULL, opened_ms BIGINT NOT NULL, "
        "closing INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (process_id, connection_number))");
    Run("CREATE INDEX IF NOT EXISTS account_sessions_user ON account_sessions (user_name)");
    Run("CREATE TABLE IF NOT EXISTS login_addresses (user_name TEXT NOT NULL, "
        "address TEXT NOT NULL, last_ms BIGINT NOT NULL, PRIMARY KEY (user_name, address))");
    Run("CREATE TABLE IF NOT EXISTS device_tokens (token_digest TEXT PRIMARY KEY, "
        "user_name TEXT NOT NULL, issued_ms BIGINT NOT NULL)");
    Run("CREATE INDEX IF NOT EXISTS device_tokens_user ON device_tokens (user_name)");
}

namespace {

// The device tokens an account keeps: a student's computers and browsers.
constexpr int kDeviceTokensPerAccount = 16;

QString TokenDigest(const std::string& token) {
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArray::fromStdString(token), QCryptographicHash::Sha256)
            .toHex());
}

} // namespace

void Database::RememberLoginAddress(const std::string& user, const std::string& address,
                                    long long nowMs) {
    Run("INSERT INTO login_addresses (user_name, address, last_ms) VALUES (?, ?, ?) "
        "ON CONFLICT (user_name, address) DO UPDATE SET last_ms = excluded.last_ms",
        {Text(user), Text(address), nowMs});
}

std::optional<long long> Database::LastLoginFrom(const std::string& user,
                                                 const std::string& address) {
    QSqlQuery query = Run("SELECT last_ms FROM login_addresses WHERE user_name = ? AND address = ?",
                          {Text(user), Text(address)});
    if (!query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

void Database::AddDeviceToken(const std::string& user, const std::string& token, long long nowMs) {
    Run("INSERT INTO device_tokens (token_digest, user_name, issued_ms) VALUES (?, ?, ?)",
        {TokenDigest(token), Text(user), nowMs});
    Run("DELETE FROM device_tokens WHERE user_name = ? AND token_digest NOT IN (SELECT "
        "token_digest FROM device_tokens WHERE user_name = ? ORDER BY issued_ms DESC, "
        "token_digest LIMIT ?)",
        {Text(user), Text(user), kDeviceTokensPerAccount});
}

bool Database::IsDeviceToken(const std::string& user, const std::string& token) {
    if (token.empty())
        return false;
    return Run("SELECT 1 FROM device_tokens WHERE token_digest = ? AND user_name = ?",
               {TokenDigest(token), Text(user)})
        .next();
}

// The pacing of failures only this process's memory holds comes first; then the
// database's. A database that cannot take the slot (it cannot write) leaves the memory's
// word.
long long Database::ReserveLogin(const std::vector<std::string>& keys, long long nowMs,
                                 const LoginPacing& pacing) {
    const long long remembered = MemoryLoginPacing::Instance().Reserve(keys, nowMs, pacing);
    if (remembered > 0)
        return remembered;
    try {
        return ReserveStoredLogin(keys, nowMs, pacing);
    } catch (const StoreError& error) {
        if (error.Unavailable())
            throw;
        return 0;
    }
}

long long Database::ReserveStoredLogin(const std::vector<std::string>& keys, long long nowMs,
                                       const LoginPacing& pacing) {
    for (int tries = 0; tries < kPacingRetries; ++tries) {
        // The keys that are paced now, with the slot each was last given.
        std::vector<std::pair<QString, long long>> paced;
        long long wait = 0;
        for (const std::string& key : keys) {
            QSqlQuery query = Run("SELECT window_start_ms, failures, next_ms FROM login_pacing "
                                  "WHERE pace_key = ?",
                                  {Text(key)});
            if (!query.next())
                continue;
            const long long windowStart = query.value(0).toLongLong();
            const int failures = query.value(1).toInt();
            const long long next = query.value(2).toLongLong();
            // A read left open would pin SQLite's snapshot and make the writes below fail.
            query.finish();
            if (windowStart <= nowMs - pacing.windowMs || failures < pacing.freeFailures)
                continue;
            // A slot never lies more than one delay ahead: one that does was given before
            // the wall clock was set back, and is taken as if given now.
            wait = std::max(wait, std::min(next, nowMs + pacing.delayMs) - nowMs);
            paced.emplace_back(Text(key), next);
        }
        if (wait > 0)
            return wait;
        // Every paced key gives its slot to this attempt, or the reservation starts over.
        bool taken = true;
        for (const auto& [key, next] : paced)
            taken = taken && Run("UPDATE login_pacing SET next_ms = ? WHERE pace_key = ? AND "
                                 "next_ms = ?",
                                 {nowMs + pacing.delayMs, key, next})
                                     .numRowsAffected() > 0;
        if (taken)
            return 0;
    }
    return pacing.delayMs;
}

// A failure the database cannot record (its disk full or read-only, or the database out
// of reach) is kept in memory, and paces there; the failure to record it is thrown still,
// for the log.
void Database::RecordLoginFailure(const std::vector<std::string>& keys, long long nowMs,
                                  const LoginPacing& pacing) {
    try {
        RecordStoredLoginFailure(keys, nowMs, pacing);
    } catch (const std::exception&) {
        MemoryLoginPacing::Instance().RecordFailure(keys, nowMs, pacing);
        throw;
    }
}

void Database::RecordStoredLoginFailure(const std::vector<std::string>& keys, long long nowMs,
                                        const LoginPacing& pacing) {
    const long long windowEnded = nowMs - pacing.windowMs;
    for (const std::string& key : keys) {
        // One statement counts the failure, so that two processes never lose one; a window
        // that has passed starts again with this failure.
        for (int tries = 0; tries < kPacingRetries; ++tries) {
            if (Run("UPDATE login_pacing SET "
                    "failures = CASE WHEN window_start_ms <= ? THEN 1 ELSE failures + 1 END, "
                    "window_start_ms = CASE WHEN window_start_ms <= ? THEN ? "
                    "ELSE window_start_ms END WHERE pace_key = ?",
                    {windowEnded, windowEnded, nowMs, Text(key)})
                    .numRowsAffected() > 0)
                break;
            if (Run("INSERT INTO login_pacing (pace_key, window_start_ms, failures, next_ms) "
                    "VALUES (?, ?, 1, 0) ON CONFLICT DO NOTHING",
                    {Text(key), nowMs})
                    .numRowsAffected() > 0)
                break;
        }
    }
    static std::atomic<int> recorded{0};
    if (++recorded % kSweepEvery == 0)
        Run("DELETE FROM login_pacing WHERE window_start_ms <= ? AND next_ms <= ?",
            {windowEnded, nowMs});
}

void Database::Heartbeat(const std::string& process, long long nowMs, long long leaseMs) {
    if (Run("UPDATE server_processes SET heartbeat_ms = ? WHERE process_id = ?",
            {nowMs, Text(process)})
            .numRowsAffected() == 0)
        Run("INSERT INTO server_processes (process_id, heartbeat_ms) VALUES (?, ?) "
            "ON CONFLICT DO NOTHING",
            {Text(process), nowMs});
    // A process that stopped beating (killed, or its machine gone) took its connections
    // with it.
    Run("DELETE FROM account_sessions WHERE process_id IN (SELECT process_id FROM "
        "server_processes WHERE heartbeat_ms < ?)",
        {nowMs - leaseMs});
    Run("DELETE FROM server_processes WHERE heartbeat_ms < ?", {nowMs - leaseMs});
}

void Database::OpenSession(const std::string& process, long long connection,
                           const std::string& user, long long nowMs, long long leaseMs, int limit) {
    CloseSession(process, connection); // a connection that logs in again
    Run("INSERT INTO account_sessions (process_id, connection_number, user_name, opened_ms) "
        "VALUES (?, ?, ?, ?)",
        {Text(process), connection, Text(user), nowMs});
    QSqlQuery live = Run(
        "SELECT s.process_id, s.connection_number FROM account_sessions s JOIN server_processes p "
        "ON p.process_id = s.process_id WHERE s.user_name = ? AND s.closing = 0 AND "
        "p.heartbeat_ms >= ? ORDER BY s.opened_ms DESC, s.connection_number DESC",
        {Text(user), nowMs - leaseMs});
    std::vector<std::pair<QString, long long>> beyond;
    for (int kept = 0; live.next();)
        if (++kept > limit)
            beyond.emplace_back(live.value(0).toString(), live.value(1).toLongLong());
    live.finish();
    for (const auto& [owner, number] : beyond)
        Run("UPDATE account_sessions SET closing = 1 WHERE process_id = ? AND connection_number = "
            "?",
            {owner, number});
}

void Database::CloseSession(const std::string& process, long long connection) {
    Run("DELETE FROM account_sessions WHERE process_id = ? AND connection_number = ?",
        {Text(process), connection});
}

std::vector<long long> Database::SessionsToClose(const std::string& process) {
    QSqlQuery query =
        Run("SELECT connection_number FROM account_sessions WHERE process_id = ? AND closing = 1",
            {Text(process)});
    std::vector<long long> numbers;
    while (query.next())
        numbers.push_back(query.value(0).toLongLong());
    return numbers;
}

void Database::EndProcess(const std::string& process) {
    Run("DELETE FROM account_sessions WHERE process_id = ?", {Text(process)});
    Run("DELETE FROM server_processes WHERE process_id = ?", {Text(process)});
}

std::vector<long long> Database::UpdateSessions(const std::string& process,
                                                const std::vector<SessionChange>& changes,
                                                long long nowMs, long long leaseMs, int limit) {
    EnsureOpen();
    QSqlDatabase database = QSqlDatabase::database(connection_, false);
    const bool together = database.transaction();
    try {
        Heartbeat(process, nowMs, leaseMs);
        for (const SessionChange& change : changes)
            if (change.user.empty())
                CloseSession(process, change.connection);
            else
                OpenSession(process, change.connection, change.user, change.atMs, leaseMs, limit);
        std::vector<long long> closing = SessionsToClose(process);
        if (together && !database.commit())
            throw StoreError(StoreError::Kind::Failed,
                             "cannot commit the sessions: " +
                                 database.lastError().text().toStdString());
        return closing;
    } catch (...) {
        if (together)
            database.rollback();
        throw;
    }
}
