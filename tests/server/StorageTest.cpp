// Accounts and submissions in the server's database: SQLite always, PostgreSQL when its
// server programs are installed (the test starts a private one and stops it again).

#include "Database.h"
#include "Password.h"
#include "ServerProcess.h"
#include "platform/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

using platform::Utf8ToCp1251;

namespace {

void ExerciseStore(const std::string& location) {
    {
        Database db(location);
        EXPECT_TRUE(db.AddAccount("Иванов", password::Hash(Utf8ToCp1251("секрет"))));
        EXPECT_FALSE(db.AddAccount("Иванов", "x"));
        const std::optional<std::string> hash = db.PasswordHash("Иванов");
        ASSERT_TRUE(hash);
        EXPECT_TRUE(password::Verify(Utf8ToCp1251("секрет"), *hash));
        EXPECT_FALSE(password::Verify(Utf8ToCp1251("Секрет"), *hash));
        EXPECT_FALSE(password::Verify("", "pbkdf2-sha256$0$$"));
        db.StoreSubmission({Utf8ToCp1251("Иванов"), Utf8ToCp1251("Балка-1"),
                            std::string("\xC0\0 X @=1;", 9), Utf8ToCp1251("X: верно"), 1, 1});
        db.StoreSubmission({"Petrov", "k1", "p", "", -1, 0});
    }
    Database db(location); // what was committed is there for the next connection
    const std::vector<Database::Result> all = db.Results();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].user, "Иванов");
    EXPECT_EQ(all[0].task, "Балка-1");
    EXPECT_EQ(all[0].payload, std::string("\xC0\0 X @=1;", 9));
    EXPECT_EQ(all[0].verdicts, "X: верно");
    EXPECT_EQ(all[0].score, 1);
    EXPECT_EQ(all[1].score, -1);
    EXPECT_EQ(all[0].receivedUtc.back(), 'Z');
    EXPECT_EQ(db.Results("Petrov").size(), 1u);
    EXPECT_EQ(db.Results("", "Балка-1").size(), 1u);
    EXPECT_EQ(db.SubmissionCount(), 2);
    EXPECT_TRUE(db.RemoveAccount("Иванов"));
    EXPECT_FALSE(db.RemoveAccount("Иванов"));
    EXPECT_TRUE(db.AccountNames().empty());
}

QString PostgresTool(const QString& name) {
    for (const QString& version :
         QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QFile::exists("/usr/lib/postgresql/" + version + "/bin/" + name))
            return "/usr/lib/postgresql/" + version + "/bin/" + name;
    return {};
}

// Runs a PostgreSQL program; as root, as the postgres user (the server refuses root).
bool RunPostgres(const QString& tool, const QStringList& arguments) {
    QProcess process;
    if (geteuid() == 0)
        process.start("runuser", QStringList{"-u", "postgres", "--", tool} + arguments);
    else
        process.start(tool, arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

TEST(StorageTest, SqliteKeepsAccountsAndSubmissionsInWalMode) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("store.sqlite").toStdString();
    ExerciseStore(file);
    EXPECT_TRUE(QFile::exists(dir.filePath("store.sqlite-wal")) ||
                QFile::exists(dir.filePath("store.sqlite")));
    QFile db(QString::fromStdString(file));
    ASSERT_TRUE(db.open(QIODevice::ReadOnly));
    EXPECT_EQ(db.readAll().indexOf(Utf8ToCp1251("секрет").c_str()), -1);
}

TEST(StorageTest, PostgresqlKeepsAccountsAndSubmissions) {
    const QString initdb = PostgresTool("initdb");
    if (initdb.isEmpty() || !QSqlDatabase::isDriverAvailable("QPSQL"))
        GTEST_SKIP() << "PostgreSQL or the QPSQL driver is not installed";
    if (geteuid() == 0 && getpwnam("postgres") == nullptr)
        GTEST_SKIP() << "running as root without a postgres user";
    QTemporaryDir dir;
    if (const passwd* user = geteuid() == 0 ? getpwnam("postgres") : nullptr) {
        ASSERT_EQ(chown(dir.path().toLocal8Bit().constData(), user->pw_uid, user->pw_gid), 0);
    }
    const QString data = dir.filePath("data");
    ASSERT_TRUE(
        RunPostgres(initdb, {"-D", data, "-A", "trust", "-U", "vekta", "-E", "UTF8", "--no-sync"}));
    const quint16 port = FreePort();
    const QString options =
        QString("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(port).arg(dir.path());
    ASSERT_TRUE(RunPostgres(PostgresTool("pg_ctl"),
                            {"-D", data, "-o", options, "-l", dir.filePath("log"), "-w", "start"}));
    ExerciseStore("postgresql://vekta@127.0.0.1:" + std::to_string(port) + "/postgres");
    RunPostgres(PostgresTool("pg_ctl"), {"-D", data, "-m", "immediate", "-w", "stop"});
}

TEST(StorageTest, TheInstructorManagesAccountsAndReadsResultsAsCsv) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    int code = -1;
    server.RunCommand({"user", "add", "Сидоров"}, "pass-Word7\n", &code);
    EXPECT_EQ(code, 0);
    server.RunCommand({"user", "add", "Сидоров"}, "other\n", &code);
    EXPECT_EQ(code, 1);
    QTemporaryDir dir;
    QFile list(dir.filePath("users.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("# class 1\nPetrov;p1\nbroken line\nIvanova;p,2\n");
    list.close();
    EXPECT_EQ(server.RunCommand({"user", "import", list.fileName()}),
              "2 accounts added, 1 lines skipped\n");
    EXPECT_EQ(server.RunCommand({"user", "list"}), "Guest\nIvanova\nPetrov\nstudent\nСидоров\n");

    ProtocolClient client(server.Port());
    client.Send("LOGIN", Utf8ToCp1251("Сидоров;pass-Word7"));
    EXPECT_EQ(ReadTag(client.Next()), "MESSAGE");
    client.Send("SETRESULTQUEST", " a @=1,5;");
    EXPECT_EQ(ReadTag(client.Next()), "MESSAGE");
    client.Send("LOGIN", "Ivanova;p,2");
    EXPECT_EQ(ReadTag(client.Next()), "MESSAGE");
    client.Send("SETRESULTQUEST", "x");
    client.Next();

    const std::string mine = server.RunCommand({"results", "--user", "Сидоров"});
    EXPECT_EQ(mine.rfind("id,user,task,received_utc,score,total,verdicts,payload\n1,Сидоров,,", 0),
              0u)
        << mine;
    const std::string csv = server.RunCommand({"results"});
    EXPECT_NE(csv.find(",,0,,\" a @=1,5;\"\n"), std::string::npos) << csv;

    server.RunCommand({"user", "remove", "Сидоров"}, {}, &code);
    EXPECT_EQ(code, 0);
    client.Send("LOGIN", Utf8ToCp1251("Сидоров;pass-Word7"));
    client.Next();
    EXPECT_EQ(ReadTag(client.Next()), "RELOG");
    QFile db(server.DatabasePath());
    ASSERT_TRUE(db.open(QIODevice::ReadOnly));
    EXPECT_EQ(db.readAll().indexOf("pass-Word7"), -1);
}
