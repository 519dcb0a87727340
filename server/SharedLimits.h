#pragma once

#include "Database.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
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

    // The pacing keys of a login attempt from `address` naming `utf8User`: both are paced.
    static std::vector<std::string> LoginKeys(const QString& address, const std::string& utf8User);
    static long long NowMs();

    // `counted` runs on the event loop's thread once the failure is written (or could not
    // be: that is logged).
    void RecordLoginFailure(const QString& address, const std::string& utf8User,
                            std::function<void()> counted = {});
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
