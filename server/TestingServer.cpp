#include "TestingServer.h"

#include "Database.h"
#include "Password.h"
#include "PasswordUpgrade.h"
#include "ServerSession.h"
#include "platform/Cp1251.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPointer>
#include <QTcpSocket>
#include <QThreadPool>
#include <QTimer>

#include <iostream>

namespace {
constexpr qint64 kReadChunk = 64 * 1024;
using platform::Cp1251ToUtf8;
} // namespace

// One client: its socket, its session, and the host side the session asks for accounts,
// storage, login pacing and logging.
class Connection : public QObject, public SessionHost {
public:
    Connection(TestingServer& server, QTcpSocket* socket)
        : QObject(socket), server_(server), socket_(socket),
          peer_(socket->peerAddress().toString()),
          label_(peer_ + " " + QString::number(socket->peerPort())), session_(server.bank_, *this) {
        socket_->setReadBufferSize(kReadChunk);
        idle_.setSingleShot(true);
        loginWait_.setSingleShot(true);
        connect(&idle_, &QTimer::timeout, this, [this] {
            Note("idle for too long, closed");
            socket_->abort();
        });
        connect(&loginWait_, &QTimer::timeout, this, [this] { Resume(); });
        connect(socket_, &QTcpSocket::readyRead, this, [this] { Read(); });
        connect(socket_, &QTcpSocket::disconnected, this, [this] {
            Note("disconnected");
            server_.Release(peer_);
            socket_->deleteLater();
        });
        idle_.start(server_.limits_.idleMs);
        Note("connected");
    }

    std::optional<bool> CheckLogin(const std::string& user, const std::string& password) override {
        const std::string attempt = user + ";" + password;
        if (decided_ && decided_->first == attempt) {
            const bool accepted = decided_->second;
            decided_.reset();
            if (!accepted)
                server_.throttle_.RecordFailure(peer_.toStdString(), server_.clock_.elapsed());
            return accepted;
        }
        if (checking_)
            return std::nullopt;
        const long long wait =
            server_.throttle_.ReserveAttempt(peer_.toStdString(), server_.clock_.elapsed());
        if (wait > 0) {
            if (!loginWait_.isActive())
                loginWait_.start(static_cast<int>(wait));
            return std::nullopt;
        }
        try {
            StartCheck(attempt, user, password, server_.database_.PasswordHash(Cp1251ToUtf8(user)));
        } catch (const std::exception& error) {
            Note(QString("cannot read the accounts: ") + error.what());
            return false;
        }
        return std::nullopt;
    }

    bool StoreSubmission(const SubmissionRecord& record) override {
        try {
            server_.database_.StoreSubmission(record);
            return true;
        } catch (const std::exception& error) {
            Note(QString("cannot store a submission: ") + error.what());
            return false;
        }
    }

    void Log(const std::string& utf8Line) override { Note(QString::fromStdString(utf8Line)); }

private:
    void Note(const QString& line) { TestingServer::Log(label_ + ": " + line); }

    // The hash is computed on a worker thread, so that other clients are served
    // meanwhile; the verdict comes back to this thread and the session goes on. A hash of
    // an older, weaker kind is replaced by today's after the password matched it.
    void StartCheck(const std::string& attempt, const std::string& user,
                    const std::string& password, const std::optional<std::string>& hash) {
        // An unknown name costs the same work as a wrong password.
        static const std::string unknown = password::Hash("");
        checking_ = true;
        QPointer<Connection> self(this);
        QThreadPool::globalInstance()->start([self, attempt, user, password, hash] {
            const password::Check check = password::CheckLogin(password, hash.value_or(unknown));
            const bool accepted = check.accepted && hash;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, attempt, user, hash, accepted, upgraded = check.upgradedHash] {
                    if (self.isNull())
                        return;
                    if (accepted)
                        StoreUpgradedHash(self->server_.database_, user, *hash, upgraded);
                    self->checking_ = false;
                    self->decided_ = {attempt, accepted};
                    self->Resume();
                },
                Qt::QueuedConnection);
        });
    }

    // The frames held back behind a decided login are answered, then what the client sent
    // meanwhile is read.
    void Resume() {
        Answer(session_.Continue());
        Read();
    }

    // While a login waits for its decision nothing more is read: the client's further
    // bytes stay in the network's buffers instead of piling up here.
    void Read() {
        idle_.start(server_.limits_.idleMs);
        while (socket_->bytesAvailable() > 0 && !session_.Broken() && !session_.LoginPending()) {
            const QByteArray bytes = socket_->read(kReadChunk);
            Answer(session_.Receive(std::string_view(bytes.constData(), bytes.size())));
        }
    }

    void Answer(const std::string& reply) {
        socket_->write(reply.data(), static_cast<qint64>(reply.size()));
        if (session_.Broken()) {
            Note("unreadable or oversized frame, closed");
            socket_->disconnectFromHost();
        } else if (socket_->bytesToWrite() > server_.limits_.unsentReplyBytes) {
            Note("replies not read, closed");
            socket_->abort();
        }
    }

    TestingServer& server_;
    QTcpSocket* socket_;
    QString peer_;  // the client's address
    QString label_; // address and port, for the log
    ServerSession session_;
    QTimer idle_;
    QTimer loginWait_; // paced login attempts wait here
    bool checking_ = false;
    std::optional<std::pair<std::string, bool>> decided_; // attempt ("user;password"), verdict
};

TestingServer::TestingServer(const TaskBank& bank, Database& database, ServerLimits limits)
    : bank_(bank), database_(database), limits_(limits) {
    clock_.start();
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection())
            Accept(socket);
    });
}

bool TestingServer::Listen(const QHostAddress& address, quint16 port) {
    server_.setMaxPendingConnections(256);
    return server_.listen(address, port);
}

void TestingServer::Log(const QString& line) {
    std::cerr << QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString() << " "
              << line.toStdString() << std::endl;
}

void TestingServer::Accept(QTcpSocket* socket) {
    const QString address = socket->peerAddress().toString();
    int& count = connections_[address];
    if (count >= limits_.connectionsPerAddress) {
        Log(address + ": refused, " + QString::number(count) + " connections open already");
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++count;
    new Connection(*this, socket);
}

void TestingServer::Release(const QString& address) {
    const auto found = connections_.find(address);
    if (found != connections_.end() && --found->second <= 0)
        connections_.erase(found);
}
