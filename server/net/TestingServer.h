#pragma once

#include "accounts/SharedLimits.h"
#include "course/TaskBank.h"
#include "net/ConnectionBudget.h"
#include "net/ConnectionHost.h"
#include "session/LiveSession.h"
#include "storage/ServerWorkers.h"
#include "storage/SubmissionPipeline.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

class Connection;
class QTcpSocket;

struct ServerLimits {
    int connectionsPerAddress = 32;    // not logged in yet
    int loggedInPerAddress = 256;      // logged in: a lab behind one NAT address
    int connectionsPerAccount = 3;     // a login over this closes the account's oldest one
    int maxConnections = 0;            // 0: as many as the descriptor limit leaves room for
    int idleMs = 30 * 60 * 1000;       // without a complete frame
    int loginDeadlineMs = 20'000;      // to log in after connecting, and to complete a header
    qint64 unsentReplyBytes = 8 << 20; // a client that reads nothing is dropped past this
    qint64 totalUnsentReplyBytes = 256 << 20; // over all clients: the largest is dropped
    int stopGraceMs = 10'000;                 // a graceful stop ends the connections within this
    SubmissionLimits submissions;
    WebLimits web; // the web port's, within the same descriptors
};

// Where the server's store is and how it reaches it.
struct StoreAddress {
    std::string location; // an SQLite file or a postgresql:// URL without a password
    std::string password; // for PostgreSQL, when not taken from PGPASSFILE
};

// The reference testing server on the network: accepts clients, gives each a session
// over the task bank with accounts and submissions in the database, and keeps the
// limits: connections in all, per address and per account, login and header deadlines,
// idle time, unread replies, paced logins and submissions. Database work and judging run
// on workers, never on the event loop. Login pacing and the connections per account
// hold over every server process on the database. Optionally it speaks TLS only, and takes
// students' addresses from the header a load balancer sends. Every connection, login and
// submission is logged on stderr.
class TestingServer : public QObject, private ConnectionEvents {
public:
    TestingServer(const TaskBank& bank, const StoreAddress& store, ServerLimits limits = {});
    ~TestingServer() override;

    // Every connection speaks TLS with this configuration (certificate and key).
    void UseTls(const QSslConfiguration& configuration) { tls_ = configuration; }
    // The secret students' variants are drawn with (the database's), set before serving.
    void SetCourseSecret(std::string secret) { courseSecret_ = std::move(secret); }
    // Connections from this address begin with the balancer's header, which names the
    // student's address; others are taken as they come.
    void TrustProxy(const QHostAddress& balancer) { balancer_ = balancer; }

    bool Listen(const QHostAddress& address, quint16 port);
    QString ErrorString() const { return listener_.errorString(); }
    quint16 Port() const { return listener_.serverPort(); }
    int ConnectionCap() const { return cap_; }
    // The descriptors for connections, which the web port shares.
    ConnectionBudget& Budget() { return budget_; }
    // The open connections as they are now; on the event loop's thread.
    std::vector<LiveSession> LiveSessions() const;

    // Stops gracefully: accepts no more connections, lets every submission under way be
    // judged, stored and answered, tells each client why the connection ends (BYE
    // "stopping", or the text as a MESSAGE) and closes it. `stopped` is called once, when
    // the last connection has closed (true) or the stop's grace has passed (false).
    void Stop(std::function<void(bool inTime)> stopped);
    bool Stopping() const { return stopping_; }

    // One line on the operator's log (ServerLog); safe from any thread.
    static void Log(const QString& line);

private:
    class Listener : public QTcpServer {
    public:
        std::function<void(qintptr)> incoming;

    protected:
        void incomingConnection(qintptr descriptor) override { incoming(descriptor); }
    };

    void Incoming(qintptr descriptor);
    void AwaitProxyHeader(qintptr descriptor);
    void Admit(qintptr descriptor, const std::optional<QHostAddress>& student);
    void AcceptFailed();
    // A descriptor taken for a connection, or one awaiting a header, is given back.
    void ReleaseDescriptor();
    // What a connection tells its server (ConnectionEvents).
    void UnsentChanged(qint64 delta) override;
    void Released(Connection* connection, const QString& address, bool everLoggedIn) override;
    void LoggedIn(Connection* connection, const std::string& user, bool first) override;
    void LoggedOut(Connection* connection) override;
    void LogRarely(const QString& kind, const QString& line) override;
    static void Uncount(std::map<QString, int>& counts, const QString& address);
    // Takes the connection out of its account's list; false when it was in none.
    bool Forget(Connection* connection);
    // A login in another process wants this connection closed.
    void CloseForNewerLogin(long long number);
    // Ends the stop once no connection is left.
    void CheckStopped();
    void FinishStop(bool inTime);

    const TaskBank& bank_;
    std::string courseSecret_;
    ServerLimits limits_;
    ServerWorkers workers_;
    SubmissionPipeline pipeline_;
    SharedLimits shared_; // over every process on the database
    Listener listener_;
    std::optional<QSslConfiguration> tls_;
    std::optional<QHostAddress> balancer_;
    ConnectionBudget budget_;
    int cap_ = 0;
    int descriptors_ = 0;                // connections open, and awaiting a header
    std::map<QString, int> connections_; // open connections per address
    std::map<QString, int> anonymous_;   // of those, the ones that have not logged in
    std::set<Connection*> open_;
    std::map<std::string, std::deque<Connection*>> accounts_; // logged in, oldest first
    qint64 unsent_ = 0;
    long long connectionNumbers_ = 0; // the last number given to a connection
    QElapsedTimer clock_;
    std::map<QString, qint64> lastLogged_; // kind -> clock_ time
    bool stopping_ = false;
    std::function<void(bool)> stopped_;
    QTimer* stopGrace_ = nullptr; // made by Stop
};

// Raises the soft limit of open descriptors to the hard one; returns the soft limit.
int RaiseDescriptorLimit();
