#pragma once

#include <QSslConfiguration>
#include <QSslServer>
#include <QTcpServer>

#include <optional>

// The web port's listeners. Each connection's received bytes are counted from the end of
// one request to the next before the HTTP module reads them (it keeps a whole request in
// memory and sets no limit): past MaxRequestBytes the request is answered 413 and the
// connection closed, and nothing more of it is read. A connection is closed when a request
// does not arrive whole within 20 s of its first byte, or when none comes for 2 minutes.
inline constexpr qint64 kMaxRequestBytes = 64 * 1024;

// Starts the count of a new request on the connection.
void RestartRequestCount(QTcpSocket* socket);

// Plain HTTP.
class WebListener : public QTcpServer {
protected:
    void incomingConnection(qintptr descriptor) override;
};

// HTTPS: the connection is taken once its TLS handshake is done.
class SecureWebListener : public QSslServer {
public:
    explicit SecureWebListener(const QSslConfiguration& configuration);
};
