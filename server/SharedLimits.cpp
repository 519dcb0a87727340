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

void SharedLimits::Run(std::function<void(Database&)> job) {
    workers_.RunStore([job = std::move(job)](Database& database) {
        try {
            job(database);
        } catch (const std::exception& error) {
            static std::atomic<long long> lastLogged{0};
            const long long now = NowMs();
            if (now - lastLogged.exchange(now) >= 1000)
                TestingServer::Log("cannot keep the limits shared with other server processes: " +
                                   QString::fromUtf8(error.what()));
        }
        return ServerWorkers::Continuation();
    });
}

void SharedLimits::RecordLoginFailure(const QString& address, const std::string& utf8User) {
    Run([keys = LoginKeys(address, utf8User)](Database& database) {
        database.RecordLoginFailure(keys, NowMs(), Pacing);
    });
}

void SharedLimits::LoggedIn(long long connection, const std::string& utf8User) {
    Run([process = process_, connection, utf8User,
         limit = connectionsPerAccount_](Database& database) {
        database.OpenSession(process, connection, utf8User, NowMs(), LeaseMs, limit);
    });
}

void SharedLimits::LoggedOut(long long connection) {
    Run([process = process_, connection](Database& database) {
        database.CloseSession(process, connection);
    });
}

// The heartbeat, and the connections a newer login in another process wants closed.
void SharedLimits::Beat() {
    workers_.RunStore([self = QPointer(this), process = process_](Database& database) {
        std::vector<long long> closing;
        try {
            database.Heartbeat(process, NowMs(), LeaseMs);
            closing = database.SessionsToClose(process);
        } catch (const std::exception&) {
            return ServerWorkers::Continuation(); // the next beat tries again
        }
        if (closing.empty())
            return ServerWorkers::Continuation();
        return ServerWorkers::Continuation([self, closing] {
            if (self.isNull())
                return;
            for (long long connection : closing)
                self->close_(connection);
        });
    });
}
