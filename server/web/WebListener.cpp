#include "web/WebListener.h"

#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

namespace {

const char* const kRequestBytes = "vektaRequestBytes";
const char* const kRefused = "vektaRefused";
const char* const kDeadline = "requestDeadline";
// A connection without a request is closed after this long; a request that has begun must
// arrive whole within the shorter time, however slowly its bytes drip.
constexpr int kIdleMs = 2 * 60 * 1000;
constexpr int kRequestMs = 20 * 1000;

// Runs before the HTTP module's own reading, as it is connected first.
void GuardRequestSize(QTcpSocket* socket) {
    auto* deadline = new QTimer(socket);
    deadline->setObjectName(kDeadline);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, socket, [socket] { socket->abort(); });
    deadline->start(kIdleMs);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, deadline] {
        if (socket->property(kRefused).toBool()) {
            socket->readAll();
            return;
        }
        const qint64 before = socket->property(kRequestBytes).toLongLong();
        if (before == 0)
            deadline->start(kRequestMs);
        const qint64 bytes = before + socket->bytesAvailable();
        socket->setProperty(kRequestBytes, bytes);
        if (bytes <= kMaxRequestBytes)
            return;
        socket->setProperty(kRefused, true);
        socket->readAll();
        static const QByteArray body = "Запрос больше 64 КБ\n";
        socket->write("HTTP/1.1 413 Payload Too Large\r\n"
                      "Content-Type: text/plain; charset=utf-8\r\n"
                      "Content-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    });
}

} // namespace

void RestartRequestCount(QTcpSocket* socket) {
    socket->setProperty(kRequestBytes, 0);
    if (auto* deadline = socket->findChild<QTimer*>(kDeadline))
        deadline->start(kIdleMs);
}

void WebListener::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    GuardRequestSize(socket);
    addPendingConnection(socket);
}

SecureWebListener::SecureWebListener(const QSslConfiguration& configuration) {
    setSslConfiguration(configuration);
    connect(this, &QSslServer::startedEncryptionHandshake, this,
            [](QSslSocket* socket) { GuardRequestSize(socket); });
}
