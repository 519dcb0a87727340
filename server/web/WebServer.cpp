#include "web/WebServer.h"

#include "accounts/Password.h"
#include "accounts/PasswordUpgrade.h"
#include "accounts/SharedLimits.h"
#include "admin/AdminCommands.h"
#include "platform/Cp1251.h"
#include "protocol/Messages.h"
#include "storage/Database.h"
#include "web/GradebookCsv.h"
#include "web/GradebookQuery.h"
#include "web/StatisticsQuery.h"
#include "web/WebListener.h"
#include "web/WebPages.h"
#include "web/WebReports.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <algorithm>
#include <sstream>

namespace {

const QByteArray kCookieName = "vekta_session";
// The browser's id before signing in, to which the sign-in form's token is bound.
const QByteArray kPreSessionCookie = "vekta_signin";
// The browser's device token: its sign-ins are paced on their own, apart from others'
// guesses at the account.
const QByteArray kDeviceCookie = "vekta_device";
constexpr int kDeviceCookieSeconds = 365 * 24 * 60 * 60;
constexpr int kWebThreads = 2;

const char* const kRefusedAccount = "Вход только для преподавателей";
const char* const kWrongPassword = "Неверное имя пользователя или пароль";

QByteArray HeaderValue(const QHttpServerRequest& request, const QByteArray& name) {
    for (const auto& [key, value] : request.headers())
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

std::string CookieValue(const QHttpServerRequest& request, const QByteArray& name) {
    for (const QByteArray& part : HeaderValue(request, "Cookie").split(';')) {
        const QByteArray item = part.trimmed();
        if (item.startsWith(name + "="))
            return item.mid(name.size() + 1).toStdString();
    }
    return {};
}

WebServer::Reply Page(int status, const std::string& html) {
    WebServer::Reply reply;
    reply.status = status;
    reply.body = QByteArray::fromStdString(html);
    return reply;
}

WebServer::Reply Redirect(const QByteArray& to) {
    WebServer::Reply reply = Page(303, {});
    reply.headers.emplace_back("Location", to);
    return reply;
}

WebServer::Reply NotFound() {
    return Page(404, MessagePage("Не найдено", "Такой страницы нет."));
}

// A CSV file the browser saves under `name` rather than shows.
WebServer::Reply CsvDownload(const std::string& csv, const std::string& name) {
    WebServer::Reply reply;
    reply.type = "text/csv; charset=utf-8";
    reply.body = QByteArray::fromStdString(csv);
    reply.headers.emplace_back("Content-Disposition",
                               QByteArray::fromStdString("attachment; filename=\"" + name + "\""));
    return reply;
}

} // namespace

struct WebServer::Pending {
    QHttpServerResponder responder;
    QPointer<QTcpSocket> socket;
};

// The fields of a form posted as application/x-www-form-urlencoded.
struct WebServer::Form {
    explicit Form(const QByteArray& body) {
        QByteArray spaced = body;
        spaced.replace('+', "%20");
        query.setQuery(QString::fromUtf8(spaced));
    }
    std::string Field(const QString& name) const {
        return query.queryItemValue(name, QUrl::FullyDecoded).toStdString();
    }
    QUrlQuery query;
};

WebServer::WebServer(const TaskBank& bank, const StoreAddress& store,
                     LiveSessionsSource liveSessions, WebLimits limits, ConnectionBudget* budget)
    : bank_(bank), workers_(store.location, store.password, kWebThreads),
      liveSessions_(std::move(liveSessions)),
      connections_(std::make_shared<WebConnections>(limits, budget)) {
    clock_.start();
}

WebServer::~WebServer() = default;

bool WebServer::Listen(const QHostAddress& address, quint16 port) {
    std::unique_ptr<QTcpServer> listener;
    if (tls_)
        listener = std::make_unique<SecureWebListener>(*tls_, connections_);
    else
        listener = std::make_unique<WebListener>(connections_);
    if (!listener->listen(address, port)) {
        error_ = listener->errorString();
        return false;
    }
    listener->setParent(this);
    bind(listener.release());
    return true;
}

quint16 WebServer::Port() const {
    const QList<QTcpServer*> listeners = servers();
    return listeners.isEmpty() ? 0 : listeners.front()->serverPort();
}

bool WebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    RestartRequestCount(socket);
    auto pending = std::make_shared<Pending>(Pending{makeResponder(request, socket), socket});
    Route(request, pending);
    return true;
}

void WebServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    Send(std::make_shared<Pending>(Pending{makeResponder(request, socket), socket}), NotFound());
}

void WebServer::Route(const QHttpServerRequest& request, const Responder& responder) {
    using Method = QHttpServerRequest::Method;
    const Method method = request.method();
    const QString path = request.url().path(QUrl::FullyDecoded);
    if (method != Method::Get && method != Method::Post) {
        Reply reply = Page(405, MessagePage("Метод не разрешён", "Страницы читаются GET, формы "
                                                                 "отправляются POST."));
        reply.headers.emplace_back("Allow", "GET, POST");
        Send(responder, std::move(reply));
        return;
    }
    const bool post = method == Method::Post;
    const QString address = request.remoteAddress().toString();
    const std::string sessionId = CookieValue(request, kCookieName);
    const WebSessions::Session* session = sessions_.Use(sessionId, clock_.elapsed());
    if (path == "/login") {
        const std::string preSession = CookieValue(request, kPreSessionCookie);
        if (post)
            SignIn(Form(request.body()), preSession,
                   ReadDevice(CookieValue(request, kDeviceCookie)), address, responder);
        else if (session != nullptr)
            Send(responder, Redirect("/"));
        else
            LoginForm({}, address, preSession, responder);
        return;
    }
    if (post && path != "/logout") {
        Reply reply = Page(405, MessagePage("Метод не разрешён", "Эта страница только читается."));
        reply.headers.emplace_back("Allow", "GET");
        Send(responder, std::move(reply));
        return;
    }
    if (session == nullptr) {
        Send(responder, Redirect("/login"));
        return;
    }
    const QByteArray body = request.body();
    const QUrlQuery query = request.query();
    WithAccountChecked(
        sessionId, session->teacher, responder,
        [this, path, body, query, sessionId, responder](const WebSessions::Session& checked) {
            if (path == "/logout")
                SignOut(Form(body), sessionId, responder);
            else
                ServePage(path, query, checked, responder);
        });
}

// The account behind a session is read again at every request: a teacher removed, or made
// a student, since signing in has the session ended at the next one and is sent to the
// sign-in form.
void WebServer::WithAccountChecked(const std::string& sessionId, const std::string& teacher,
                                   const Responder& responder,
                                   std::function<void(const WebSessions::Session&)> then) {
    QPointer<WebServer> self(this);
    workers_.RunStore([self, sessionId, teacher, responder,
                       then = std::move(then)](Database& database) mutable {
        std::optional<bool> stillTeacher; // nullopt: the store cannot tell now
        try {
            stillTeacher = database.AccountRole(teacher) == Database::Role::Teacher;
        } catch (const std::exception& error) {
            TestingServer::Log("web: cannot read the account: " + QString::fromUtf8(error.what()));
        }
        return ServerWorkers::Continuation([self, sessionId, teacher, responder,
                                            then = std::move(then), stillTeacher] {
            if (!self)
                return;
            if (!stillTeacher) {
                self->Send(responder,
                           Page(500, MessagePage("Ошибка сервера", "База данных недоступна.")));
                return;
            }
            const WebSessions::Session* session =
                *stillTeacher ? self->sessions_.Use(sessionId, self->clock_.elapsed()) : nullptr;
            if (session == nullptr) {
                if (!*stillTeacher)
                    TestingServer::Log("web: " + QString::fromStdString(teacher) +
                                       " is no teacher any more, the session ended");
                self->sessions_.Close(sessionId);
                Reply reply = Redirect("/login");
                reply.headers.emplace_back("Set-Cookie", self->SessionCookie({}, true));
                self->Send(responder, std::move(reply));
                return;
            }
            then(*session);
        });
    });
}

void WebServer::ServePage(const QString& path, const QUrlQuery& query,
                          const WebSessions::Session& session, const Responder& responder) {
    const PageFrame frame{session.teacher, session.formToken, RandomToken()};
    const TaskBank& bank = bank_;
    if (path == "/") {
        Build(
            [frame, &bank, cache = &gradebook_](Database& database) {
                Reply reply = Page(200, GradebookPage(frame, *cache->Read(database, bank)));
                reply.nonce = QByteArray::fromStdString(frame.scriptNonce);
                return reply;
            },
            responder);
    } else if (path == "/gradebook.csv") {
        Build(
            [&bank, cache = &gradebook_](Database& database) {
                return CsvDownload(GradebookCsv(*cache->Read(database, bank)), "gradebook.csv");
            },
            responder);
    } else if (path == "/stats") {
        const bool best = query.hasQueryItem("best");
        Build(
            [frame, best, &bank](Database& database) {
                return Page(200,
                            StatsPage(frame, ReadCourseStatistics(database, bank, best), best));
            },
            responder);
    } else if (path == "/results.csv") {
        Build(
            [](Database& database) {
                std::ostringstream csv;
                WriteResults(database, {}, {}, ResultsStyle::Spreadsheet(), csv);
                return CsvDownload(csv.str(), "results.csv");
            },
            responder);
    } else if (path.startsWith("/student/")) {
        const std::string student = path.mid(9).toStdString();
        Build(
            [frame, student, &bank](Database& database) {
                if (database.AccountRole(student) != Database::Role::Student)
                    return NotFound();
                return Page(
                    200, StudentPage(frame, student, StudentSubmissions(database, bank, student)));
            },
            responder);
    } else if (path.startsWith("/task/")) {
        const std::string task = path.mid(6).toStdString();
        const std::string student =
            query.queryItemValue("student", QUrl::FullyDecoded).toStdString();
        Build(
            [frame, task, student, &bank](Database& database) {
                const std::optional<TaskReport> report =
                    TaskReportOf(database, bank, task, student);
                return report ? Page(200, TaskPage(frame, *report)) : NotFound();
            },
            responder);
    } else if (path == "/now") {
        // The connections are read here, on their own thread; the page is built elsewhere.
        Build([frame, sessions = liveSessions_()](
                  Database&) { return Page(200, NowPage(frame, sessions)); },
              responder);
    } else {
        Send(responder, NotFound());
    }
}

// The form's token is bound to the browser's pre-session id, which it keeps in a cookie
// that only this site's own pages send (SameSite=Strict): a sign-in posted from another
// site's page comes without it and is refused. A browser without one gets a new one.
void WebServer::LoginForm(const std::string& message, const QString& address,
                          std::string preSession, const Responder& responder) {
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    if (!IsToken(preSession)) {
        preSession = RandomToken();
        QByteArray cookie = kPreSessionCookie + "=" + QByteArray::fromStdString(preSession) +
                            "; Path=/login; HttpOnly; SameSite=Strict";
        if (tls_)
            cookie += "; Secure";
        headers.emplace_back("Set-Cookie", cookie);
    }
    const std::string token =
        sessions_.IssueLoginToken(preSession, address.toStdString(), clock_.elapsed());
    Build(
        [token, message, headers](Database&) {
            Reply reply = Page(200, LoginPage(token, message));
            reply.headers = headers;
            return reply;
        },
        responder);
}

void WebServer::SignIn(const Form& form, const std::string& preSession,
                       const std::string& deviceToken, const QString& address,
                       const Responder& responder) {
    if (!sessions_.TakeLoginToken(form.Field("token"), preSession, clock_.elapsed())) {
        Send(responder, Page(403, MessagePage("Доступ запрещён",
                                              "Форма входа устарела: откройте её заново.")));
        return;
    }
    CheckPassword({form.Field("name"), form.Field("password"), address, deviceToken}, responder);
}

// Sign-ins are paced as logins on the testing port are, over every server process on the
// database and with the same keys, so that guesses at one account through either port
// count together; a browser with the account's device token, or at an address the account
// logged in from lately, is paced on its own. A paced attempt waits its turn and is asked
// for again.
void WebServer::CheckPassword(const SignInAttempt& attempt, const Responder& responder) {
    QPointer<WebServer> self(this);
    workers_.RunStore([self, attempt, responder](Database& database) {
        const std::string& name = attempt.name;
        SharedLimits::LoginPace pace;
        std::optional<std::string> hash;
        std::optional<Database::Role> role;
        try {
            pace = SharedLimits::PaceOf(database, attempt.address, name, attempt.deviceToken);
            const long long wait =
                database.ReserveLogin(pace.keys, SharedLimits::NowMs(), SharedLimits::Pacing);
            if (wait > 0)
                return ServerWorkers::Continuation([self, attempt, responder, wait] {
                    if (self)
                        self->RetrySignIn(wait, attempt, responder);
                });
            hash = database.PasswordHash(name);
            role = database.AccountRole(name);
        } catch (const std::exception& error) {
            TestingServer::Log("web: cannot read the account: " + QString::fromUtf8(error.what()));
        }
        // An unknown name costs the same work as a wrong password.
        static const std::string unknown = password::Hash("");
        const std::string cp1251 = platform::Utf8ToCp1251(attempt.password);
        const password::Check check = password::CheckLogin(cp1251, hash.value_or(unknown));
        const bool accepted = check.accepted && hash && role;
        if (accepted && !check.upgradedHash.empty())
            StoreUpgradedHash(database, platform::Utf8ToCp1251(name), *hash, check.upgradedHash);
        if (!accepted)
            RecordFailure(database, pace.FailureKeys(hash.has_value()));
        std::optional<bool> teacher;
        if (role)
            teacher = *role == Database::Role::Teacher;
        std::string newToken;
        if (accepted && teacher.value_or(false) && SharedLimits::LoginToRemember(pace, true)) {
            try {
                newToken = SharedLimits::LoginAccepted(database, attempt.address, name, pace, true);
            } catch (const std::exception& error) {
                TestingServer::Log("web: cannot remember the sign-in: " +
                                   QString::fromUtf8(error.what()));
            }
        }
        return ServerWorkers::Continuation(
            [self, name, teacher, accepted, address = attempt.address, newToken, responder] {
                if (self)
                    self->SignInDecided(name, teacher, accepted, address, newToken, responder);
            });
    });
}

void WebServer::RetrySignIn(long long waitMs, const SignInAttempt& attempt,
                            const Responder& responder) {
    TestingServer::Log("web: " + attempt.address + ": sign-in paced, the next in " +
                       QString::number(waitMs) + " ms");
    QPointer<WebServer> self(this);
    QTimer::singleShot(static_cast<int>(std::min<long long>(waitMs, SharedLimits::Pacing.delayMs)),
                       this, [self, attempt, responder] {
                           if (self)
                               self->CheckPassword(attempt, responder);
                       });
}

void WebServer::RecordFailure(Database& database, const std::vector<std::string>& keys) {
    try {
        database.RecordLoginFailure(keys, SharedLimits::NowMs(), SharedLimits::Pacing);
    } catch (const std::exception& error) {
        TestingServer::Log("web: a failed sign-in is counted in this process only: " +
                           QString::fromUtf8(error.what()));
    }
}

void WebServer::SignInDecided(const std::string& name, std::optional<bool> teacher, bool accepted,
                              const QString& address, const std::string& newToken,
                              const Responder& responder) {
    const QString who = QString::fromStdString(name).left(200);
    if (!accepted) {
        TestingServer::Log("web: " + address + ": sign-in refused for " + who);
        LoginForm(kWrongPassword, address, {}, responder); // a new pre-session with the form
        return;
    }
    if (!teacher.value_or(false)) {
        TestingServer::Log("web: " + address + ": " + who + " is no teacher, refused");
        Send(responder, Page(403, MessagePage("Доступ запрещён", kRefusedAccount)));
        return;
    }
    TestingServer::Log("web: " + address + ": " + who + " signed in");
    Reply reply = Redirect("/");
    reply.headers.emplace_back("Set-Cookie",
                               SessionCookie(sessions_.Open(name, clock_.elapsed()), false));
    if (!newToken.empty())
        reply.headers.emplace_back("Set-Cookie", DeviceCookie(newToken));
    Send(responder, std::move(reply));
}

void WebServer::SignOut(const Form& form, const std::string& sessionId,
                        const Responder& responder) {
    const WebSessions::Session* session = sessions_.Use(sessionId, clock_.elapsed());
    if (session == nullptr || !SameToken(form.Field("token"), session->formToken)) {
        Send(responder, Page(403, MessagePage("Доступ запрещён", "Форма без своего ключа.")));
        return;
    }
    sessions_.Close(sessionId);
    Reply reply = Redirect("/login");
    reply.headers.emplace_back("Set-Cookie", SessionCookie({}, true));
    Send(responder, std::move(reply));
}

QByteArray WebServer::SessionCookie(const std::string& id, bool ending) const {
    QByteArray cookie =
        kCookieName + "=" + QByteArray::fromStdString(id) + "; Path=/; HttpOnly; SameSite=Strict";
    if (tls_)
        cookie += "; Secure";
    if (ending)
        cookie += "; Max-Age=0";
    return cookie;
}

QByteArray WebServer::DeviceCookie(const std::string& token) const {
    QByteArray cookie = kDeviceCookie + "=" + QByteArray::fromStdString(token) +
                        "; Path=/login; HttpOnly; SameSite=Strict; Max-Age=" +
                        QByteArray::number(kDeviceCookieSeconds);
    if (tls_)
        cookie += "; Secure";
    return cookie;
}

void WebServer::Build(std::function<Reply(Database&)> page, const Responder& responder) {
    QPointer<WebServer> self(this);
    workers_.RunStore([self, page = std::move(page), responder](Database& database) {
        Reply reply;
        try {
            reply = page(database);
        } catch (const std::exception& error) {
            TestingServer::Log("web: a page failed: " + QString::fromUtf8(error.what()));
            reply = Page(500, MessagePage("Ошибка сервера", "Страницу не удалось построить: база "
                                                            "данных недоступна."));
        }
        return ServerWorkers::Continuation([self, responder, reply = std::move(reply)]() mutable {
            if (self)
                self->Send(responder, std::move(reply));
        });
    });
}

void WebServer::Send(const Responder& responder, Reply reply) {
    if (responder->socket.isNull() || responder->socket->state() != QAbstractSocket::ConnectedState)
        return;
    QHttpServerResponder& out = responder->responder;
    out.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
    out.writeHeader("Content-Type", reply.type);
    out.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    out.writeHeader("Cache-Control", "no-store");
    out.writeHeader("X-Content-Type-Options", "nosniff");
    out.writeHeader("X-Frame-Options", "DENY");
    out.writeHeader("Referrer-Policy", "no-referrer");
    // Nothing from other sites; the only script is the page's own, by its nonce.
    const QByteArray scripts = reply.nonce.isEmpty() ? "'none'" : "'nonce-" + reply.nonce + "'";
    out.writeHeader("Content-Security-Policy",
                    "default-src 'none'; style-src 'unsafe-inline'; img-src data:; script-src " +
                        scripts + "; form-action 'self'; frame-ancestors 'none'; base-uri 'none'");
    for (const auto& [name, value] : reply.headers)
        out.writeHeader(name, value);
    out.writeBody(reply.body);
}
