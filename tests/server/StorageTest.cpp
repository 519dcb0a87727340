// Accounts and submissions in the server's database: SQLite always, PostgreSQL when its
// server programs are installed (the test starts a private one and stops it again).

#include "Database.h"
#include "Password.h"
#include "PostgresProcess.h"
#include "ServerProcess.h"
#include "platform/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <numeric>
#include <thread>

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
        db.StoreSubmission({Utf8ToCp1251("Иванов"),
                            Utf8ToCp1251("Балка-1"),
                            std::string("\xC0\0 X @=1;", 9),
                            Utf8ToCp1251("X: верно"),
                            1,
                            1,
                            true,
                            {}});
        db.StoreSubmission({"Petrov", "k1", "p", "", -1, 0, true, {}});
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

// Four connections store one student's answers to one task at once: every attempt
// number is taken once, 1 to 40. Pacing lets a burst through, then one per interval.
void ExerciseConcurrentStore(const std::string& location) {
    std::vector<int> attempts;
    std::mutex mutex;
    std::vector<std::thread> writers;
    for (int k = 0; k < 4; ++k)
        writers.emplace_back([&] {
            Database db(location);
            for (int i = 0; i < 10; ++i) {
                const int attempt =
                    db.StoreSubmission({"Kuznetsov", "k1", "p", "", -1, 0, true, {}});
                const std::lock_guard<std::mutex> lock(mutex);
                attempts.push_back(attempt);
            }
        });
    for (std::thread& writer : writers)
        writer.join();
    std::sort(attempts.begin(), attempts.end());
    std::vector<int> expected(40);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(attempts, expected);

    Database db(location);
    EXPECT_EQ(db.StoreSubmission({"Kuznetsov", "k2", "p", "", -1, 0, true, {}}), 1);
    const long long t = 1'000'000;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(db.PaceSubmission("Petrov", t, 3000, 3), 0) << i;
    EXPECT_EQ(db.PaceSubmission("Petrov", t + 1000, 3000, 3), 2000);
    EXPECT_EQ(db.PaceSubmission("Sidorov", t + 1000, 3000, 3), 0); // each student apart
    EXPECT_EQ(db.PaceSubmission("Petrov", t + 3000, 3000, 3), 0);
    EXPECT_EQ(db.PaceSubmission("Petrov", t + 3000, 3000, 3), 3000);
}

// Two connections stand for two server processes on one database: login pacing and the
// sessions per account are the same for both.
void ExerciseSharedLimits(const std::string& location) {
    Database first(location), second(location);
    const Database::LoginPacing pacing{3, 60'000, 1'000};
    const long long t = 5'000'000;
    const std::vector<std::string> guesser{"address 10.0.0.1", "account Petrov"};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(first.ReserveLogin(guesser, t + i, pacing), 0);
        first.RecordLoginFailure(guesser, t + i, pacing);
    }
    EXPECT_EQ(second.ReserveLogin(guesser, t + 10, pacing), 0);
    second.RecordLoginFailure(guesser, t + 10, pacing);        // the third failure, counted in all
    EXPECT_EQ(first.ReserveLogin(guesser, t + 20, pacing), 0); // one attempt goes
    EXPECT_EQ(second.ReserveLogin(guesser, t + 520, pacing), 500); // and the next waits
    // Another address guessing the same account waits as well; the account's owner from
    // elsewhere too, and other accounts from other addresses do not.
    EXPECT_EQ(first.ReserveLogin({"address 10.0.0.2", "account Petrov"}, t + 520, pacing), 500);
    EXPECT_EQ(first.ReserveLogin({"address 10.0.0.2", "account Sidorov"}, t + 520, pacing), 0);
    EXPECT_EQ(first.ReserveLogin({"address 10.0.0.1", "account Sidorov"}, t + 520, pacing), 500);
    EXPECT_EQ(second.ReserveLogin(guesser, t + 1020, pacing), 0);
    // Once the window has passed, failures count from nothing again.
    EXPECT_EQ(first.ReserveLogin(guesser, t + 70'000, pacing), 0);
    EXPECT_EQ(first.ReserveLogin(guesser, t + 70'001, pacing), 0);
    first.RecordLoginFailure(guesser, t + 70'002, pacing);
    EXPECT_EQ(first.ReserveLogin(guesser, t + 70'003, pacing), 0);

    // Three sessions of an account in one process and a fourth in another: the oldest is
    // marked for its owner to close. A process that stopped beating counts no more.
    first.Heartbeat("A", t, 15'000);
    second.Heartbeat("B", t, 15'000);
    for (long long connection = 1; connection <= 3; ++connection)
        first.OpenSession("A", connection, "Иванов", t + connection, 15'000, 3);
    EXPECT_TRUE(first.SessionsToClose("A").empty());
    second.OpenSession("B", 7, "Иванов", t + 10, 15'000, 3);
    EXPECT_EQ(first.SessionsToClose("A"), std::vector<long long>{1});
    EXPECT_TRUE(second.SessionsToClose("B").empty());
    first.CloseSession("A", 1);
    EXPECT_TRUE(first.SessionsToClose("A").empty());
    second.OpenSession("B", 8, "Петров", t + 11, 15'000, 3); // another account is apart
    EXPECT_TRUE(first.SessionsToClose("A").empty());

    second.Heartbeat("B", t + 20'000, 15'000); // A has not beaten for 20 s: it is gone
    second.OpenSession("B", 9, "Иванов", t + 20'001, 15'000, 3);
    second.OpenSession("B", 10, "Иванов", t + 20'002, 15'000, 3);
    EXPECT_TRUE(second.SessionsToClose("B").empty());
    second.OpenSession("B", 11, "Иванов", t + 20'003, 15'000, 3);
    EXPECT_EQ(second.SessionsToClose("B"), std::vector<long long>{7});
    second.EndProcess("B");
    EXPECT_TRUE(second.SessionsToClose("B").empty());
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

TEST(StorageTest, SqliteNumbersAttemptsOnceAndPacesSubmissionsAcrossConnections) {
    QTemporaryDir dir;
    ExerciseConcurrentStore(dir.filePath("store.sqlite").toStdString());
}

TEST(StorageTest, SqliteSharesLoginPacingAndSessionsAcrossConnections) {
    QTemporaryDir dir;
    ExerciseSharedLimits(dir.filePath("store.sqlite").toStdString());
}

TEST(StorageTest, PostgresqlKeepsAccountsAndSubmissions) {
    PostgresProcess postgres;
    if (!postgres.Available())
        GTEST_SKIP() << postgres.Why().toStdString();
    ASSERT_TRUE(postgres.Start());
    ExerciseStore(postgres.Url());
    ExerciseConcurrentStore(postgres.Url());
    ExerciseSharedLimits(postgres.Url());
    // A password belongs in a file, never in the URL that every user can see.
    std::string url = postgres.Url();
    url.insert(url.find('@'), ":secret");
    try {
        Database withPassword(url);
        ADD_FAILURE() << "a URL with a password was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("--db-password-file"), std::string::npos);
    }
}

TEST(StorageTest, ALostPostgresqlConnectionIsOpenedAgainOnceTheServerIsBack) {
    PostgresProcess postgres;
    if (!postgres.Available())
        GTEST_SKIP() << postgres.Why().toStdString();
    ASSERT_TRUE(postgres.Start());
    Database db(postgres.Url());
    db.StoreSubmission({"Petrov", "k1", "p", "", -1, 0, true, {}});
    ASSERT_TRUE(postgres.Stop());
    EXPECT_THROW(db.SubmissionCount(), StoreUnavailable);
    EXPECT_NE(db.TakeStateChange().value_or("").find("connection lost"), std::string::npos);
    ASSERT_TRUE(postgres.Start());
    // The back-off may hold the next attempt back for a moment.
    std::optional<long long> count;
    for (int attempt = 0; attempt < 200 && !count; ++attempt) {
        try {
            count = db.SubmissionCount();
        } catch (const StoreUnavailable&) {
            QThread::msleep(50);
        }
    }
    EXPECT_EQ(count, 1);
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
    EXPECT_EQ(server.RunCommand({"user", "list"}),
              "Guest;student\nIvanova;student\nPetrov;student\nstudent;student\nСидоров;student\n");

    ProtocolClient client(server.Port());
    client.Send("LOGIN", Utf8ToCp1251("Сидоров;pass-Word7"));
    EXPECT_EQ(ReadTag(client.Next()), "MESSAGE");
    client.Send("GETQUEST", Utf8ToCp1251("Балка-1"));
    EXPECT_EQ(ReadTag(client.Next()), "QUEST");
    client.Send("SETRESULTQUEST", " a @=1,5;");
    EXPECT_EQ(ReadTag(client.Next()), "MESSAGE");
    client.Send("LOGIN", "Ivanova;p,2");
    EXPECT_EQ(ReadTag(client.Next()), "MESSAGE");
    client.Send("GETQUEST", Utf8ToCp1251("Балка-1"));
    client.Next();
    client.Send("SETRESULTQUEST", "x");
    client.Next();

    const std::string mine = server.RunCommand({"results", "--user", "Сидоров"});
    EXPECT_EQ(mine.rfind("id,user,task,received_utc,score,total,verdicts,payload,attempt,variant\n"
                         "1,Сидоров,Балка-1,",
                         0),
              0u)
        << mine;
    const std::string csv = server.RunCommand({"results"});
    // Every answer "не принято": stored, but no attempt.
    EXPECT_NE(csv.find(",0,0,X_A: не принято; Y_A: не принято; R_B: не принято,\" a @=1,5;\",,\n"),
              std::string::npos)
        << csv;

    server.RunCommand({"user", "remove", "Сидоров"}, {}, &code);
    EXPECT_EQ(code, 0);
    client.Send("LOGIN", Utf8ToCp1251("Сидоров;pass-Word7"));
    client.Next();
    EXPECT_EQ(ReadTag(client.Next()), "RELOG");
    QFile db(server.DatabasePath());
    ASSERT_TRUE(db.open(QIODevice::ReadOnly));
    EXPECT_EQ(db.readAll().indexOf("pass-Word7"), -1);
}
