#pragma once

#include <QObject>
#include <QThreadPool>

#include <functional>
#include <string>

class Database;

// The threads that do the server's blocking work away from the event loop, so that a
// slow judgement, a frozen disk or a held database lock stalls only the client waiting
// for it. Store threads each have their own database connection (a Qt SQL connection
// belongs to the thread that made it), opened on first use and reopened after a loss;
// judge threads compute; password checks run on threads of their own, one per core, so
// that a storm of logins keeps every core on checks and nothing else waits behind them.
// A job returns what is to be done with its result on the event loop's thread, where it
// is then run.
class ServerWorkers : public QObject {
public:
    using Continuation = std::function<void()>;

    ServerWorkers(std::string databaseLocation, std::string databasePassword, int storeThreads = 4);
    ~ServerWorkers() override;

    void RunStore(std::function<Continuation(Database&)> job);
    // Whether writes on several store threads go on together (PostgreSQL), rather than
    // one after another behind one writer's lock (an SQLite file).
    bool ConcurrentWrites() const;
    // A short read that someone waits for (a login's account): on store threads of its
    // own, so that it never queues behind writes waiting for the disk or a lock.
    void RunLookup(std::function<Continuation(Database&)> job);
    // `started` runs on the event loop's thread when a judge thread takes the job.
    void RunJudge(std::function<Continuation()> job, Continuation started = {});
    // A password check; may be started from any thread.
    void RunCheck(std::function<Continuation()> job);

private:
    Database& ThreadDatabase();
    void RunWithDatabase(QThreadPool& pool, std::function<Continuation(Database&)> job);
    void Post(Continuation continuation);

    std::string location_;
    std::string password_;
    QThreadPool storePool_;
    QThreadPool lookupPool_;
    QThreadPool judgePool_;
    QThreadPool checkPool_;
};
