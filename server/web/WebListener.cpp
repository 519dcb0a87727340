#include "web/WebListener.h"

#include "net/ConnectionBudget.h"
#include "net/PeerAddress.h"
#include "net/TestingServer.h"

#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

namespace {

const char* const kRequestBytes = "vektaRequestBytes";
const char* const kRefused = "vektaRefused";
const char* const kDeadline = "requestDeadline";
const char* const kIdleMs = "vektaIdleMs";
const char* const kCounted = "vektaCounted";
// A request that has begun must arrive whole within this time, however slowly its bytes
// drip; a connection without a request is closed after the idle time.
constexpr int kRequestMs = 20 * 1000;

// The connection's address is counted until the socket goes, however it goes.
void CountUntilGone(QTcpSocket* socket, const std::shared_ptr<WebConnections>& connections,
                    const QString& address) {
    QObject::connect(socket, &QObject::destroyed,
                     [connections, address] { connections->Release(address); });
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
}

// Runs before the HTTP module's own reading, as it is connected first.
void GuardRequestSize(QTcpSocket* socket, int idleMs) {
    auto* deadline = new QTimer(socket);
    deadline->setObjectName(kDeadline);
    deadline->setProperty(kIdleMs, idleMs);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, socket, [socket] { socket->abort(); });
    deadline->start(idleMs);
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

WebConnections::WebConnections(WebLimits limits, ConnectionBudget* budget)
    : limits_(limits), budget_(budget) {
    clock_.start();
}

bool WebConnections::Take(const QString& address) {
    int& count = perAddress_[address];
    if (count >= limits_.perAddress) {
        Refuse(0, "web: " + address + ": refused, " + QString::number(count) +
                      " connections open already");
        return false;
    }
    if (open_ >= limits_.total || (budget_ != nullptr && !budget_->TakeWeb())) {
        if (count == 0)
            perAddress_.erase(address);
        Refuse(
            1,
            QString("web: refused a connection: %1 open, the most the web pages take").arg(open_));
        return false;
    }
    ++count;
    ++open_;
    return true;
}

void WebConnections::Release(const QString& address) {
    const auto found = perAddress_.find(address);
    if (found == perAddress_.end())
        return;
    if (--found->second <= 0)
        perAddress_.erase(found);
    --open_;
    if (budget_ != nullptr)
        budget_->ReleaseWeb();
}

void WebConnections::Refuse(int cap, const QString& line) {
    const qint64 now = clock_.elapsed();
    std::optional<qint64>& last = lastLogged_[cap];
    if (last && now - *last < 1000)
        return;
    last = now;
    TestingServer::Log(line);
}

void RestartRequestCount(QTcpSocket* socket) {
    socket->setProperty(kRequestBytes, 0);
    if (auto* deadline = socket->findChild<QTimer*>(kDeadline))
        deadline->start(deadline->property(kIdleMs).toInt());
}

void WebListener::incomingConnection(qintptr descriptor) {
    const QString address = PeerAddressOf(descriptor).toString();
    if (!connections_->Take(address)) {
        ::close(static_cast<int>(descriptor));
        return;
    }
    auto* socket = new QTcpSocket(this);
    CountUntilGone(socket, connections_, address);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(static_cast<int>(descriptor));
        delete socket;
        return;
    }
    GuardRequestSize(socket, connections_->IdleMs());
    addPendingConnection(socket);
}

SecureWebListener::SecureWebListener(const QSslConfiguration& configuration,
                                     std::shared_ptr<WebConnections> connections)
    : connections_(std::move(connections)) {
    setSslConfiguration(configuration);
    connect(this, &QSslServer::startedEncryptionHandshake, this,
            [this](QSslSocket* socket) { GuardRequestSize(socket, connections_->IdleMs()); });
}

// The TLS listener makes the socket itself, as its own child on the descriptor; it is
// counted from then on. No such child: the descriptor could not be taken.
void SecureWebListener::incomingConnection(qintptr descriptor) {
    const QString address = PeerAddressOf(descriptor).toString();
    if (!connections_->Take(address)) {
        ::close(static_cast<int>(descriptor));
        return;
    }
    QSslServer::incomingConnection(descriptor);
    for (QSslSocket* socket : findChildren<QSslSocket*>(Qt::FindDirectChildrenOnly)) {
        if (socket->socketDescriptor() == descriptor && !socket->property(kCounted).toBool()) {
            socket->setProperty(kCounted, true);
            CountUntilGone(socket, connections_, address);
            return;
        }
    }
    connections_->Release(address);
}
