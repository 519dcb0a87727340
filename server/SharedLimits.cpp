#include "SharedLimits.h"

#include "ServerWorkers.h"
#include "TestingServer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHostInfo>
#include <QPointer>
#include <QRandomGenerator>

#include <atomic>

SharedLimits::SharedLimits(ServerWorkers& workers, int connectionsPerAccount,
                           std::function<void(long long)> close)
    : workers_(workers), connectionsPerAccount_(connectionsPerAccount), close_(std::move(close)) {
    // Unique among processes on other machines and after a restart with the same pid.
    process_ = QStringLiteral("%1/%2/%3")
                   .arg(QHostInfo::localHostName())
                   .arg(QCoreApplication::applicationPid())
                   .arg(QRandomGenerator::global()->generate64(), 16, 16, QChar('0'))
                   .toStdString();
    connect(&heartbeat_, &QTimer::timeout, this, [this] { Beat(); });
    heartbeat_.start(HeartbeatMs);
    Beat();
}

SharedLimits::~SharedLimits() {
    Run([process = process_](Database& database) { database.EndProcess(process); });
}

std::vector<std::string> SharedLimits::LoginKeys(const QString& address,
                                                 const std::string& utf8User) {
    return {"address " + address.toStdString(), "account " + utf8User};
}

long long SharedLimits::NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

void SharedLimits::Run(std::function<void(Database&)> job, std::function<void()> after) {
    workers_.RunStore([job = std::move(job), after = std::move(after)](Database& database) {
        try {
            job(database);
        } catch (const std::exception& error) {
            static std::atomic<long long> lastLogged{0};
            const long long now = NowMs();
            if (now - lastLogged.exchange(now) >= 1000)
                TestingServer::Log("cannot keep the limits shared with other server processes: " +
                                   QString::fromUtf8(error.what()));
        }
        return ServerWorkers::Continuation(after);
    });
}

void SharedLimits::RecordLoginFailure(const QString& address, const std::string& utf8User,
                                      std::function<void()> counted) {
    Run([keys = LoginKeys(address, utf8User)](
            Database& database) { database.RecordLoginFailure(keys, NowMs(), Pacing); },
        std::move(counted));
}

void SharedLimits::LoggedIn(long long connection, const std::string& utf8User) {
    changes_.push_back({connection, utf8User, NowMs()});
}

void SharedLimits::LoggedOut(long long connection) {
    changes_.push_back({connection, {}, NowMs()});
}

// The heartbeat with the logins and logouts since the last one, and the connections a
// newer login in another process wants closed. One beat at a time: a slow disk delays the
// next, it does not pile them up.
void SharedLimits::Beat() {
    if (beating_)
        return;
    beating_ = true;
    std::vector<Database::SessionChange> changes;
    changes.swap(changes_);
    workers_.RunStore([self = QPointer(this), process = process_, changes = std::move(changes),
                       limit = connectionsPerAccount_](Database& database) {
        std::vector<long long> closing;
        QString failure;
        try {
            closing = database.UpdateSessions(process, changes, NowMs(), LeaseMs, limit);
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
        return ServerWorkers::Continuation([self, closing, failure] {
            if (self.isNull())
                return;
            self->beating_ = false;
            if (!failure.isEmpty())
                TestingServer::Log("cannot keep the sessions shared with other server "
                                   "processes: " +
                                   failure);
            for (long long connection : closing)
                self->close_(connection);
        });
    });
}
