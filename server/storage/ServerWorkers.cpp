#include "storage/ServerWorkers.h"

#include "log/ServerLog.h"
#include "storage/Database.h"

#include <QThread>

#include <memory>

namespace {
// A store thread's own connection; it is closed when the thread ends with its pool.
thread_local std::unique_ptr<Database> threadDatabase;
} // namespace

ServerWorkers::ServerWorkers(std::string databaseLocation, std::string databasePassword,
                             int storeThreads)
    : location_(std::move(databaseLocation)), password_(std::move(databasePassword)) {
    storePool_.setMaxThreadCount(storeThreads);
    // A store thread keeps its connection for the life of the server.
    storePool_.setExpiryTimeout(-1);
    lookupPool_.setMaxThreadCount(2);
    lookupPool_.setExpiryTimeout(-1);
    judgePool_.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
    // A check is pure computation: more threads than cores would only make every check
    // of a storm finish later. They are kept, so no check waits for a thread to start.
    checkPool_.setMaxThreadCount(QThread::idealThreadCount());
    checkPool_.setExpiryTimeout(-1);
}

ServerWorkers::~ServerWorkers() {
    storePool_.waitForDone();
    lookupPool_.waitForDone();
    judgePool_.waitForDone();
    checkPool_.waitForDone();
}

Database& ServerWorkers::ThreadDatabase() {
    if (!threadDatabase)
        threadDatabase = std::make_unique<Database>(location_, password_, true);
    return *threadDatabase;
}

void ServerWorkers::Post(Continuation continuation) {
    if (continuation)
        QMetaObject::invokeMethod(this, std::move(continuation), Qt::QueuedConnection);
}

void ServerWorkers::RunStore(std::function<Continuation(Database&)> job) {
    RunWithDatabase(storePool_, std::move(job));
}

bool ServerWorkers::ConcurrentWrites() const {
    return IsPostgresLocation(location_);
}

void ServerWorkers::RunLookup(std::function<Continuation(Database&)> job) {
    RunWithDatabase(lookupPool_, std::move(job));
}

void ServerWorkers::RunWithDatabase(QThreadPool& pool, std::function<Continuation(Database&)> job) {
    pool.start([this, job = std::move(job)] {
        Database& database = ThreadDatabase();
        Continuation continuation = job(database);
        if (const std::optional<std::string> change = database.TakeStateChange())
            ServerLog("database " + QString::fromStdString(*change));
        Post(std::move(continuation));
    });
}

void ServerWorkers::RunJudge(std::function<Continuation()> job, Continuation started) {
    judgePool_.start([this, job = std::move(job), started = std::move(started)]() mutable {
        Post(std::move(started));
        Post(job());
    });
}

void ServerWorkers::RunCheck(std::function<Continuation()> job) {
    checkPool_.start([this, job = std::move(job)] { Post(job()); });
}
