#pragma once

#include <QElapsedTimer>
#include <QSslConfiguration>
#include <QSslServer>
#include <QString>
#include <QTcpServer>

#include <map>
#include <memory>
#include <optional>

#include "net/ConnectionBudget.h"

// The web port's listeners. Each connection's received bytes are counted from the end of
// one request to the next before the HTTP module reads them (it keeps a whole request in
// memory and sets no limit): past MaxRequestBytes the request is answered 413 and the
// connection closed, and nothing more of it is read. A connection is closed when a request
// does not arrive whole within 20 s of its first byte, or when none comes for the idle
// time.
inline constexpr qint64 kMaxRequestBytes = 64 * 1024;

// Counts the web port's open connections per address and in all, within the descriptors
// it shares with the testing port (when given). Refusals at each of the two caps are logged
// at most once a second.
class WebConnections {
public:
    WebConnections(WebLimits limits, ConnectionBudget* budget);
    // Whether a connection from the address may open; it is counted when so.
    bool Take(const QString& address);
    void Release(const QString& address);
    int IdleMs() const { return limits_.idleMs; }

private:
    void Refuse(int cap, const QString& line);

    WebLimits limits_;
    ConnectionBudget* budget_;
    std::map<QString, int> perAddress_;
    int open_ = 0;
    QElapsedTimer clock_;
    std::optional<qint64> lastLogged_[2]; // per cap: the address's, and the total
};

// Starts the count of a new request on the connection.
void RestartRequestCount(QTcpSocket* socket);

// Plain HTTP.
class WebListener : public QTcpServer {
public:
    explicit WebListener(std::shared_ptr<WebConnections> connections)
        : connections_(std::move(connections)) {}

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    // Shared with each socket, which gives its place back when it goes, perhaps after
    // the listener.
    std::shared_ptr<WebConnections> connections_;
};

// HTTPS: the connection is taken once its TLS handshake is done.
class SecureWebListener : public QSslServer {
public:
    SecureWebListener(const QSslConfiguration& configuration,
                      std::shared_ptr<WebConnections> connections);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    // Shared with each socket, which gives its place back when it goes, perhaps after
    // the listener.
    std::shared_ptr<WebConnections> connections_;
};
