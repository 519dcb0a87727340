#include "app/ServerLink.h"

#include "platform/ErrorReport.h"
#include "platform/QtText.h"

#include <QScopeGuard>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#include <algorithm>
#include <cerrno>

namespace {

// Socket errors carry the system error code, as the socket layer reports them.
int SystemErrorCode(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return ECONNREFUSED;
    case QAbstractSocket::HostNotFoundError:
        return EHOSTUNREACH;
    case QAbstractSocket::SocketTimeoutError:
        return ETIMEDOUT;
    case QAbstractSocket::NetworkError:
        return ENETUNREACH;
    case QAbstractSocket::SocketAccessError:
        return EACCES;
    case QAbstractSocket::SocketResourceError:
        return ENOBUFS;
    default:
        return EIO;
    }
}

ConnectionState::Failure FailureOf(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return ConnectionState::Failure::Refused;
    case QAbstractSocket::HostNotFoundError:
        return ConnectionState::Failure::HostNotFound;
    case QAbstractSocket::SocketTimeoutError:
        return ConnectionState::Failure::TimedOut;
    case QAbstractSocket::NetworkError:
        return ConnectionState::Failure::NetworkDown;
    default:
        return ConnectionState::Failure::Other;
    }
}

// Qt reads from the socket ahead of the client only this far, so one read event never
// brings more than this many bytes, however fast the server sends.
constexpr qint64 kSocketReadAhead = 1024 * 1024;

// Reports an error once the current event handler has returned, so that the report's
// modal dialog never runs inside the socket's own signal emission.
void ReportLater(QObject* context, const std::string& cp1251Message) {
    QTimer::singleShot(0, context, [cp1251Message] { platform::ReportError(cp1251Message); });
}

} // namespace

ServerLink::ServerLink(QObject* parent) : QObject(parent) {}

ServerLink::~ServerLink() {
    // The socket outlives this part of the object: its last events must not reach it.
    if (socket_ != nullptr)
        socket_->disconnect(this);
}

// The socket is made at the first connection: making one loads the TLS library, which
// would otherwise cost every start of the client, connected or not.
QSslSocket& ServerLink::Socket() {
    if (socket_ != nullptr)
        return *socket_;
    socket_ = new QSslSocket(this);
    socket_->setObjectName("serverSocket");
    socket_->setReadBufferSize(kSocketReadAhead);
    connect(socket_, &QTcpSocket::connected, this, &ServerLink::TcpConnected);
    connect(socket_, &QSslSocket::encrypted, this, &ServerLink::Connected);
    connect(socket_, &QSslSocket::sslErrors, this, &ServerLink::CertificateFailed);
    connect(socket_, &QTcpSocket::disconnected, this, &ServerLink::Disconnected);
    connect(socket_, &QTcpSocket::readyRead, this, &ServerLink::ReadSocket);
    connect(socket_, &QTcpSocket::errorOccurred, this, &ServerLink::SocketError);
    return *socket_;
}

void ServerLink::CloseOnPurpose() {
    state_.CloseOnPurpose();
    if (socket_ != nullptr)
        socket_->abort();
    connected_ = false;
    emit stateChanged();
}

void ServerLink::ConnectTo(const ServerAddress& address) {
    receiver_.ResetStream();
    receiver_.MessageQueue().clear();
    serverOffered_ = false;
    serverFeatures_ = {};
    closingText_.clear();
    serverText_ = address.Text();
    loginUser_.clear();
    closingReason_.clear();
    state_.StartConnecting(address.HostPort(), address.tls);
    emit stateChanged();
    encrypted_ = address.tls;
    certificateReasons_.clear();
    if (!encrypted_) {
        Socket().connectToHost(platform::ToQString(address.host), address.port);
        return;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    if (!authorities_.isEmpty())
        configuration.setCaCertificates(authorities_);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    Socket().setSslConfiguration(configuration);
    socket_->connectToHostEncrypted(platform::ToQString(address.host), address.port);
}

void ServerLink::Send(const std::string& frame) {
    if (!connected_ || socket_ == nullptr || socket_->state() != QAbstractSocket::ConnectedState)
        return;
    socket_->write(frame.data(), static_cast<qint64>(frame.size()));
}

void ServerLink::LogIn(const LoginMessage& login) {
    Send(WriteLogin(login));
    LoginSent(login.user);
}

void ServerLink::LoginSent(const std::string& user) {
    loginUser_ = user;
    state_.LoginSent(user);
    emit stateChanged();
}

void ServerLink::LoginAsked() {
    state_.LoginAsked();
    emit stateChanged();
}

// An encrypted connection is up only once its handshake has ended.
void ServerLink::TcpConnected() {
    if (!encrypted_)
        Connected();
}

// The socket ends the handshake itself after this: the reasons are told with its end.
void ServerLink::CertificateFailed(const QList<QSslError>& errors) {
    QStringList reasons;
    for (const QSslError& error : errors)
        reasons << error.errorString();
    certificateReasons_ = reasons.join("; ");
}

void ServerLink::Connected() {
    connected_ = true;
    state_.Connected();
    emit stateChanged();
    QTimer::singleShot(0, this, &ServerLink::connectedToServer);
}

void ServerLink::Disconnected() {
    connected_ = false;
    if (const std::string report = state_.Ended(); !report.empty())
        emit connectionEnded(closingText_.empty() ? report : closingText_);
    emit stateChanged();
}

void ServerLink::ReadSocket() {
    if (state_.CurrentPhase() != ConnectionState::Phase::Connected)
        return; // being closed: what it still sends is not read
    std::string received;
    qint64 available = socket_->bytesAvailable();
    char chunk[1024];
    while (available > 0) {
        const qint64 got = socket_->read(chunk, std::min<qint64>(available, sizeof chunk));
        if (got <= 0)
            break;
        received.append(chunk, static_cast<std::size_t>(got));
        available -= got;
    }
    const FrameReceiver::Result read = receiver_.Receive(received);
    const ConnectionState::Verdict verdict = state_.Judge(read);
    auto& queue = receiver_.MessageQueue();
    // The server's reason for closing is known before its BYE is handed on, so that the
    // end of the connection, which may come first, is told with it.
    for (auto frame = queue.end() - read.framesQueued; frame != queue.end(); ++frame)
        if (KindOf(*frame) == MessageKind::Bye) {
            ByeMessage bye = ReadBye(PayloadOf(*frame));
            closingText_ = std::move(bye.text);
            closingReason_ = std::move(bye.reason);
        }
    // The server's offer is answered at once, even while messages wait behind the message
    // box: the answer must go before a login the client sends by itself.
    while (!queue.empty() && KindOf(queue.front()) == MessageKind::Features) {
        const std::string offer = queue.front();
        queue.pop_front();
        AnswerFeatures(PayloadOf(offer));
    }
    if (verdict == ConnectionState::Verdict::ReportDamage)
        ReportLater(this, state_.DamageText());
    else if (verdict != ConnectionState::Verdict::Fine)
        CloseDamaged(verdict);
    if (!receiver_.MessageQueue().empty())
        DispatchLater();
}

// What a flooding server sent is dropped with it: the queue would take hours to dispatch.
void ServerLink::CloseDamaged(ConnectionState::Verdict verdict) {
    ReportLater(this, state_.ClosedText(verdict));
    state_.CloseOnPurpose();
    receiver_.ResetStream();
    if (verdict == ConnectionState::Verdict::CloseFlooded)
        receiver_.MessageQueue().clear();
    connected_ = false;
    emit stateChanged();
    // Not from inside the socket's own read signal.
    QTimer::singleShot(0, socket_, [socket = socket_] { socket->abort(); });
}

void ServerLink::SocketError(QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError && connected_)
        return; // the server closed the connection: the disconnect event follows
    // Also a server that closes during the handshake has failed the connection.
    connected_ = false;
    if (encrypted_ && error == QAbstractSocket::SslHandshakeFailedError) {
        const QString reasons =
            certificateReasons_.isEmpty() ? socket_->errorString() : certificateReasons_;
        if (const std::string report = state_.CertificateRefused(platform::ToCp1251(reasons));
            !report.empty())
            emit connectionEnded(report);
        emit stateChanged();
        return;
    }
    if (const std::string report = state_.Failed(FailureOf(error), SystemErrorCode(error));
        !report.empty())
        emit connectionEnded(report);
    emit stateChanged();
}

Features ServerLink::ClientFeatures() {
    Features offered;
    offered.words.emplace_back(kFeatureBye, "");
    offered.words.emplace_back(kFeatureDevice, "");
    offered.words.emplace_back(kFeatureHistory, "");
    offered.words.emplace_back(kFeatureDrawing, "");
    offered.words.emplace_back(kFeatureSolutions, "");
    return offered;
}

// Answered once per connection: a server that repeats its offer gets no second answer.
void ServerLink::AnswerFeatures(std::string_view payload) {
    if (serverOffered_)
        return;
    serverOffered_ = true;
    serverFeatures_ = ReadFeatures(payload);
    Features answer = ClientFeatures();
    // The token goes only to a server that gives tokens, never to another.
    if (serverFeatures_.Has(kFeatureDevice) && deviceTokens_.find)
        if (const std::string token = ReadDevice(deviceTokens_.find(serverText_)); !token.empty())
            for (auto& [word, value] : answer.words)
                if (word == kFeatureDevice)
                    value = token;
    Send(WriteFeatures(answer));
    emit offerAnswered();
}

void ServerLink::Emit(const std::string& message) {
    const MessageKind kind = KindOf(message);
    AcceptLoginOn(kind);
    switch (kind) {
    case MessageKind::Quest:
        emit taskArrived(ReadQuestSections(message));
        break;
    case MessageKind::Text:
        emit messageArrived(std::string(PayloadOf(message)));
        break;
    case MessageKind::QuestList:
        emit taskListArrived(ParseQuestList(std::string(PayloadOf(message))));
        break;
    case MessageKind::Relog:
        emit loginRequested();
        break;
    case MessageKind::Bye:
        emit serverSaysBye(ReadBye(PayloadOf(message)));
        break;
    case MessageKind::Features:
        AnswerFeatures(PayloadOf(message));
        break;
    case MessageKind::History:
        emit historyArrived(ReadHistory(PayloadOf(message)));
        break;
    case MessageKind::Solution:
        emit solutionArrived(ReadSolution(PayloadOf(message)));
        break;
    case MessageKind::SolutionReady:
        emit solutionOpened(ReadSolutionReady(PayloadOf(message)));
        break;
    case MessageKind::Device:
        if (const std::string token = ReadDevice(PayloadOf(message));
            !token.empty() && !loginUser_.empty() && deviceTokens_.keep)
            deviceTokens_.keep(serverText_, loginUser_, token);
        break;
    default: // what only a client sends, and tags the client does not know
        break;
    }
}

// The server answers a login with a message: the greeting, or a refusal followed by RELOG
// (sent together, so it is already waiting). Tasks come only to a student let in.
void ServerLink::AcceptLoginOn(MessageKind kind) {
    if (!state_.LoginPending())
        return;
    const auto& queue = receiver_.MessageQueue();
    const bool refused =
        kind == MessageKind::Relog || (kind == MessageKind::Text && !queue.empty() &&
                                       KindOf(queue.front()) == MessageKind::Relog);
    const bool accepted =
        kind == MessageKind::Text || kind == MessageKind::Quest || kind == MessageKind::QuestList;
    if (refused || !accepted)
        return;
    state_.LoginAccepted();
    emit stateChanged();
}

// Messages are handed on once the socket's read signal has returned: a receiver's modal
// dialog then runs the event loop outside it, and the socket goes on reading meanwhile.
void ServerLink::DispatchLater() {
    QMetaObject::invokeMethod(this, &ServerLink::DispatchWaiting, Qt::QueuedConnection);
}

void ServerLink::DispatchWaiting() {
    // A receiver's modal dialog runs the event loop, in which this is called again: the
    // call that is handing a message on goes on with the next one once it returns.
    if (dispatching_)
        return;
    dispatching_ = true;
    // A receiver that fails leaves the rest of the queue to the next turn of the loop.
    const auto goOn = qScopeGuard([this] {
        dispatching_ = false;
        if (!receiver_.MessageQueue().empty() && !Held())
            DispatchLater();
    });
    auto& queue = receiver_.MessageQueue();
    // While the message box is up, server messages wait in the queue rather than in the
    // box's own short list of waiting reports. Frames with tags the client does not
    // understand have no effect and are dropped. A message is taken out before it is
    // handed on: a receiver's modal dialog runs the event loop, in which the queue may
    // change.
    while (!queue.empty() && !Held()) {
        const std::string message = queue.front();
        queue.pop_front();
        Emit(message);
    }
}
