#pragma once

#include "course/TaskBank.h"
#include "net/TestingServer.h"
#include "session/LiveSession.h"
#include "storage/ServerWorkers.h"
#include "web/GradebookCache.h"
#include "web/WebListener.h"
#include "web/WebSessions.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QUrlQuery>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The teacher's web pages beside the testing port, over the same bank and store:
//   GET  /login              the sign-in form (name, password, its token)
//   POST /login              signs a teacher in: a session cookie, then 303 to /; the
//                            form's token must match the pre-session cookie the form came with
//   GET  /                   the gradebook;  /gradebook.csv  its CSV
//   GET  /results.csv        every submission, as `results --spreadsheet` writes them
//   GET  /stats[?best=1]     the item statistics, by the first or the best attempt
//   GET  /student/NAME       a student's submissions;  /task/NAME[?student=S]  a task
//   GET  /now                who is connected
//   POST /logout             signs out (the form's token)
// Not signed in: 303 to /login; a student's account or a form without its token: 403;
// any method but GET and POST, or POST where only GET is served: 405; a request over
// 64 KB: 413. Sign-in attempts are paced per address as the testing port paces logins.
// Pages are read and built on worker threads with their own database connections; the
// event loop's thread only routes, checks the session and sends. With a certificate it
// speaks HTTPS only, and the cookie is then marked Secure.
class WebServer : public QAbstractHttpServer {
public:
    using LiveSessionsSource = std::function<std::vector<LiveSession>()>;

    // The connections are capped by `limits`, and within the `budget` of descriptors that
    // the testing port shares when it is given.
    WebServer(const TaskBank& bank, const StoreAddress& store, LiveSessionsSource liveSessions,
              WebLimits limits = {}, ConnectionBudget* budget = nullptr);
    ~WebServer() override;

    void UseTls(const QSslConfiguration& configuration) { tls_ = configuration; }
    bool Listen(const QHostAddress& address, quint16 port);
    quint16 Port() const;
    QString ErrorString() const { return error_; }

    // What a handler answers: status, type, body and further headers.
    struct Reply {
        int status = 200;
        QByteArray type = "text/html; charset=utf-8";
        QByteArray body;
        std::vector<std::pair<QByteArray, QByteArray>> headers;
        QByteArray nonce; // of the page's script; none may run without it
    };

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Pending; // the responder of one request and its connection
    using Responder = std::shared_ptr<Pending>;
    struct Form;

    void Route(const QHttpServerRequest& request, const Responder& responder);
    void WithAccountChecked(const std::string& sessionId, const std::string& teacher,
                            const Responder& responder,
                            std::function<void(const WebSessions::Session&)> then);
    void ServePage(const QString& path, const QUrlQuery& query, const WebSessions::Session& session,
                   const Responder& responder);
    // A sign-in under way: the name and password typed, where from, and the device token
    // the browser's cookie carries ("" without one).
    struct SignInAttempt {
        std::string name;
        std::string password;
        QString address;
        std::string deviceToken;
    };
    void SignIn(const Form& form, const std::string& preSession, const std::string& deviceToken,
                const QString& address, const Responder& responder);
    void RetrySignIn(long long waitMs, const SignInAttempt& attempt, const Responder& responder);
    static void RecordFailure(Database& database, const std::vector<std::string>& keys);
    void CheckPassword(const SignInAttempt& attempt, const Responder& responder);
    // `newToken`: a device token for the browser to keep, or "".
    void SignInDecided(const std::string& name, std::optional<bool> teacher, bool accepted,
                       const QString& address, const std::string& newToken,
                       const Responder& responder);
    void SignOut(const Form& form, const std::string& sessionId, const Responder& responder);
    void LoginForm(const std::string& message, const QString& address, std::string preSession,
                   const Responder& responder);
    // Builds the reply on a worker; sends it from the event loop's thread.
    void Build(std::function<Reply(Database&)> page, const Responder& responder);
    void Send(const Responder& responder, Reply reply);
    QByteArray SessionCookie(const std::string& id, bool ending) const;
    QByteArray DeviceCookie(const std::string& token) const;

    const TaskBank& bank_;
    GradebookCache gradebook_; // before the workers that use it, so that it outlives them
    ServerWorkers workers_;
    LiveSessionsSource liveSessions_;
    WebSessions sessions_;
    QElapsedTimer clock_;
    std::optional<QSslConfiguration> tls_;
    std::shared_ptr<WebConnections> connections_;
    QString error_;
};
