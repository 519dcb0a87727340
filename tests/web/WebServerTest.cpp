// The teacher's web pages over a real socket: sign-in, refusals and their status codes,
// the session cookie, escaping, the pages and the CSV, and the request size limit.

#include "web/WebServer.h"
#include "accounts/Password.h"
#include "course/TaskBank.h"
#include "course/TaskVariant.h"
#include "judging/Submission.h"
#include "judging/SubmissionOutcome.h"
#include "net/TlsSetup.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using platform::Utf8ToCp1251;

const std::string kScriptName = "<script>alert(1)</script>";

struct HttpReply {
    int status = 0;
    QByteArray head; // status line and headers
    QByteArray body;

    QByteArray Header(const QByteArray& name) const {
        for (const QByteArray& line : head.split('\n'))
            if (line.toLower().startsWith(name.toLower() + ":"))
                return line.mid(name.size() + 1).trimmed();
        return {};
    }
    std::string Text() const { return body.toStdString(); }
};

// Sends one request and reads its whole reply, serving the event loop meanwhile (the
// server runs in this thread). With a certificate file, over TLS trusting only it.
HttpReply Exchange(quint16 port, const QByteArray& request, const QString& trusted = {},
                   const QString& from = {}) {
    QSslSocket socket;
    if (!from.isEmpty())
        socket.bind(QHostAddress(from));
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    if (trusted.isEmpty()) {
        QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write(request); });
        socket.connectToHost("127.0.0.1", port);
    } else {
        QSslConfiguration tls = socket.sslConfiguration();
        tls.setCaCertificates(QSslCertificate::fromPath(trusted));
        socket.setSslConfiguration(tls);
        QObject::connect(&socket, &QSslSocket::encrypted, [&] { socket.write(request); });
        socket.connectToHostEncrypted("localhost", port);
    }
    HttpReply reply;
    auto complete = [&] {
        const qsizetype end = received.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        reply.head = received.left(end);
        const QByteArray length = reply.Header("Content-Length");
        if (received.size() - end - 4 < length.toLongLong())
            return false;
        reply.body = received.mid(end + 4, length.toLongLong());
        return true;
    };
    bool closed = false;
    QObject::connect(&socket, &QTcpSocket::disconnected, [&] { closed = true; });
    if (!QTest::qWaitFor([&] { return complete() || closed; }, 10000) || !complete())
        return reply;
    reply.status = reply.head.mid(9, 3).toInt();
    return reply;
}

QByteArray Get(const QByteArray& path, const QByteArray& cookie = {}) {
    QByteArray request = "GET " + path + " HTTP/1.1\r\nHost: localhost\r\n";
    if (!cookie.isEmpty())
        request += "Cookie: " + cookie + "\r\n";
    return request + "\r\n";
}

QByteArray Post(const QByteArray& path, const QByteArray& body, const QByteArray& cookie = {}) {
    QByteArray request = "POST " + path +
                         " HTTP/1.1\r\nHost: localhost\r\nContent-Type: "
                         "application/x-www-form-urlencoded\r\nContent-Length: " +
                         QByteArray::number(body.size()) + "\r\n";
    if (!cookie.isEmpty())
        request += "Cookie: " + cookie + "\r\n";
    return request + "\r\n" + body;
}

QByteArray FormToken(const HttpReply& page) {
    const QRegularExpression token("name=\"token\" value=\"([0-9a-f]+)\"");
    return token.match(QString::fromUtf8(page.body)).captured(1).toLatin1();
}

class WebServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        bank_ = LoadTaskBank(VEKTA_BANK_DIR);
        const std::string location = (dir_.path() + "/course.sqlite").toStdString();
        Database db(location);
        ASSERT_TRUE(db.AddAccount("Учитель", password::Hash(Utf8ToCp1251("пароль")),
                                  Database::Role::Teacher));
        ASSERT_TRUE(db.AddAccount("Иванов", password::Hash("student")));
        ASSERT_TRUE(db.AddAccount(kScriptName, password::Hash("x")));
        SubmissionRecord record;
        record.user = Utf8ToCp1251("Иванов");
        record.task = Utf8ToCp1251("Балка-1");
        record.payload = " X!A @=-5; Y!A @=7; R!B @=2,83;";
        record.verdicts = Utf8ToCp1251("X_A: верно; Y_A: неверно; R_B: верно");
        record.score = 2;
        record.total = 3;
        record.credited = 2;
        db.StoreSubmission(record);
        // Judged as a student's submission is: two answers right, the third not read.
        ASSERT_TRUE(db.AddAccount("Петров", password::Hash("student")));
        const BankTask* beam = bank_.Find(Utf8ToCp1251("Балка-1"));
        ASSERT_NE(beam, nullptr);
        const SubmissionRequest request{Utf8ToCp1251("Петров"),
                                        std::make_shared<const BankTask>(*beam),
                                        " X!A @=-5; Y!A @=5,83; R!B @=(;",
                                        {},
                                        {},
                                        {}};
        AnswerJudge judge;
        db.StoreSubmission(RecordOf(request, JudgeRequest(request, judge)));
        // A drawing on Иванов's own variant, the load left out.
        const BankTask* drawnTask = bank_.Find(Utf8ToCp1251("Балка-4"));
        ASSERT_NE(drawnTask, nullptr);
        const TaskVariant variant = VariantOf(*drawnTask, db.CourseSecret(), record.user);
        const SubmissionRequest drawn{record.user,
                                      std::make_shared<const BankTask>(variant.task),
                                      " Y!A @=1; R!B @=1; @DRAW=force 40 70 0 X!A;force 40 70 "
                                      "90 Y!A;force 280 70 90 R!B;",
                                      ExactValuesText(variant.values),
                                      {},
                                      {}};
        db.StoreSubmission(RecordOf(drawn, JudgeRequest(drawn, judge)));
        server_ = std::make_unique<WebServer>(bank_, StoreAddress{location, {}}, [] {
            return std::vector<LiveSession>{
                {kScriptName, "127.0.0.1 5000", "07.12.2026 10:00:00", "Балка-1", ""}};
        });
        ASSERT_TRUE(server_->Listen(QHostAddress::LocalHost, 0));
        port_ = server_->Port();
    }

    // Signs in as a browser does, with the form's token and its pre-session cookie, and
    // returns the session cookie ("vekta_session=...").
    QByteArray SignIn(const QByteArray& name, const QByteArray& password, HttpReply* reply = {}) {
        const HttpReply form = Exchange(port_, Get("/login"));
        const QByteArray token = FormToken(form);
        const QByteArray preSession = form.Header("Set-Cookie").split(';').front();
        const HttpReply signed_ =
            Exchange(port_, Post("/login",
                                 "name=" + name.toPercentEncoding() + "&password=" +
                                     password.toPercentEncoding() + "&token=" + token,
                                 preSession));
        if (reply != nullptr)
            *reply = signed_;
        const QByteArray cookie = signed_.Header("Set-Cookie").split(';').front();
        return cookie.startsWith("vekta_session=") ? cookie : QByteArray();
    }

    QTemporaryDir dir_;
    TaskBank bank_;
    std::unique_ptr<WebServer> server_;
    quint16 port_ = 0;
};

TEST_F(WebServerTest, OnlyATeacherWithTheFormsTokenSignsIn) {
    EXPECT_EQ(Exchange(port_, Get("/")).status, 303);
    EXPECT_EQ(Exchange(port_, Get("/")).Header("Location"), "/login");
    EXPECT_EQ(Exchange(port_, Get("/now", "vekta_session=made-up")).status, 303);

    const HttpReply form = Exchange(port_, Get("/login"));
    EXPECT_EQ(form.status, 200);
    EXPECT_FALSE(FormToken(form).isEmpty());
    // No token, or one never issued: refused before the password is looked at.
    EXPECT_EQ(Exchange(port_, Post("/login", "name=Иванов&password=student")).status, 403);
    EXPECT_EQ(Exchange(port_, Post("/login", "name=x&password=y&token=00ff")).status, 403);
    // The form's own token, but posted from another site's page (which sends no cookie of
    // this one), or with another browser's cookie: refused too.
    const QByteArray preSession = form.Header("Set-Cookie").split(';').front();
    EXPECT_TRUE(preSession.startsWith("vekta_signin=")) << preSession.toStdString();
    EXPECT_TRUE(form.Header("Set-Cookie").contains("SameSite=Strict"));
    const QByteArray teacherLogin = "name=Учитель&password=пароль&token=";
    EXPECT_EQ(Exchange(port_, Post("/login", teacherLogin + FormToken(form))).status, 403);
    const HttpReply theirs = Exchange(port_, Get("/login"));
    const HttpReply mine = Exchange(port_, Get("/login"));
    EXPECT_EQ(Exchange(port_, Post("/login", teacherLogin + FormToken(mine),
                                   theirs.Header("Set-Cookie").split(';').front()))
                  .status,
              403);
    // A browser that has the cookie keeps it, and forms from an address that asks for
    // hundreds do not push out another address's.
    const QByteArray kept = mine.Header("Set-Cookie").split(';').front();
    const HttpReply open = Exchange(port_, Get("/login", kept));
    EXPECT_TRUE(open.Header("Set-Cookie").isEmpty());
    for (int i = 0; i < 30; ++i)
        Exchange(port_, Get("/login"), {}, "127.0.0.2");
    EXPECT_EQ(Exchange(port_, Post("/login", teacherLogin + FormToken(open), kept)).status, 303);

    HttpReply student;
    EXPECT_TRUE(SignIn("Иванов", "student", &student).isEmpty());
    EXPECT_EQ(student.status, 403);
    HttpReply wrong;
    EXPECT_TRUE(SignIn("Учитель", "не тот", &wrong).isEmpty());
    EXPECT_EQ(wrong.status, 200);
    EXPECT_NE(wrong.Text().find("Неверное имя пользователя или пароль"), std::string::npos);

    HttpReply teacher;
    const QByteArray cookie = SignIn("Учитель", "пароль", &teacher);
    EXPECT_EQ(teacher.status, 303);
    EXPECT_EQ(teacher.Header("Location"), "/");
    const QByteArray flags = teacher.Header("Set-Cookie");
    EXPECT_TRUE(flags.contains("HttpOnly")) << flags.toStdString();
    EXPECT_TRUE(flags.contains("SameSite=Strict"));
    EXPECT_EQ(cookie.size(), QByteArray("vekta_session=").size() + 64);
    EXPECT_EQ(Exchange(port_, Get("/", cookie)).status, 200);
    EXPECT_EQ(Exchange(port_, Get("/login", cookie)).status, 303);

    // Signing out needs the session's own token.
    EXPECT_EQ(Exchange(port_, Post("/logout", "", cookie)).status, 403);
    const QByteArray token = FormToken(Exchange(port_, Get("/now", cookie)));
    EXPECT_EQ(Exchange(port_, Post("/logout", "token=" + token, cookie)).status, 303);
    EXPECT_EQ(Exchange(port_, Get("/", cookie)).status, 303);
}

// A teacher removed, or made a student, while signed in: the next request of any page
// ends the session, and the cookie stays dead when the account comes back.
TEST_F(WebServerTest, ASessionEndsOnceItsAccountIsNoTeachersAnyMore) {
    const std::string location = (dir_.path() + "/course.sqlite").toStdString();
    const auto demote = [&](Database& db) {
        db.RemoveAccount("Учитель");
        db.AddAccount("Учитель", password::Hash(Utf8ToCp1251("пароль")));
    };
    const auto remove = [](Database& db) { db.RemoveAccount("Учитель"); };
    for (const QByteArray path :
         {"/", "/student/Иванов", "/gradebook.csv", "/results.csv", "/stats", "/now"})
        for (const std::function<void(Database&)>& change :
             {std::function<void(Database&)>(demote), std::function<void(Database&)>(remove)}) {
            const QByteArray cookie = SignIn("Учитель", "пароль");
            ASSERT_EQ(Exchange(port_, Get(path, cookie)).status, 200) << path.toStdString();
            Database db(location);
            change(db);
            const HttpReply after = Exchange(port_, Get(path, cookie));
            EXPECT_EQ(after.status, 303) << path.toStdString();
            EXPECT_EQ(after.Header("Location"), "/login");
            EXPECT_TRUE(after.Header("Set-Cookie").contains("Max-Age=0"));
            db.RemoveAccount("Учитель");
            db.AddAccount("Учитель", password::Hash(Utf8ToCp1251("пароль")),
                          Database::Role::Teacher);
            EXPECT_EQ(Exchange(port_, Get(path, cookie)).status, 303) << path.toStdString();
        }
}

TEST_F(WebServerTest, MethodsAndSizesOutsideTheRulesAreRefused) {
    const QByteArray cookie = SignIn("Учитель", "пароль");
    ASSERT_FALSE(cookie.isEmpty());
    const HttpReply put = Exchange(port_, "PUT / HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(put.status, 405);
    EXPECT_EQ(put.Header("Allow"), "GET, POST");
    EXPECT_EQ(Exchange(port_, "DELETE /now HTTP/1.1\r\nHost: x\r\n\r\n").status, 405);
    EXPECT_EQ(Exchange(port_, Post("/", "a=b", cookie)).status, 405);
    EXPECT_EQ(Exchange(port_, Get("/student/Никто", cookie)).status, 404);
    EXPECT_EQ(Exchange(port_, Get("/task/..%2F..%2Fetc", cookie)).status, 404);

    const QByteArray large(70 * 1024, 'a');
    EXPECT_EQ(Exchange(port_, Post("/login", "name=" + large)).status, 413);
    // A request within the limit on a fresh connection is served as ever.
    EXPECT_EQ(Exchange(port_, Post("/login", "name=" + QByteArray(60 * 1024, 'a'))).status, 403);

    // A connection that sends nothing is closed after the idle time, and gives its place
    // back to the address it came from.
    WebServer quick(
        bank_, StoreAddress{(dir_.path() + "/course.sqlite").toStdString(), {}},
        [] { return std::vector<LiveSession>{}; }, WebLimits{1, 256, 300});
    ASSERT_TRUE(quick.Listen(QHostAddress::LocalHost, 0));
    QTcpSocket idle;
    bool closed = false;
    QObject::connect(&idle, &QTcpSocket::disconnected, [&] { closed = true; });
    idle.connectToHost("127.0.0.1", quick.Port());
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed; }, 5000));
    EXPECT_EQ(Exchange(quick.Port(), Get("/login")).status, 200);
}

TEST_F(WebServerTest, PagesShowTheCourseWithEveryNameEscaped) {
    const QByteArray cookie = SignIn("Учитель", "пароль");
    ASSERT_FALSE(cookie.isEmpty());
    const HttpReply book = Exchange(port_, Get("/", cookie));
    ASSERT_EQ(book.status, 200);
    const std::string html = book.Text();
    EXPECT_EQ(html.find(kScriptName), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("2/3"), std::string::npos); // Иванов's best at Балка-1
    // Two of three right is part of the task, however the third was judged.
    EXPECT_NE(
        html.find("<td class=\"part\" style=\"background:hsl(73,70%,84%)\" data-v=\"2\">2/3<br>"),
        std::string::npos);
    EXPECT_EQ(html.find("Учитель</a>"), std::string::npos); // a teacher is no row
    EXPECT_TRUE(book.Header("Content-Security-Policy").contains("default-src 'none'"));

    const HttpReply student =
        Exchange(port_, Get("/student/%D0%98%D0%B2%D0%B0%D0%BD%D0%BE%D0%B2", cookie));
    ASSERT_EQ(student.status, 200);
    EXPECT_NE(student.Text().find("X_A"), std::string::npos);
    EXPECT_NE(student.Text().find("2,83"), std::string::npos); // the answer as read
    EXPECT_NE(student.Text().find("неверно"), std::string::npos);
    // Of all the answers the task asks for, as the student was told.
    const HttpReply partly =
        Exchange(port_, Get("/student/" + QByteArray("Петров").toPercentEncoding(), cookie));
    EXPECT_NE(partly.Text().find("попытка 1 · верно 2 из 3"), std::string::npos) << partly.Text();
    EXPECT_EQ(Exchange(port_,
                       Get("/student/" + QByteArray::fromStdString(kScriptName).toPercentEncoding(),
                           cookie))
                  .status,
              200);

    const HttpReply task = Exchange(port_, Get("/task/%D0%91%D0%B0%D0%BB%D0%BA%D0%B0-1", cookie));
    ASSERT_EQ(task.status, 200);
    EXPECT_NE(task.Text().find("data:image/png;base64,iVBORw0KGgo"), std::string::npos);
    // The picture is whole, as the student sees it: under the diagram, its three answer
    // fields (white bands at the right, where neither statement nor diagram reaches).
    const QRegularExpression png("base64,([A-Za-z0-9+/=]+)");
    const QImage picture = QImage::fromData(
        QByteArray::fromBase64(png.match(QString::fromUtf8(task.body)).captured(1).toLatin1()));
    ASSERT_FALSE(picture.isNull());
    int fields = 0;
    for (int y = 1; y < picture.height(); ++y)
        fields += picture.pixel(picture.width() - 60, y) == qRgb(255, 255, 255) &&
                  picture.pixel(picture.width() - 60, y - 1) != qRgb(255, 255, 255);
    EXPECT_EQ(fields, 3);
    EXPECT_NE(task.Text().find("Эталон"), std::string::npos);
    // The wrong reading comes before the right ones.
    EXPECT_NE(task.Text().find(">7<"), std::string::npos);
    EXPECT_EQ(task.Text().find("Рисунки студентов"), std::string::npos);
    // A task with a drawn answer shows each student's newest drawing over their variant.
    const std::string drawings =
        Exchange(port_, Get("/task/" + QByteArray("Балка-4").toPercentEncoding(), cookie)).Text();
    const std::size_t heading = drawings.find("<h2>Рисунки студентов</h2>");
    ASSERT_NE(heading, std::string::npos) << drawings;
    EXPECT_NE(drawings.find(">Иванов</a></b>", heading), std::string::npos);
    EXPECT_NE(drawings.find("рисунок: <span class=\"bad\">неверно</span>", heading),
              std::string::npos);
    EXPECT_NE(drawings.find("<img class=\"drawing\"", heading), std::string::npos);
    // The statement's values in view; the diagram's helpers folded away.
    const HttpReply helped =
        Exchange(port_, Get("/task/" + QByteArray("Кронштейн-3").toPercentEncoding(), cookie));
    ASSERT_EQ(helped.status, 200);
    const std::string shown = helped.Text();
    const std::size_t values = shown.find("Значения варианта: P = ");
    const std::size_t folded = shown.find("<details><summary>Вспомогательные значения</summary>");
    ASSERT_NE(values, std::string::npos);
    ASSERT_NE(folded, std::string::npos);
    EXPECT_GT(shown.find("cx = "), folded);
    EXPECT_LT(shown.find("b = "), folded);

    const HttpReply now = Exchange(port_, Get("/now", cookie));
    ASSERT_EQ(now.status, 200);
    EXPECT_EQ(now.Text().find(kScriptName), std::string::npos);
    EXPECT_NE(now.Text().find("127.0.0.1 5000"), std::string::npos);

    const HttpReply csv = Exchange(port_, Get("/gradebook.csv", cookie));
    ASSERT_EQ(csv.status, 200);
    EXPECT_TRUE(csv.body.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(csv.body.contains("Балка-1 (из 3);"));
    EXPECT_TRUE(csv.body.contains("\r\nИванов;2;"));
    EXPECT_TRUE(csv.body.contains("\r\nПетров;2;"));
    EXPECT_TRUE(csv.Header("Content-Disposition").contains("attachment"));

    // The item statistics of the two students who sent, with their distributions drawn.
    const HttpReply stats = Exchange(port_, Get("/stats?best=1", cookie));
    ASSERT_EQ(stats.status, 200);
    EXPECT_NE(stats.Text().find("По лучшей засчитанной попытке"), std::string::npos);
    EXPECT_NE(stats.Text().find("Студентов: 2"), std::string::npos);
    EXPECT_NE(stats.Text().find("<svg class=\"histogram\""), std::string::npos);
    EXPECT_NE(stats.Text().find("меньше 30 студентов"), std::string::npos);

    const HttpReply results = Exchange(port_, Get("/results.csv", cookie));
    ASSERT_EQ(results.status, 200);
    EXPECT_TRUE(results.body.startsWith("\xEF\xBB\xBFid;user;task;received_utc;"));
    EXPECT_TRUE(results.body.contains(";Иванов;Балка-1;"));
    EXPECT_TRUE(results.Header("Content-Disposition").contains("results.csv"));
}

TEST(WebServerTlsTest, WithACertificateThePagesAreServedOverHttpsOnly) {
    if (QStandardPaths::findExecutable("openssl").isEmpty())
        GTEST_SKIP() << "openssl is not installed";
    QTemporaryDir dir;
    const QString cert = dir.filePath("cert.pem"), key = dir.filePath("key.pem");
    ASSERT_EQ(
        QProcess::execute("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                                      key, "-out", cert, "-days", "2", "-subj", "/CN=localhost",
                                      "-addext", "subjectAltName=DNS:localhost"}),
        0);
    const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    const std::string location = (dir.path() + "/course.sqlite").toStdString();
    {
        Database db(location);
        ASSERT_TRUE(db.AddAccount("Учитель", password::Hash(Utf8ToCp1251("пароль")),
                                  Database::Role::Teacher));
    }
    WebServer server(bank, {location, {}}, [] { return std::vector<LiveSession>{}; });
    server.UseTls(ServerTlsConfiguration(cert, key));
    ASSERT_TRUE(server.Listen(QHostAddress::LocalHost, 0));

    EXPECT_EQ(Exchange(server.Port(), Get("/"), cert).status, 303);
    EXPECT_EQ(Exchange(server.Port(), Get("/")).status, 0); // no answer in clear
    const HttpReply form = Exchange(server.Port(), Get("/login"), cert);
    EXPECT_TRUE(form.Header("Set-Cookie").contains("; Secure"));
    const HttpReply signedIn =
        Exchange(server.Port(),
                 Post("/login",
                      "name=" + QByteArray("Учитель").toPercentEncoding() + "&password=" +
                          QByteArray("пароль").toPercentEncoding() + "&token=" + FormToken(form),
                      form.Header("Set-Cookie").split(';').front()),
                 cert);
    EXPECT_EQ(signedIn.status, 303);
    EXPECT_TRUE(signedIn.Header("Set-Cookie").contains("; Secure"));
    EXPECT_EQ(Exchange(server.Port(), Post("/login", QByteArray(70 * 1024, 'a')), cert).status,
              413);

    // The connections over TLS are capped as those in clear: one from an address here.
    WebServer limited(
        bank, {location, {}}, [] { return std::vector<LiveSession>{}; }, WebLimits{1, 256, 30'000});
    limited.UseTls(ServerTlsConfiguration(cert, key));
    ASSERT_TRUE(limited.Listen(QHostAddress::LocalHost, 0));
    auto first = std::make_unique<QTcpSocket>();
    first->connectToHost("127.0.0.1", limited.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->state() == QAbstractSocket::ConnectedState; }));
    QTcpSocket second;
    bool closed = false;
    QObject::connect(&second, &QTcpSocket::disconnected, [&] { closed = true; });
    second.connectToHost("127.0.0.1", limited.Port());
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed; }, 3000));
    first.reset(); // its place is given back once the server sees it go
    int status = 0;
    for (int attempt = 0; attempt < 50 && status == 0; ++attempt) {
        QTest::qWait(20);
        status = Exchange(limited.Port(), Get("/"), cert).status;
    }
    EXPECT_EQ(status, 303);
}

} // namespace
