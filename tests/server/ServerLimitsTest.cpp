// The limits the real server keeps on its clients, over real sockets: what one student,
// one address or a crowd of connections can take, and what they cannot stall.

#include "ServerProcess.h"
#include "platform/Cp1251.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <map>
#include <memory>
#include <set>
#include <vector>

using platform::Utf8ToCp1251;

namespace {

const std::string kTask = Utf8ToCp1251("Балка-1");

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The submissions the database holds (rows of the results CSV).
int StoredCount(const ServerProcess& server) {
    const std::string csv = server.RunCommand({"results"});
    return static_cast<int>(std::count(csv.begin(), csv.end(), '\n')) - 1;
}

// CPU time the process has used, in clock ticks.
long long CpuTicks(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
    return fields.value(12).toLongLong() + fields.value(13).toLongLong(); // utime, stime
}

// The failed logins the database has counted under a pacing key.
int CountedFailures(const QString& database, const QString& key) {
    int failures = 0;
    {
        QSqlDatabase store = QSqlDatabase::addDatabase("QSQLITE", "pacing");
        store.setDatabaseName(database);
        if (store.open()) {
            QSqlQuery query(store);
            query.prepare("SELECT failures FROM login_pacing WHERE pace_key = ?");
            query.addBindValue(key);
            if (query.exec() && query.next())
                failures = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("pacing");
    return failures;
}

// One HTTP request on a connection of its own, from `from`; the whole reply.
QByteArray HttpExchange(quint16 port, const QByteArray& request, const QString& from = {}) {
    QTcpSocket socket;
    if (!from.isEmpty())
        socket.bind(QHostAddress(from));
    socket.connectToHost("127.0.0.1", port);
    if (!socket.waitForConnected(10000))
        return {};
    socket.write(request);
    QByteArray reply;
    while (socket.waitForReadyRead(10000)) {
        reply += socket.readAll();
        const qsizetype end = reply.indexOf("\r\n\r\n");
        const QRegularExpression length("Content-Length: *(\\d+)",
                                        QRegularExpression::CaseInsensitiveOption);
        const auto found = length.match(QString::fromLatin1(reply.left(end)));
        if (end >= 0 && found.hasMatch() && reply.size() - end - 4 >= found.captured(1).toInt())
            break;
    }
    return reply;
}

// Signs in to the web pages as a browser would: the form, its cookie and token, the post.
QByteArray WebSignIn(quint16 port, const QByteArray& name, const QByteArray& password,
                     const QString& from = {}, const QByteArray& deviceCookie = {}) {
    const QByteArray form = HttpExchange(port, "GET /login HTTP/1.1\r\nHost: x\r\n\r\n", from);
    const QString text = QString::fromUtf8(form);
    const QString token =
        QRegularExpression("name=\"token\" value=\"([0-9a-f]+)\"").match(text).captured(1);
    const QString cookie = QRegularExpression("Set-Cookie: ([^;\r]+)").match(text).captured(1);
    const QByteArray body = "name=" + name.toPercentEncoding() +
                            "&password=" + password.toPercentEncoding() +
                            "&token=" + token.toLatin1();
    return HttpExchange(port,
                        "POST /login HTTP/1.1\r\nHost: x\r\nContent-Type: "
                        "application/x-www-form-urlencoded\r\nContent-Length: " +
                            QByteArray::number(body.size()) + "\r\nCookie: " + cookie.toLatin1() +
                            (deviceCookie.isEmpty() ? QByteArray() : "; " + deviceCookie) +
                            "\r\n\r\n" + body,
                        from);
}

} // namespace

TEST(ServerLimitsTest, ThirtyTwoConnectionsPerAddressAndNoOversizedFrames) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    std::vector<std::unique_ptr<ProtocolClient>> clients;
    for (int i = 0; i < 32; ++i) {
        clients.push_back(std::make_unique<ProtocolClient>(server.Port()));
        clients.back()->Send("GETQUESTLIST", "1");
        ASSERT_EQ(ReadTag(clients.back()->Next()), "RELOG") << i;
    }
    ProtocolClient extra(server.Port());
    EXPECT_TRUE(extra.ClosedByServer());

    // One leaves, and there is room again once the server has seen it go.
    clients.pop_back();
    std::unique_ptr<ProtocolClient> next;
    for (int attempt = 0; attempt < 100 && next == nullptr; ++attempt) {
        next = std::make_unique<ProtocolClient>(server.Port());
        next->Send("LOGIN", "Guest;wuzo");
        if (ReadTag(next->Next()) != "MESSAGE")
            next.reset();
    }
    ASSERT_NE(next, nullptr);
    next->Send("SETRESULTQUEST", std::string(2 << 20, 'x'));
    EXPECT_TRUE(next->ClosedByServer());

    // Before logging in, a frame over 1 KB ends the connection.
    ProtocolClient early(server.Port());
    early.Send("LOGIN", std::string(2000, 'x'));
    EXPECT_TRUE(early.ClosedByServer());
}

TEST(ServerLimitsTest, OneStudentsSubmissionsArePacedAndOnlyUsableOnesAreStored) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    ProtocolClient client(server.Port());
    client.Send("LOGIN", "Guest;wuzo");
    client.Next();
    client.Send("SETRESULTQUEST", " X!A @=-5;");
    EXPECT_TRUE(Contains(MessageText(client.Next()), "сначала откройте задание"));
    client.Send("GETQUEST", kTask);
    ASSERT_EQ(ReadTag(client.Next()), "QUEST");
    client.Send("SETRESULTQUEST", " X!A @=" + std::string(17 * 1024, '1') + ";");
    EXPECT_TRUE(Contains(MessageText(client.Next()), "длиннее 16 КБ"));

    // A burst of five goes; the sixth, from another connection of the same student, waits.
    for (int i = 0; i < 5; ++i) {
        client.Send("SETRESULTQUEST", " X!A @=-5;");
        EXPECT_TRUE(Contains(MessageText(client.Next()), "Верно")) << i;
    }
    ProtocolClient second(server.Port());
    ASSERT_TRUE(second.LogInAndOpen("Guest", "wuzo", kTask));
    second.Send("SETRESULTQUEST", " X!A @=-5;");
    EXPECT_EQ(MessageText(second.Next()), "Подождите 3 с перед следующей отправкой");
    EXPECT_EQ(StoredCount(server), 5);
}

namespace {

void WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A bank of one heavy task with two accounts: 50 rows, each with a reference answer as
// long as an author may write it, equal to sqrt(x-4.55)*x, which has a value only at
// one draw in ten, so judging a right answer evaluates it at over a hundred draws per
// row: far longer than a budget of a few milliseconds.
void WriteHeavyBank(const QString& folder) {
    QDir(folder).mkpath("statica");
    std::string reference = "sqrt(x-4.55)*(x+0*(x";
    while (reference.size() < 1900)
        reference += "+sin(x)*x";
    reference += "))";
    std::string names, references;
    for (int row = 0; row < 50; ++row) {
        names += "A!" + std::to_string(row) + ";";
        references += reference + ";";
    }
    WriteFile(folder + "/statica/heavy.task",
              "<CAPTION>heavy</CAPTION>\n<QUEST>x</QUEST>\n<REQUEST>" + names +
                  "</REQUEST>\n<ANSWER>" + references + "</ANSWER>\n<VARIABLES>x;</VARIABLES>\n");
    WriteFile(folder + "/users.txt", "Ivanov;p1\nPetrov;p2\n");
}

} // namespace

// A judgement over its budget stops on the judge thread and is answered as too complex;
// it is not stored and uses no attempt, and other students are served meanwhile.
TEST(ServerLimitsTest, AJudgementOverItsBudgetIsAnsweredAsTooComplexAndNotStored) {
    QTemporaryDir bank;
    WriteHeavyBank(bank.path());
    ServerProcess server(
        {"--bank", bank.path(), "--submission-interval", "0", "--judge-budget", "2"});
    ASSERT_TRUE(server.Started()) << server.Log().toStdString();
    ProtocolClient heavy(server.Port());
    ASSERT_TRUE(heavy.LogInAndOpen("Ivanov", "p1", "heavy")) << server.Log().toStdString();
    ProtocolClient other(server.Port(), "127.0.0.2");
    other.Send("LOGIN", "Petrov;p2");
    ASSERT_EQ(ReadTag(other.Next()), "MESSAGE");

    std::string answers;
    for (int row = 0; row < 50; ++row)
        answers += " A!" + std::to_string(row) + " @=sqrt(x-4.55)*x;";
    for (int i = 0; i < 3; ++i) {
        heavy.Send("SETRESULTQUEST", answers);
        other.Send("GETQUESTLIST", "1");
        EXPECT_EQ(ReadTag(other.Next()), "QUESTLIST") << i;
        EXPECT_EQ(MessageText(heavy.Next()), "не принято: выражение слишком сложное") << i;
    }
    EXPECT_EQ(StoredCount(server), 0);
    EXPECT_TRUE(server.Log().contains("judging ran out of time")) << server.Log().toStdString();
}

namespace {

// Four logins of one account, the i-th on the server of ports[i]: the oldest connection
// is told why and closed by its server, and the other three are served on. The first
// client reads BYE, so it is told with BYE "evicted"; a fifth login then evicts the second,
// which does not, and is told with a MESSAGE.
void FourthLoginClosesTheOldest(const std::array<quint16, 4>& ports) {
    const std::string evicted = "Под этим именем вошли с другого компьютера.";
    std::vector<std::unique_ptr<ProtocolClient>> clients;
    for (int i = 0; i < 4; ++i) {
        clients.push_back(std::make_unique<ProtocolClient>(ports[i]));
        if (i == 0)
            clients.back()->Send("FEATURES", "bye");
        clients.back()->Send("LOGIN", "Guest;wuzo");
        ASSERT_EQ(ReadTag(clients.back()->Next()), "MESSAGE") << i;
    }
    const std::string bye = clients[0]->Next();
    ASSERT_EQ(KindOf(bye), MessageKind::Bye) << bye;
    EXPECT_EQ(ReadBye(PayloadOf(bye)).reason, "evicted");
    EXPECT_EQ(platform::Cp1251ToUtf8(ReadBye(PayloadOf(bye)).text), evicted);
    EXPECT_TRUE(clients[0]->ClosedByServer());
    for (int i = 1; i < 4; ++i) {
        clients[i]->Send("GETQUESTLIST", "1");
        EXPECT_EQ(ReadTag(clients[i]->Next()), "QUESTLIST") << i;
    }
    ProtocolClient fifth(ports[0]);
    fifth.Send("LOGIN", "Guest;wuzo");
    ASSERT_EQ(ReadTag(fifth.Next()), "MESSAGE");
    EXPECT_EQ(MessageText(clients[1]->Next()), evicted);
    EXPECT_TRUE(clients[1]->ClosedByServer());
}

} // namespace

TEST(ServerLimitsTest, AFourthLoginOfOneAccountClosesItsOldestConnection) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    FourthLoginClosesTheOldest({server.Port(), server.Port(), server.Port(), server.Port()});
}

TEST(ServerLimitsTest, TwoServersOnOneDatabaseShareTheAccountLimitAndLoginPacing) {
    ServerProcess first;
    ASSERT_TRUE(first.Started());
    ServerProcess second({}, first.DatabasePath());
    ASSERT_TRUE(second.Started());

    // Three connections of one account on the first server, a fourth on the second: the
    // first server closes its oldest.
    FourthLoginClosesTheOldest({first.Port(), first.Port(), first.Port(), second.Port()});

    // Guessing one account's password on the first server from one address paces the
    // guesses at that account on the second server, from another address too. Each
    // refusal is counted in the database before it is answered, so a burst across
    // processes meets the pacing at once.
    ProtocolClient guesser(first.Port(), "127.0.0.2");
    for (int i = 0; i < 5; ++i) {
        guesser.Send("LOGIN", "student;guess" + std::to_string(i));
        const std::string refusal = MessageText(guesser.Next());
        ASSERT_NE(refusal.find("Неверное имя"), std::string::npos) << i << refusal;
        ASSERT_EQ(ReadTag(guesser.Next()), "RELOG");
        ASSERT_EQ(CountedFailures(first.DatabasePath(), "account student"), i + 1);
        ASSERT_EQ(CountedFailures(first.DatabasePath(), "address 127.0.0.2"), i + 1);
    }
    ProtocolClient elsewhere(second.Port(), "127.0.0.3");
    for (int i = 0; i < 3; ++i) {
        elsewhere.Send("LOGIN", "student;again" + std::to_string(i));
        ASSERT_NE(MessageText(elsewhere.Next()).find("Неверное имя"), std::string::npos) << i;
        ASSERT_EQ(ReadTag(elsewhere.Next()), "RELOG");
    }
    EXPECT_TRUE(second.Log().contains("login attempts paced")) << second.Log().toStdString();
}

TEST(ServerLimitsTest, ClientsThatDripBytesAreClosedByTheDeadlines) {
    ServerProcess server({"--login-deadline", "1"});
    ASSERT_TRUE(server.Started());
    ProtocolClient silent(server.Port());
    ProtocolClient dripping(server.Port());
    dripping.SendRaw("<LOG");
    ProtocolClient halfHeader(server.Port());
    ASSERT_TRUE(halfHeader.LogInAndOpen("Guest", "wuzo", kTask));
    halfHeader.SendRaw("<GETQUES");
    ProtocolClient working(server.Port());
    working.Send("LOGIN", "student;mechanics");
    ASSERT_EQ(ReadTag(working.Next()), "MESSAGE");
    // One more byte does not restart the clock.
    QThread::msleep(500);
    dripping.SendRaw("I");

    EXPECT_TRUE(silent.ClosedByServer());
    EXPECT_TRUE(dripping.ClosedByServer());
    EXPECT_TRUE(halfHeader.ClosedByServer());
    // A student who logged in and sends whole frames stays.
    working.Send("GETQUESTLIST", "1");
    EXPECT_EQ(ReadTag(working.Next()), "QUESTLIST");
    EXPECT_TRUE(working.Connected());
}

TEST(ServerLimitsTest, AHeldDatabaseLockStallsOnlyTheStudentWhoSubmits) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    ProtocolClient submitter(server.Port());
    ASSERT_TRUE(submitter.LogInAndOpen("Guest", "wuzo", kTask));
    {
        QSqlDatabase lock = QSqlDatabase::addDatabase("QSQLITE", "lock");
        lock.setDatabaseName(server.DatabasePath());
        ASSERT_TRUE(lock.open());
        QSqlQuery begin(lock);
        ASSERT_TRUE(begin.exec("BEGIN IMMEDIATE"));

        submitter.Send("SETRESULTQUEST", " X!A @=-5;");
        // Another student logs in, lists and opens tasks while the submission waits.
        ProtocolClient other(server.Port());
        ASSERT_TRUE(other.LogInAndOpen("student", "mechanics", kTask));
        other.Send("GETQUESTLIST", "1");
        EXPECT_EQ(ReadTag(other.Next()), "QUESTLIST");
        EXPECT_FALSE(submitter.Pending(0));

        QSqlQuery rollback(lock);
        rollback.exec("ROLLBACK");
        lock.close();
    }
    QSqlDatabase::removeDatabase("lock");
    EXPECT_EQ(ReadTag(submitter.Next()), "MESSAGE");
}

TEST(ServerLimitsTest, ConnectionsBeyondTheDescriptorLimitAreRefusedWithoutSpinning) {
    // 128 descriptors leave room for 64 connections.
    ServerProcess server({}, {}, {"prlimit", "--nofile=128:128", "--"});
    ASSERT_TRUE(server.Started());
    std::vector<std::unique_ptr<ProtocolClient>> crowd;
    for (int i = 0; i < 80; ++i)
        crowd.push_back(std::make_unique<ProtocolClient>(
            server.Port(), QString("127.0.%1.%2").arg(1 + i / 30).arg(2 + i % 30)));
    EXPECT_TRUE(crowd.back()->ClosedByServer());
    const long long before = CpuTicks(server.Pid());
    // More knock while the server is full; they are turned away, not left hanging.
    for (int i = 0; i < 20; ++i) {
        ProtocolClient more(server.Port(), "127.0.9.9");
        EXPECT_TRUE(more.ClosedByServer()) << i;
    }
    QThread::msleep(1000);
    EXPECT_LT(CpuTicks(server.Pid()) - before, 50) << "the full server kept the processor busy";

    // Once some leave, a student gets in.
    crowd.erase(crowd.begin(), crowd.begin() + 10);
    std::unique_ptr<ProtocolClient> student;
    for (int attempt = 0; attempt < 100 && student == nullptr; ++attempt) {
        student = std::make_unique<ProtocolClient>(server.Port(), "127.0.9.10");
        student->Send("LOGIN", "Guest;wuzo");
        if (ReadTag(student->Next()) != "MESSAGE")
            student.reset();
    }
    EXPECT_NE(student, nullptr);
    EXPECT_LE(server.Log().count("refused a connection"), 8) << "refusals are logged rarely";
}

// Idle connections on the web port take no more than their share: 16 from one address,
// and three quarters of the descriptors in all, so that students still log in.
TEST(ServerLimitsTest, TheWebPortCannotTakeTheDescriptorsStudentsNeed) {
    // 128 descriptors leave room for 64 connections, 48 of them for the web pages.
    ServerProcess server({"--web", "127.0.0.1:0"}, {}, {"prlimit", "--nofile=128:128", "--"});
    ASSERT_TRUE(server.Started());
    ASSERT_NE(server.WebPort(), 0);
    std::vector<std::unique_ptr<ProtocolClient>> idle;
    auto open = [&](const QString& from) {
        idle.push_back(std::make_unique<ProtocolClient>(server.WebPort(), from));
        return idle.back().get();
    };
    for (int i = 0; i < 16; ++i)
        open("127.0.3.1");
    EXPECT_TRUE(open("127.0.3.1")->ClosedByServer()) << "a 17th from one address";
    for (int address = 2; address <= 3; ++address)
        for (int i = 0; i < 16; ++i)
            open(QString("127.0.3.%1").arg(address));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(open("127.0.3.9")->ClosedByServer()) << "past the web's share " << i;
    EXPECT_FALSE(idle.front()->ClosedByServer(200)); // those within the caps stay
    for (int i = 0; i < 10; ++i) {
        ProtocolClient student(server.Port(), QString("127.0.4.%1").arg(i + 1));
        student.Send("LOGIN", "Guest;wuzo");
        EXPECT_EQ(ReadTag(student.Next()), "MESSAGE") << i;
    }
    const QString log = server.Log();
    EXPECT_TRUE(log.contains("web: 127.0.3.1: refused")) << log.toStdString();
    EXPECT_TRUE(log.contains("the most the web pages take")) << log.toStdString();
    EXPECT_LE(log.count("web: "), 4) << "refusals are logged at most once a second";
}

// Names with line breaks, from the web's sign-in and from the testing port, cannot write
// a line of their own into the log.
TEST(ServerLimitsTest, ANameFromOutsideCannotForgeALogLine) {
    ServerProcess server({"--web", "127.0.0.1:0"});
    ASSERT_TRUE(server.Started());
    for (const QByteArray& name :
         {QByteArray("x\nlogin: ivanov"), QByteArray("x\r\nlogin: ivanov"),
          QString("x\u2028login: ivanov").toUtf8(), QString("x\u0085login: ivanov").toUtf8()}) {
        EXPECT_TRUE(WebSignIn(server.WebPort(), name, "p").contains("200 OK"))
            << name.toStdString();
        ProtocolClient client(server.Port());
        client.Send("LOGIN", name.toStdString() + ";p");
        client.Next();
    }
    const QString log = server.Log();
    EXPECT_TRUE(log.contains("sign-in refused for x?login: ivanov")) << log.toStdString();
    EXPECT_TRUE(log.contains("sign-in refused for x??login: ivanov")) << log.toStdString();
    for (const QString& line : log.split('\n'))
        EXPECT_FALSE(line.startsWith("login: ") || line.contains(QChar(0x2028)) ||
                     line.contains(QChar(0x85)))
            << line.toStdString();
}

// A store that cannot write, as on a full disk: students are told so, failed logins still
// pace (in the server's memory), and the log does not repeat the failure at every request.
TEST(ServerLimitsTest, AStoreThatCannotWriteStillPacesGuessesAndKeepsTheLogShort) {
    ServerProcess server({"--submission-interval", "0"});
    ASSERT_TRUE(server.Started());
    ProtocolClient student(server.Port(), "127.0.5.1");
    ASSERT_TRUE(student.LogInAndOpen("Guest", "wuzo", kTask));
    {
        QSqlDatabase store = QSqlDatabase::addDatabase("QSQLITE", "full");
        store.setDatabaseName(server.DatabasePath());
        ASSERT_TRUE(store.open());
        QSqlQuery query(store);
        for (const char* table : {"submissions", "submission_pacing", "login_pacing"})
            for (const char* change : {"INSERT", "UPDATE"})
                ASSERT_TRUE(query.exec(QString("CREATE TRIGGER full_%1_%2 BEFORE %2 ON %1 BEGIN "
                                               "SELECT RAISE(ABORT, 'database or disk is full'); "
                                               "END")
                                           .arg(table, change)));
    }
    QSqlDatabase::removeDatabase("full");
    for (int i = 0; i < 40; ++i) {
        student.Send("SETRESULTQUEST", " X!A @=-5;");
        EXPECT_TRUE(Contains(MessageText(student.Next()), "не удалось сохранить")) << i;
    }
    ProtocolClient guesser(server.Port(), "127.0.5.2");
    for (int i = 0; i < 8; ++i) {
        guesser.Send("LOGIN", "Guest;wrong");
        std::string tag;
        while (tag != "RELOG") {
            tag = ReadTag(guesser.Next());
            ASSERT_FALSE(tag.empty()) << i;
        }
    }
    // A second later the failure is logged again, with the count of the lines left out.
    student.Send("SETRESULTQUEST", " X!A @=-5;");
    EXPECT_TRUE(Contains(MessageText(student.Next()), "не удалось сохранить"));
    const QString log = server.Log();
    EXPECT_TRUE(log.contains("login attempts paced")) << log.toStdString();
    EXPECT_LE(log.count("database or disk is full"), 6) << log.toStdString();
    EXPECT_TRUE(log.contains("left out")) << log.toStdString();
}

TEST(ServerLimitsTest, AClientThatReadsNoRepliesIsDroppedPastTheBudget) {
    ServerProcess server({"--reply-budget", "1"});
    ASSERT_TRUE(server.Started());
    ProtocolClient reader(server.Port());
    reader.Send("LOGIN", "student;mechanics");
    ASSERT_EQ(ReadTag(reader.Next()), "MESSAGE");
    ProtocolClient hoarder(server.Port());
    hoarder.Send("LOGIN", "Guest;wuzo");
    std::string requests;
    for (int i = 0; i < 20000; ++i)
        requests += BuildFrame("GETQUEST", kTask);
    hoarder.SendRaw(requests);
    EXPECT_TRUE(hoarder.ClosedByServer());
    reader.Send("GETQUESTLIST", "1");
    EXPECT_EQ(ReadTag(reader.Next()), "QUESTLIST");
    EXPECT_TRUE(server.Log().contains("replies not read")) << server.Log().toStdString();
}

TEST(ServerLimitsTest, TwoServersStartedTogetherOnANewSqliteFileBothServe) {
    for (int run = 0; run < 3; ++run) {
        QTemporaryDir dir;
        const QString database = dir.filePath("new.sqlite");
        std::vector<std::unique_ptr<QProcess>> servers;
        for (int k = 0; k < 2; ++k) {
            servers.push_back(std::make_unique<QProcess>());
            servers.back()->start(VEKTA_SERVER_PATH, {"--port", "0", "--listen", "127.0.0.1",
                                                      "--bank", VEKTA_BANK_DIR, "--db", database});
        }
        for (auto& process : servers) {
            ASSERT_TRUE(process->waitForReadyRead(10000))
                << run << ": " << process->readAllStandardError().toStdString();
            const quint16 port = static_cast<quint16>(
                QString(process->readLine()).trimmed().section(' ', -1).toUInt());
            ProtocolClient client(port);
            client.Send("LOGIN", "Guest;wuzo");
            EXPECT_EQ(ReadTag(client.Next()), "MESSAGE") << run;
            process->kill();
            process->waitForFinished();
        }
    }
}

// SIGTERM while 20 students submit as fast as they may: what is under way is judged,
// stored and answered, nothing new is started, every student is told why the connection
// ends (BYE to those that announced it, a MESSAGE to the others), and the server exits 0
// within its grace. Every answered submission is stored once; none is stored unanswered.
TEST(ServerLimitsTest, ASignalStopsTheServerGracefullyWithEveryAnsweredSubmissionStored) {
    ServerProcess server({"--submission-interval", "0", "--stop-grace", "8"});
    ASSERT_TRUE(server.Started());
    constexpr int kStudents = 20;
    QByteArray accounts;
    for (int i = 0; i < kStudents; ++i)
        accounts += QString("st%1;pw%1\n").arg(i).toUtf8();
    QTemporaryDir dir;
    QFile list(dir.filePath("students.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(accounts);
    list.close();
    server.RunCommand({"user", "import", list.fileName()});

    std::vector<std::unique_ptr<ProtocolClient>> students;
    for (int i = 0; i < kStudents; ++i) {
        students.push_back(std::make_unique<ProtocolClient>(server.Port()));
        students[i]->KeepFeaturesAside(false);
        ASSERT_EQ(KindOf(students[i]->Next()), MessageKind::Features) << i;
        if (i % 2 == 0) // half read BYE
            students[i]->SendRaw(WriteFeatures({{{"bye", ""}}}));
        ASSERT_TRUE(
            students[i]->LogInAndOpen("st" + std::to_string(i), "pw" + std::to_string(i), kTask))
            << i;
    }
    // Each submission of a student is told apart by a term that changes nothing.
    int sent = 0;
    auto submit = [&](ProtocolClient& student) {
        student.SendRaw(WriteSubmission(" X!A @=-5+0*" + std::to_string(++sent) +
                                        "; Y!A @=10*sin(pi/3)-(2*10*sin(pi/3)-6)/4;"
                                        " R!B @=(2*10*sin(pi/3)-6)/4;"));
    };
    std::map<std::string, int> answered;
    for (int i = 0; i < kStudents; ++i) {
        submit(*students[i]);
        ASSERT_TRUE(Contains(MessageText(students[i]->Next()), "Верно 3 из 3")) << i;
        ++answered["st" + std::to_string(i)];
    }
    // Two more each go out at once; the signal comes once half the students have had the
    // first of them answered.
    for (int round = 0; round < 2; ++round)
        for (auto& student : students)
            submit(*student);
    for (int i = 0; i < kStudents / 2; ++i) {
        ASSERT_TRUE(Contains(MessageText(students[i]->Next()), "Верно 3 из 3")) << i;
        ++answered["st" + std::to_string(i)];
    }
    QElapsedTimer clock;
    clock.start();
    server.Signal(SIGTERM);

    const std::string stopping = "Сервер остановлен. Ответы сохранены; войдите снова позже.";
    for (int i = 0; i < kStudents; ++i) {
        bool told = false;
        for (std::string frame = students[i]->Next(); !frame.empty(); frame = students[i]->Next()) {
            EXPECT_FALSE(told) << i << ": nothing comes after the goodbye";
            if (KindOf(frame) == MessageKind::Bye) {
                EXPECT_EQ(i % 2, 0) << i;
                const ByeMessage bye = ReadBye(PayloadOf(frame));
                EXPECT_EQ(bye.reason, "stopping");
                EXPECT_EQ(platform::Cp1251ToUtf8(bye.text), stopping);
                told = true;
            } else if (MessageText(frame) == stopping) {
                EXPECT_EQ(i % 2, 1) << i;
                told = true;
            } else {
                EXPECT_TRUE(Contains(MessageText(frame), "Верно 3 из 3")) << MessageText(frame);
                ++answered["st" + std::to_string(i)];
            }
        }
        EXPECT_TRUE(told) << i;
        EXPECT_TRUE(students[i]->ClosedByServer(1000)) << i;
    }
    EXPECT_EQ(server.WaitForExit(10000), 0) << server.Log().toStdString();
    EXPECT_LT(clock.elapsed(), 8000 + 2000);
    EXPECT_TRUE(server.Log().contains("stopped")) << server.Log().toStdString();

    std::map<std::string, int> stored;
    std::set<std::string> payloads;
    const QStringList rows = QString::fromStdString(server.RunCommand({"results"})).split('\n');
    for (const QString& row : rows.mid(1)) {
        if (row.isEmpty())
            continue;
        ++stored[row.section(',', 1, 1).toStdString()];
        const QString payload = row.section("-5+0*", 1).section(';', 0, 0);
        EXPECT_TRUE(payloads.insert(payload.toStdString()).second)
            << "stored twice: " << payload.toStdString();
    }
    EXPECT_EQ(stored, answered);
}

// A client that reads nothing keeps its connection from closing: the stop ends when its
// grace has passed, still with exit 0, or at once with exit 1 on a second signal.
TEST(ServerLimitsTest, AStopHeldUpByAClientEndsWithItsGraceOrASecondSignal) {
    for (const bool second : {false, true}) {
        ServerProcess server({"--stop-grace", second ? "60" : "1"});
        ASSERT_TRUE(server.Started());
        ProtocolClient hoarder(server.Port());
        hoarder.Send("LOGIN", "Guest;wuzo");
        ASSERT_EQ(KindOf(hoarder.Next()), MessageKind::Text);
        hoarder.SendRaw(WriteTaskRequest(kTask));
        const std::size_t reply = hoarder.Next().size();
        ASSERT_GT(reply, 0u);
        // About 6 MiB of replies: more than the network's buffers take, less than the
        // budget of unread replies that would close the connection.
        std::string requests;
        for (std::size_t i = 0; i < (6u << 20) / reply; ++i)
            requests += WriteTaskRequest(kTask);
        hoarder.SendRaw(requests);
        // The replies fill the network's buffers, so the stop is held up.
        ASSERT_TRUE(hoarder.WaitUntilRepliesBackUp());
        QElapsedTimer clock;
        clock.start();
        server.Signal(SIGTERM);
        if (second) {
            QThread::msleep(300);
            server.Signal(SIGTERM);
        }
        EXPECT_EQ(server.WaitForExit(10000), second ? 1 : 0) << server.Log().toStdString();
        EXPECT_LT(clock.elapsed(), 3000) << second;
        EXPECT_TRUE(server.Log().contains(second ? "stopping on a signal" : "stopped, out of time"))
            << server.Log().toStdString();
    }
}

// Forty connections guess at a student's and a teacher's account, each with a queue of
// guesses. The student logs in at once from where the account logged in before, and from
// anywhere with the device token the server gave a client that takes them; the teacher
// signs in to the web pages at once with the token of the browser's cookie. A wrong token
// counts for nothing. Wrong names
// typed behind one address (a lab behind NAT) do not slow a correct login from it, and a
// lab's logged-in connections are not held to the 32 per address of those that have not
// logged in.
TEST(ServerLimitsTest, GuessersDoNotSlowTheOwnersLoginNorWrongNamesALab) {
    ServerProcess server({"--max-per-address", "40", "--web", "127.0.0.1:0"});
    ASSERT_TRUE(server.Started());
    server.RunCommand({"user", "add", "teach", "--teacher"}, "Teach-er9\n");
    const QByteArray signedIn = WebSignIn(server.WebPort(), "teach", "Teach-er9", "127.0.5.1");
    const QByteArray deviceCookie = QRegularExpression("Set-Cookie: (vekta_device=[0-9a-f]{64});")
                                        .match(QString::fromLatin1(signedIn))
                                        .captured(1)
                                        .toLatin1();
    ASSERT_FALSE(deviceCookie.isEmpty()) << signedIn.toStdString();
    const auto logIn = [&](const QString& from, const std::string& features,
                           const std::string& login) {
        auto client = std::make_unique<ProtocolClient>(server.Port(), from);
        client->SendRaw(WriteFeatures(ReadFeatures(features)));
        client->Send("LOGIN", login);
        return client;
    };
    const auto greeted = [](ProtocolClient& client) {
        return MessageText(client.Next()).find("Здравствуйте") != std::string::npos;
    };

    auto owner = logIn("127.0.1.1", "bye;device", "student;mechanics");
    ASSERT_TRUE(greeted(*owner));
    const std::string device = owner->Next();
    ASSERT_EQ(KindOf(device), MessageKind::Device) << device;
    const std::string token = ReadDevice(PayloadOf(device));
    ASSERT_EQ(token.size(), 64u);
    // A client that does not take tokens is given none.
    auto plain = logIn("127.0.1.1", "bye", "student;mechanics");
    ASSERT_TRUE(greeted(*plain));
    EXPECT_FALSE(plain->Pending(500));

    std::vector<std::unique_ptr<ProtocolClient>> guessers;
    for (int i = 0; i < 40; ++i) {
        guessers.push_back(
            std::make_unique<ProtocolClient>(server.Port(), QString("127.0.2.%1").arg(1 + i / 10)));
        for (int guess = 0; guess < 30; ++guess)
            guessers.back()->Send("LOGIN", (guess % 2 == 0 ? "student;guess" : "teach;guess") +
                                               std::to_string(guess));
    }
    for (int wait = 0; wait < 100 && !server.Log().contains("login attempts paced"); ++wait)
        QThread::msleep(100);
    ASSERT_TRUE(server.Log().contains("login attempts paced"));

    struct Case {
        const char* what;
        QString from;
        std::string features;
    };
    const Case owners[] = {
        {"with the token from a new address", "127.0.3.1", "bye;device=" + token},
        {"from the address of an earlier login", "127.0.1.1", "bye;device"},
        {"with the token, on the next login", "127.0.3.2", "bye;device=" + token},
    };
    // Each owner logs in three times in a row: among forty guessers, each waiting for the
    // account's one attempt a second, that would take seconds.
    for (const Case& c : owners) {
        QElapsedTimer clock;
        clock.start();
        for (int time = 0; time < 3; ++time) {
            auto again = logIn(c.from, c.features, "student;mechanics");
            ASSERT_TRUE(greeted(*again)) << c.what;
        }
        EXPECT_LT(clock.elapsed(), 2000) << c.what;
    }
    QElapsedTimer clock;
    clock.start();
    for (int time = 0; time < 3; ++time)
        EXPECT_TRUE(WebSignIn(server.WebPort(), "teach", "Teach-er9", "127.0.5.2", deviceCookie)
                        .startsWith("HTTP/1.1 303"));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_GT(CountedFailures(server.DatabasePath(), "account teach"), 5);
    // The guesses were counted against the account and their addresses; a token presented
    // for another account counts for nothing, its failure is counted as any other.
    EXPECT_GT(CountedFailures(server.DatabasePath(), "account student"), 5);
    EXPECT_GT(CountedFailures(server.DatabasePath(), "address 127.0.2.1"), 0);
    auto stranger = logIn("127.0.3.3", "bye;device=" + token, "Guest;wrong");
    EXPECT_NE(MessageText(stranger->Next()).find("Неверное имя"), std::string::npos);
    EXPECT_EQ(CountedFailures(server.DatabasePath(), "account Guest"), 1);
    EXPECT_EQ(CountedFailures(server.DatabasePath(), "address 127.0.3.3"), 1);
    guessers.clear();

    // Wrong names from a lab's address are not counted against the address.
    auto typo = logIn("127.0.4.1", "bye", "studnet;mechanics");
    for (int i = 0; i < 8; ++i) {
        if (i > 0)
            typo->Send("LOGIN", "studnet" + std::to_string(i) + ";mechanics");
        ASSERT_NE(MessageText(typo->Next()).find("Неверное имя"), std::string::npos) << i;
        ASSERT_EQ(ReadTag(typo->Next()), "RELOG");
    }
    EXPECT_EQ(CountedFailures(server.DatabasePath(), "address 127.0.4.1"), 0);
    EXPECT_EQ(CountedFailures(server.DatabasePath(), "account studnet7"), 1);

    // 36 students of the lab logged in from that address, then with the one above three
    // more connections that have not logged in fill its 40; the next is refused.
    QByteArray accounts;
    for (int i = 0; i < 36; ++i)
        accounts += QString("lab%1;pw%1\n").arg(i).toUtf8();
    QTemporaryDir dir;
    QFile list(dir.filePath("lab.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(accounts);
    list.close();
    server.RunCommand({"user", "import", list.fileName()});
    std::vector<std::unique_ptr<ProtocolClient>> lab;
    for (int i = 0; i < 36; ++i) {
        lab.push_back(
            logIn("127.0.4.1", "bye", "lab" + std::to_string(i) + ";pw" + std::to_string(i)));
        ASSERT_TRUE(greeted(*lab.back())) << i;
    }
    for (int i = 0; i < 3; ++i) {
        lab.push_back(std::make_unique<ProtocolClient>(server.Port(), "127.0.4.1"));
        lab.back()->Send("GETQUESTLIST", "1");
        ASSERT_EQ(ReadTag(lab.back()->Next()), "RELOG") << i;
    }
    ProtocolClient extra(server.Port(), "127.0.4.1");
    EXPECT_TRUE(extra.ClosedByServer());
}
