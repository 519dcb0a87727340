#include "net/TestingServer.h"

#include "log/ServerLog.h"
#include "net/ClientConnection.h"
#include "net/PeerAddress.h"
#include "platform/Cp1251.h"
#include "session/ProxyHeader.h"

#include <QSocketNotifier>
#include <QSslSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Descriptors kept free for the database, the task bank and the log.
constexpr int kReservedDescriptors = 64;
// A failed accept (descriptors or memory exhausted) pauses accepting this long.
constexpr int kAcceptPauseMs = 250;

QHostAddress SourceOf(const ProxyHeader& header) {
    if (header.family == 4)
        return QHostAddress(static_cast<quint32>(header.source[0]) << 24 |
                            static_cast<quint32>(header.source[1]) << 16 |
                            static_cast<quint32>(header.source[2]) << 8 | header.source[3]);
    return QHostAddress(header.source.data());
}

} // namespace

int RaiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
}

TestingServer::TestingServer(const TaskBank& bank, const StoreAddress& store, ServerLimits limits)
    : bank_(bank), limits_(limits), workers_(store.location, store.password),
      pipeline_(workers_, limits.submissions),
      shared_(workers_, limits.connectionsPerAccount,
              [this](long long number) { CloseForNewerLogin(number); }),
      budget_(RaiseDescriptorLimit() - kReservedDescriptors) {
    clock_.start();
    cap_ = budget_.Total();
    if (limits_.maxConnections > 0)
        cap_ = std::min(cap_, limits_.maxConnections);
    listener_.incoming = [this](qintptr descriptor) { Incoming(descriptor); };
    connect(&listener_, &QTcpServer::acceptError, this, [this] { AcceptFailed(); });
}

TestingServer::~TestingServer() {
    // The connections go first: they report to this server as they close.
    while (!open_.empty())
        delete (*open_.begin())->parent();
}

void TestingServer::Stop(std::function<void(bool inTime)> stopped) {
    if (stopping_)
        return;
    stopping_ = true;
    stopped_ = std::move(stopped);
    listener_.close();
    Log(QString("stopping: %1 connections to close within %2 s")
            .arg(open_.size())
            .arg(limits_.stopGraceMs / 1000.0));
    stopGrace_ = new QTimer(this);
    stopGrace_->setSingleShot(true);
    connect(stopGrace_, &QTimer::timeout, this, [this] {
        if (!open_.empty())
            Log(QString("stopping: %1 connections still open after the grace, closed")
                    .arg(open_.size()));
        FinishStop(open_.empty());
    });
    stopGrace_->start(limits_.stopGraceMs);
    // A connection that ends at once leaves the set while it is gone through.
    const std::vector<Connection*> open(open_.begin(), open_.end());
    for (Connection* connection : open)
        if (open_.contains(connection))
            connection->Stop();
    CheckStopped();
}

void TestingServer::CheckStopped() {
    if (stopping_ && open_.empty() && stopped_)
        // Not from inside a connection's own destruction.
        QTimer::singleShot(0, this, [this] { FinishStop(true); });
}

void TestingServer::FinishStop(bool inTime) {
    if (!stopped_)
        return;
    stopGrace_->stop();
    const std::function<void(bool)> stopped = std::exchange(stopped_, nullptr);
    stopped(inTime);
}

bool TestingServer::Listen(const QHostAddress& address, quint16 port) {
    return listener_.listen(address, port);
}

std::vector<LiveSession> TestingServer::LiveSessions() const {
    std::vector<LiveSession> sessions;
    sessions.reserve(open_.size());
    for (const Connection* connection : open_)
        sessions.push_back(connection->Describe());
    return sessions;
}

void TestingServer::Log(const QString& line) {
    ServerLog(line);
}

void TestingServer::LogRarely(const QString& kind, const QString& line) {
    const qint64 now = clock_.elapsed();
    const auto found = lastLogged_.find(kind);
    if (found != lastLogged_.end() && now - found->second < 1000)
        return;
    lastLogged_[kind] = now;
    Log(line);
}

// Accepting failed (no descriptor or memory left): the listener pauses instead of
// trying again at once, so that the server does not spin, and resumes shortly.
void TestingServer::AcceptFailed() {
    LogRarely("accept", "cannot accept a connection (" + listener_.errorString() + "), " +
                            QString::number(descriptors_) + " open; pausing");
    listener_.pauseAccepting();
    QTimer::singleShot(kAcceptPauseMs, this, [this] { listener_.resumeAccepting(); });
}

void TestingServer::ReleaseDescriptor() {
    --descriptors_;
    budget_.ReleaseTesting();
}

void TestingServer::Incoming(qintptr descriptor) {
    if (descriptors_ >= cap_ || !budget_.TakeTesting()) {
        LogRarely(
            "cap",
            QString("refused a connection: %1 open, the most this server takes").arg(descriptors_));
        ::close(static_cast<int>(descriptor));
        return;
    }
    ++descriptors_;
    if (balancer_ &&
        PeerAddressOf(descriptor).isEqual(*balancer_, QHostAddress::TolerantConversion))
        AwaitProxyHeader(descriptor);
    else
        Admit(descriptor, std::nullopt);
}

// Reads the balancer's header straight from the descriptor, peeking so that not one
// byte behind it is taken (a TLS handshake may follow); the header must come within
// the login deadline.
void TestingServer::AwaitProxyHeader(qintptr descriptor) {
    auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    auto* deadline = new QTimer(notifier);
    // Settles once: the descriptor goes on to a connection, or is closed.
    auto settle = [this, notifier, deadline](qintptr handed, std::optional<QHostAddress> student,
                                             const QString& failure) {
        notifier->setEnabled(false);
        deadline->stop();
        notifier->deleteLater();
        if (failure.isEmpty()) {
            Admit(handed, student);
            return;
        }
        LogRarely("proxy", "a connection from the balancer closed: " + failure);
        ::close(static_cast<int>(handed));
        ReleaseDescriptor();
    };
    connect(deadline, &QTimer::timeout, notifier,
            [settle, descriptor] { settle(descriptor, std::nullopt, "no header in time"); });
    connect(notifier, &QSocketNotifier::activated, notifier, [settle, notifier, descriptor] {
        char bytes[MaxProxyHeaderBytes];
        const ssize_t got = ::recv(static_cast<int>(descriptor), bytes, sizeof bytes, MSG_PEEK);
        if (got <= 0) {
            settle(descriptor, std::nullopt, "closed before its header");
            return;
        }
        const ProxyHeader header = ReadProxyHeader(std::string_view(bytes, got));
        if (header.status == ProxyHeader::Status::Incomplete) {
            // The bytes stay unread, so the notifier would fire again at once: look again
            // a little later instead of spinning.
            notifier->setEnabled(false);
            QTimer::singleShot(20, notifier, [notifier] { notifier->setEnabled(true); });
            return;
        }
        if (header.status == ProxyHeader::Status::Invalid) {
            settle(descriptor, std::nullopt, "no valid header");
            return;
        }
        ::recv(static_cast<int>(descriptor), bytes, header.length, 0);
        settle(descriptor, header.family != 0 ? std::optional(SourceOf(header)) : std::nullopt, {});
    });
    deadline->setSingleShot(true);
    deadline->start(limits_.loginDeadlineMs);
}

void TestingServer::Admit(qintptr descriptor, const std::optional<QHostAddress>& student) {
    if (stopping_) { // its balancer's header came after the stop began
        ::close(static_cast<int>(descriptor));
        --descriptors_;
        return;
    }
    QTcpSocket* socket = tls_ ? new QSslSocket : new QTcpSocket;
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(static_cast<int>(descriptor));
        delete socket;
        ReleaseDescriptor();
        return;
    }
    const QString address = student.value_or(PeerAddressOf(descriptor)).toString();
    // Connections that have not logged in are few per address; logged-in ones, a whole
    // lab's behind one NAT address, may be many more.
    const auto open = connections_.find(address);
    const auto anonymous = anonymous_.find(address);
    const int count = open == connections_.end() ? 0 : open->second;
    const int waiting = anonymous == anonymous_.end() ? 0 : anonymous->second;
    if (waiting >= limits_.connectionsPerAddress || count >= limits_.loggedInPerAddress) {
        LogRarely("address", address + ": refused, " + QString::number(count) +
                                 " connections open already, " + QString::number(waiting) +
                                 " of them not logged in");
        delete socket;
        ReleaseDescriptor();
        return;
    }
    ++connections_[address];
    ++anonymous_[address];
    if (auto* secure = qobject_cast<QSslSocket*>(socket)) {
        secure->setSslConfiguration(*tls_);
        secure->startServerEncryption();
    }
    const ConnectionLimits limits{limits_.idleMs, limits_.loginDeadlineMs,
                                  limits_.unsentReplyBytes};
    const ConnectionTools tools{bank_, courseSecret_, workers_, shared_, pipeline_, limits};
    open_.insert(new Connection(tools, *this, socket, address, ++connectionNumbers_));
}

void TestingServer::Released(Connection* connection, const QString& address, bool everLoggedIn) {
    if (open_.erase(connection) == 0)
        return;
    ReleaseDescriptor();
    if (!everLoggedIn)
        Uncount(anonymous_, address);
    LoggedOut(connection);
    Uncount(connections_, address);
    CheckStopped();
}

void TestingServer::Uncount(std::map<QString, int>& counts, const QString& address) {
    const auto found = counts.find(address);
    if (found != counts.end() && --found->second <= 0)
        counts.erase(found);
}

// A login over the account's limit closes its oldest connection: a student whose
// network dropped gets back in while the old connection has not timed out yet.
void TestingServer::LoggedIn(Connection* connection, const std::string& user, bool first) {
    if (first)
        Uncount(anonymous_, connection->Address());
    Forget(connection);
    shared_.LoggedIn(connection->Number(), platform::Cp1251ToUtf8(user));
    std::deque<Connection*>& logins = accounts_[user];
    logins.push_back(connection);
    while (static_cast<int>(logins.size()) > limits_.connectionsPerAccount) {
        Connection* oldest = logins.front();
        logins.pop_front();
        oldest->Evict("a newer connection of the same account logged in, closed");
    }
}

void TestingServer::LoggedOut(Connection* connection) {
    if (Forget(connection))
        shared_.LoggedOut(connection->Number());
}

void TestingServer::CloseForNewerLogin(long long number) {
    const auto found = std::find_if(open_.begin(), open_.end(), [number](const Connection* open) {
        return open->Number() == number;
    });
    if (found == open_.end())
        shared_.LoggedOut(number); // gone already: its session is no longer marked
    else
        (*found)->Evict("a newer connection of the same account logged in elsewhere, closed");
}

bool TestingServer::Forget(Connection* connection) {
    for (auto account = accounts_.begin(); account != accounts_.end(); ++account) {
        auto& logins = account->second;
        const auto found = std::find(logins.begin(), logins.end(), connection);
        if (found == logins.end())
            continue;
        logins.erase(found);
        if (logins.empty())
            accounts_.erase(account);
        return true;
    }
    return false;
}

// Unsent replies over the budget of all clients: the client with the most of them, a
// slow reader, is dropped until the rest fit.
void TestingServer::UnsentChanged(qint64 delta) {
    unsent_ += delta;
    while (unsent_ > limits_.totalUnsentReplyBytes && !open_.empty()) {
        Connection* slowest = *std::max_element(
            open_.begin(), open_.end(),
            [](const Connection* a, const Connection* b) { return a->Unsent() < b->Unsent(); });
        if (slowest->Unsent() == 0)
            break;
        slowest->Close("replies not read while the server holds too many unsent, closed");
    }
}
