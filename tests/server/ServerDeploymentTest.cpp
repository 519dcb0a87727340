// The server as a course runs it: behind TLS, on a PostgreSQL server that restarts, and
// as two processes behind a TCP load balancer. PostgreSQL and the balancer are started
// by the tests themselves; a test is skipped where they are not installed.

#include "PostgresProcess.h"
#include "ServerProcess.h"
#include "platform/Cp1251.h"

#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

using platform::Utf8ToCp1251;

namespace {

const std::string kTask = Utf8ToCp1251("Балка-1");
const std::string kRightAnswers =
    " X!A @=-5; Y!A @=10*sin(pi/3)-(2*10*sin(pi/3)-6)/4; R!B @=(2*10*sin(pi/3)-6)/4;";

bool RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

} // namespace

TEST(ServerDeploymentTest, TheTestingPortSpeaksTlsOnly) {
    if (QStandardPaths::findExecutable("openssl").isEmpty())
        GTEST_SKIP() << "openssl is not installed";
    QTemporaryDir dir;
    const QString cert = dir.filePath("cert.pem"), key = dir.filePath("key.pem");
    ASSERT_TRUE(RunTool("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                                    "-out", cert, "-days", "2", "-subj", "/CN=localhost", "-addext",
                                    "subjectAltName=DNS:localhost"}));
    ServerProcess server({"--tls-cert", cert, "--tls-key", key});
    ASSERT_TRUE(server.Started());

    ProtocolClient secure(server.Port(), {}, true, cert);
    ASSERT_TRUE(secure.Encrypted());
    ASSERT_TRUE(secure.LogInAndOpen("Guest", "wuzo", kTask));
    secure.Send("SETRESULTQUEST", kRightAnswers);
    EXPECT_NE(MessageText(secure.Next()).find("Верно 3 из 3"), std::string::npos);

    // A client speaking the protocol in clear gets no answer and is closed.
    ProtocolClient plain(server.Port());
    plain.Send("LOGIN", "Guest;wuzo");
    EXPECT_EQ(ReadTag(plain.Next(3000)), "");

    // A key that does not read stops the server before it listens.
    QFile broken(dir.filePath("broken.pem"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a key");
    broken.close();
    EXPECT_FALSE(ServerProcess({"--tls-cert", cert, "--tls-key", broken.fileName()}).Started());
}

TEST(ServerDeploymentTest, StudentsAreToldTheTruthWhilePostgresqlRestartsAndServedAfter) {
    PostgresProcess postgres;
    if (!postgres.Available())
        GTEST_SKIP() << postgres.Why().toStdString();
    ASSERT_TRUE(postgres.Start());
    ServerProcess server({}, QString::fromStdString(postgres.Url()));
    ASSERT_TRUE(server.Started());
    ProtocolClient student(server.Port());
    ASSERT_TRUE(student.LogInAndOpen("Guest", "wuzo", kTask));

    ASSERT_TRUE(postgres.Stop());
    ProtocolClient late(server.Port());
    late.Send("LOGIN", "student;mechanics");
    const std::string refusal = MessageText(late.Next());
    EXPECT_NE(refusal.find("не может проверить вход"), std::string::npos) << refusal;
    student.Send("SETRESULTQUEST", kRightAnswers);
    const std::string notStored = MessageText(student.Next());
    EXPECT_NE(notStored.find("не может сохранять ответы"), std::string::npos) << notStored;

    ASSERT_TRUE(postgres.Start());
    // The server reconnects by itself; within its back-off the student is served again.
    bool stored = false;
    for (int attempt = 0; attempt < 100 && !stored; ++attempt) {
        student.Send("SETRESULTQUEST", kRightAnswers);
        stored = MessageText(student.Next()).find("Верно 3 из 3") != std::string::npos;
        if (!stored)
            QThread::msleep(100);
    }
    EXPECT_TRUE(stored);
    EXPECT_TRUE(server.Log().contains("connection lost")) << server.Log().toStdString();
    // Each of the server's database connections comes back within its own back-off: a new
    // login may be told for a moment that it cannot be checked, and gets in after that.
    bool loggedIn = false;
    for (int attempt = 0; attempt < 100 && !loggedIn; ++attempt) {
        ProtocolClient again(server.Port());
        loggedIn = again.LogInAndOpen("student", "mechanics", kTask);
        if (!loggedIn)
            QThread::msleep(100);
    }
    EXPECT_TRUE(loggedIn);
}

TEST(ServerDeploymentTest, TwoServersBehindABalancerServeOneCourseAndStoreEachAnswerOnce) {
    PostgresProcess postgres;
    if (!postgres.Available())
        GTEST_SKIP() << postgres.Why().toStdString();
    const QString haproxy = QStandardPaths::findExecutable("haproxy", {"/usr/sbin", "/usr/bin"});
    if (haproxy.isEmpty())
        GTEST_SKIP() << "haproxy is not installed";
    ASSERT_TRUE(postgres.Start());
    const QString url = QString::fromStdString(postgres.Url());
    const QStringList proxied{"--proxy-from", "127.0.0.1"};
    ServerProcess first(proxied, url);
    ServerProcess second(proxied, url);
    ASSERT_TRUE(first.Started() && second.Started());
    constexpr int kStudents = 24;
    QByteArray accounts;
    for (int i = 0; i < kStudents; ++i)
        accounts += QString("s%1;p%1\n").arg(i).toUtf8();
    QTemporaryDir dir;
    QFile list(dir.filePath("students.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(accounts);
    list.close();
    first.RunCommand({"user", "import", list.fileName()});

    const quint16 port = FreePort();
    QFile config(dir.filePath("haproxy.cfg"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QString("defaults\n  mode tcp\n  timeout connect 5s\n  timeout client 60s\n"
                         "  timeout server 60s\n"
                         "frontend students\n  bind 127.0.0.1:%1\n  default_backend servers\n"
                         "backend servers\n  balance roundrobin\n"
                         "  server first 127.0.0.1:%2 send-proxy-v2\n"
                         "  server second 127.0.0.1:%3 send-proxy-v2\n")
                     .arg(port)
                     .arg(first.Port())
                     .arg(second.Port())
                     .toUtf8());
    config.close();
    QProcess balancer;
    balancer.start(haproxy, {"-db", "-f", config.fileName()});
    ASSERT_TRUE(balancer.waitForStarted());
    std::unique_ptr<ProtocolClient> probe;
    for (int attempt = 0; attempt < 100 && (probe == nullptr || !probe->Connected()); ++attempt) {
        QThread::msleep(50);
        probe = std::make_unique<ProtocolClient>(port);
    }

    std::map<std::string, int> acknowledged;
    for (int i = 0; i < kStudents; ++i) {
        const std::string name = "s" + std::to_string(i);
        ProtocolClient student(port, QString("127.0.1.%1").arg(10 + i));
        ASSERT_TRUE(student.LogInAndOpen(name, "p" + std::to_string(i), kTask)) << i;
        for (int k = 0; k < 2; ++k) {
            student.Send("SETRESULTQUEST", kRightAnswers);
            if (MessageText(student.Next()).find("Верно 3 из 3") != std::string::npos)
                ++acknowledged[name];
        }
    }
    balancer.kill();
    balancer.waitForFinished();

    // Both served, each saw the students' own addresses, and every acknowledged answer
    // is stored exactly once.
    for (ServerProcess* server : {&first, &second}) {
        const QString log = server->Log();
        EXPECT_TRUE(log.contains("login: s")) << log.toStdString();
        EXPECT_TRUE(log.contains("127.0.1.")) << log.toStdString();
    }
    std::map<std::string, int> stored;
    const QStringList rows = QString::fromStdString(first.RunCommand({"results"})).split('\n');
    for (const QString& row : rows.mid(1))
        if (!row.isEmpty())
            ++stored[row.section(',', 1, 1).toStdString()];
    EXPECT_EQ(stored, acknowledged);
    EXPECT_EQ(acknowledged.size(), static_cast<std::size_t>(kStudents));
}
