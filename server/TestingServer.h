#pragma once

#include "LoginThrottle.h"
#include "TaskBank.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <map>

class Database;
class QTcpSocket;

struct ServerLimits {
    int connectionsPerAddress = 32;
    int idleMs = 30 * 60 * 1000;
    qint64 unsentReplyBytes = 8 << 20; // a client that reads nothing is dropped past this
};

// The reference testing server on the network: accepts clients, gives each a session
// over the task bank with accounts and submissions in the database, and keeps the
// limits: connections per address, idle time, unread replies, paced login attempts.
// Every connection, login and submission is logged on stderr.
class TestingServer : public QObject {
public:
    TestingServer(const TaskBank& bank, Database& database, ServerLimits limits = {});

    bool Listen(const QHostAddress& address, quint16 port);
    QString ErrorString() const { return server_.errorString(); }
    quint16 Port() const { return server_.serverPort(); }

    // One line on stderr, stamped with the UTC time.
    static void Log(const QString& line);

private:
    friend class ClientConnection;
    void Accept(QTcpSocket* socket);
    void Release(const QString& address);

    const TaskBank& bank_;
    Database& database_;
    ServerLimits limits_;
    QTcpServer server_;
    std::map<QString, int> connections_; // open connections per address
    LoginThrottle throttle_;
    QElapsedTimer clock_;
};
