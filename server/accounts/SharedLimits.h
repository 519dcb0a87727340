#pragma once

#include "storage/Database.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class ServerWorkers;

// The limits that hold over every server process on one database: login pacing by the
// student's address and by the account named, and an account's number of connections.
// This process beats its heartbeat into the database every few seconds, and closes its
// connections that a newer login elsewhere marked to be closed. Database work runs on the
// store threads; a failure there is logged, never fatal: the limits within this process
// still hold meanwhile.
class SharedLimits : public QObject {
public:
    // Logins and logouts are written to the database together once a beat, in one commit,
    // so that a storm of logins costs no storm of disk syncs.
    static constexpr int HeartbeatMs = 1'000;
    // A process whose heartbeat is older than this is taken to have ended.
    static constexpr long long LeaseMs = 15'000;
    static inline const Database::LoginPacing Pacing{};

    // `close` closes this process's connection of that number.
    SharedLimits(ServerWorkers& workers, int connectionsPerAccount,
                 std::function<void(long long)> close);
    ~SharedLimits() override;

    // An address where an account logged in within this long is the owner's own.
    static constexpr long long KnownAddressMs = 30LL * 24 * 60 * 60 * 1000;

    // How one login attempt is paced. The owner is not slowed by others' guesses: an
    // attempt with one of the account's device tokens is paced by that token alone, and one
    // from an address where the account logged in lately by the account at that address
    // alone. Any other attempt is paced by the address and by the account, as guessing is.
    struct LoginPace {
        std::vector<std::string> keys; // asked before the password is checked
        bool byToken = false;          // the attempt presented a device token of the account
        bool trusted = false;          // by token or from a known address
        std::optional<long long> addressSeenMs; // the account's last login from the address
        // The keys a refusal is counted under: the trusted key; else the account, and the
        // address only when the account exists, so that wrong names typed behind one
        // address (a lab behind NAT) do not slow the correct logins from it.
        std::vector<std::string> FailureKeys(bool accountExists) const;
    };
    // On a store or lookup thread.
    static LoginPace PaceOf(Database& database, const QString& address, const std::string& utf8User,
                            const std::string& deviceToken);
    // Whether an accepted login has anything to write: an address not remembered within
    // the last day (so that a storm of logins costs no storm of disk syncs), or a token to
    // give a client that takes them and presented none of the account's.
    static bool LoginToRemember(const LoginPace& pace, bool wantsToken);
    // After an accepted login (on a store thread): the address is remembered, and when the
    // client takes device tokens and presented none of the account's, a new one is kept
    // and returned (else "").
    static std::string LoginAccepted(Database& database, const QString& address,
                                     const std::string& utf8User, const LoginPace& pace,
                                     bool wantsToken);
    static long long NowMs();

    // `counted` runs on the event loop's thread once the failure is written (or could not
    // be: that is logged).
    void RecordLoginFailure(std::vector<std::string> keys, std::function<void()> counted = {});
    void LoggedIn(long long connection, const std::string& utf8User);
    void LoggedOut(long long connection);

private:
    void Beat();
    // Runs a database job on a store thread; its failure is logged at most once a while.
    // `after` runs on the event loop's thread when the job is over.
    void Run(std::function<void(Database&)> job, std::function<void()> after = {});

    ServerWorkers& workers_;
    int connectionsPerAccount_;
    std::function<void(long long)> close_;
    std::string process_;                          // this process's id in the database
    std::vector<Database::SessionChange> changes_; // since the last beat
    bool beating_ = false;                         // a beat's commit is under way
    QTimer heartbeat_;
};
