// Accounts and submissions in the server's database: SQLite always, PostgreSQL when its
// server programs are installed (the test starts a private one and stops it again).

#include "PostgresProcess.h"
#include "ServerProcess.h"
#include "accounts/Password.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <latch>
#include <map>
#include <mutex>
#include <numeric>
#include <thread>
#include <tuple>

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
        // The order the course first listed its tasks in stays; a task added later is last.
        using Places = std::map<std::string, int>;
        EXPECT_EQ(db.RecordTaskOrder({"Балка-1", "Консоль-2"}),
                  (Places{{"Балка-1", 1}, {"Консоль-2", 2}}));
        EXPECT_EQ(db.RecordTaskOrder({"Балка-1", "Балка-4", "Консоль-2"}),
                  (Places{{"Балка-1", 1}, {"Балка-4", 3}, {"Консоль-2", 2}}));
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

    // The same at a task of three attempts: three are numbered, the others refused, and
    // what is no attempt is stored all the same.
    attempts.clear();
    writers.clear();
    for (int k = 0; k < 4; ++k)
        writers.emplace_back([&] {
            Database db(location);
            for (int i = 0; i < 10; ++i) {
                const int attempt =
                    db.StoreSubmission({"Kuznetsov", "k3", "p", "", 1, 1, true, {}}, 3);
                const std::lock_guard<std::mutex> lock(mutex);
                attempts.push_back(attempt);
            }
        });
    for (std::thread& writer : writers)
        writer.join();
    std::sort(attempts.begin(), attempts.end());
    expected.assign(37, Database::kNoAttemptLeft);
    expected.insert(expected.end(), {1, 2, 3});
    EXPECT_EQ(attempts, expected);

    Database db(location);
    EXPECT_EQ(db.JudgedAttempts("Kuznetsov", "k3")["k3"].size(), 3u);
    EXPECT_EQ(db.StoreSubmission({"Kuznetsov", "k3", "p", "", -1, 0, false, {}}, 3), 0);
    EXPECT_EQ(db.Results("Kuznetsov", "k3").size(), 4u);
    EXPECT_EQ(db.StoreSubmission({"Kuznetsov", "k2", "p", "", -1, 0, true, {}}), 1);
    const long long t = 1'000'000;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(db.PaceSubmission("Petrov", t, 3000, 3), 0) << i;
    EXPECT_EQ(db.PaceSubmission("Petrov", t + 1000, 3000, 3), 2000);
    EXPECT_EQ(db.PaceSubmission("Sidorov", t + 1000, 3000, 3), 0); // each student apart
    EXPECT_EQ(db.PaceSubmission("Petrov", t + 3000, 3000, 3), 0);
    EXPECT_EQ(db.PaceSubmission("Petrov", t + 3000, 3000, 3), 3000);
    // The wall clock set back ten minutes: the wait is one interval, not ten minutes, and
    // the stored time is brought back with the clock.
    const long long back = t + 3000 - 600'000;
    EXPECT_EQ(db.PaceSubmission("Petrov", back, 3000, 3), 3000);
    EXPECT_EQ(db.PaceSubmission("Petrov", back + 2000, 3000, 3), 1000);
    EXPECT_EQ(db.PaceSubmission("Petrov", back + 3000, 3000, 3), 0);
    EXPECT_EQ(db.PaceSubmission("Petrov", back + 3000, 3000, 3), 3000);
}

// Runs statements of the test's own on the store, on a connection apart from the server's.
void RunOnStore(const std::string& location, const QStringList& statements) {
    const bool postgres = IsPostgresLocation(location);
    const QString name = "test-statements";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(postgres ? "QPSQL" : "QSQLITE", name);
        if (postgres) {
            const QUrl url(QString::fromStdString(location));
            db.setHostName(url.host());
            db.setPort(url.port());
            db.setUserName(url.userName());
            db.setDatabaseName(url.path().mid(1));
        } else {
            db.setDatabaseName(QString::fromStdString(location));
        }
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();
        }
    }
    QSqlDatabase::removeDatabase(name);
}

// Submissions stored as one group, one commit: each paced and held to its attempt limit as
// if stored alone, also against the others of the group and against groups that other
// connections commit at the same moment; one the database refuses leaves the others; a
// group whose commit fails keeps nothing.
void ExerciseGroupedStore(const std::string& location) {
    const bool postgres = IsPostgresLocation(location);
    Database db(location);
    // Refuses the submissions of one account when they are inserted.
    RunOnStore(location,
               postgres ? QStringList{"CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN IF "
                                      "NEW.user_name = 'Refused' THEN RAISE EXCEPTION 'refused'; "
                                      "END IF; RETURN NEW; END $$ LANGUAGE plpgsql",
                                      "CREATE TRIGGER refuse BEFORE INSERT ON submissions FOR "
                                      "EACH ROW EXECUTE FUNCTION refuse()"}
                        : QStringList{"CREATE TRIGGER refuse BEFORE INSERT ON submissions WHEN "
                                      "NEW.user_name = 'Refused' BEGIN SELECT RAISE(ABORT, "
                                      "'refused'); END"});
    using Status = Database::GroupedOutcome::Status;
    const long long t = 2'000'000;
    auto submission = [&](const std::string& user, const std::string& task, int maxAttempts,
                          long long intervalMs = 0, int burst = 1) {
        Database::GroupedSubmission grouped;
        grouped.record = {user, task, "p", "X: ok", 1, 1, true, {}, 1};
        grouped.maxAttempts = maxAttempts;
        grouped.noAttemptLeft = SubmissionRecord{user, task, "p", "none left", -1, 1, false, {}, 0};
        grouped.nowMs = t;
        grouped.intervalMs = intervalMs;
        grouped.burst = burst;
        return grouped;
    };
    // user, task, limit, pace (interval, burst): status, attempt, wait
    const struct {
        const char* user;
        const char* task;
        int maxAttempts;
        long long intervalMs;
        int burst;
        Status status;
        int attempt;
        long long waitMs;
    } rows[] = {
        {"Orlov", "g2", 2, 0, 1, Status::Stored, 1, 0},
        {"Orlov", "g2", 2, 0, 1, Status::Stored, 2, 0},
        {"Orlov", "g2", 2, 0, 1, Status::NoAttemptLeft, 0, 0}, // the limit holds in a group
        {"Refused", "g2", 2, 0, 1, Status::Failed, 0, 0},      // refused alone
        {"Orlov", "g3", 0, 0, 1, Status::Stored, 1, 0},
        {"Pavlov", "g1", 0, 3000, 2, Status::Stored, 1, 0}, // a burst of two ...
        {"Pavlov", "g2", 0, 3000, 2, Status::Stored, 1, 0},
        {"Pavlov", "g1", 0, 3000, 2, Status::Paced, 0, 3000}, // ... then the pace
    };
    std::vector<Database::GroupedSubmission> group;
    for (const auto& row : rows)
        group.push_back(submission(row.user, row.task, row.maxAttempts, row.intervalMs, row.burst));
    const std::vector<Database::GroupedOutcome> outcomes = db.StoreSubmissions(group);
    ASSERT_EQ(outcomes.size(), std::size(rows));
    for (std::size_t k = 0; k < outcomes.size(); ++k) {
        EXPECT_EQ(outcomes[k].status, rows[k].status) << k;
        EXPECT_EQ(outcomes[k].attempt, rows[k].attempt) << k;
        EXPECT_EQ(outcomes[k].waitMs, rows[k].waitMs) << k;
    }
    EXPECT_NE(outcomes[3].problem.find("refused"), std::string::npos) << outcomes[3].problem;
    // The pace was counted with the stored ones, in the same commit.
    EXPECT_EQ(db.ReadAdmission("Pavlov", "g1", t, 3000, 2).waitMs, 3000);
    // What admits the next submission is read in one go: pace, attempts, extra time.
    db.SetTimeExtension("Orlov", 15);
    const Database::Admission admission = db.ReadAdmission("Orlov", "g2", t, 3000, 2);
    EXPECT_EQ(admission.waitMs, 0);
    EXPECT_EQ(admission.attempts, (std::vector<double>{1, 1}));
    EXPECT_EQ(admission.extensionMinutes, 15);
    EXPECT_EQ(db.Results("Orlov", "g2").size(), 3u);
    EXPECT_EQ(db.JudgedAttempts("Orlov", "g2")["g2"].size(), 2u);
    EXPECT_EQ(db.Results("Pavlov").size(), 2u);
    EXPECT_TRUE(db.Results("Refused").empty());

    // Four connections store one student's answers at once, in groups of three: three
    // attempts of the limit are taken once in all, each other answer is kept as refused.
    std::vector<int> attempts;
    std::mutex mutex;
    std::vector<std::thread> writers;
    for (int k = 0; k < 4; ++k)
        writers.emplace_back([&] {
            Database writer(location);
            for (int i = 0; i < 4; ++i)
                for (const Database::GroupedOutcome& outcome :
                     writer.StoreSubmissions(std::vector(3, submission("Kuznetsov", "g4", 3)))) {
                    const std::lock_guard<std::mutex> lock(mutex);
                    attempts.push_back(outcome.status == Status::Stored ? outcome.attempt : -1);
                }
        });
    for (std::thread& writer : writers)
        writer.join();
    std::sort(attempts.begin(), attempts.end());
    std::vector<int> expected(45, -1);
    expected.insert(expected.end(), {1, 2, 3});
    EXPECT_EQ(attempts, expected);
    EXPECT_EQ(db.Results("Kuznetsov", "g4").size(), 48u);
    EXPECT_EQ(db.JudgedAttempts("Kuznetsov", "g4")["g4"].size(), 3u);

    if (!postgres)
        return;
    // A commit that fails (a check deferred to it) throws, and nothing of the group stays.
    RunOnStore(location, {"CREATE FUNCTION refuse_late() RETURNS trigger AS $$ BEGIN IF "
                          "NEW.user_name = 'Late' THEN RAISE EXCEPTION 'refused late'; END IF; "
                          "RETURN NULL; END $$ LANGUAGE plpgsql",
                          "CREATE CONSTRAINT TRIGGER refuse_late AFTER INSERT ON submissions "
                          "DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION "
                          "refuse_late()"});
    const long long before = db.SubmissionCount();
    EXPECT_THROW(db.StoreSubmissions({submission("Sokolov", "g1", 0), submission("Late", "g1", 0)}),
                 std::runtime_error);
    EXPECT_EQ(db.SubmissionCount(), before);
    EXPECT_EQ(db.StoreSubmissions({submission("Sokolov", "g1", 0)})[0].attempt, 1);
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
    // The clock set back ten minutes makes nobody wait longer than the delay.
    EXPECT_EQ(first.ReserveLogin(guesser, t + 1020 - 600'000, pacing), 1000);
    // Once the window has passed, failures count from nothing again.
    EXPECT_EQ(first.ReserveLogin(guesser, t + 70'000, pacing), 0);
    EXPECT_EQ(first.ReserveLogin(guesser, t + 70'001, pacing), 0);
    first.RecordLoginFailure(guesser, t + 70'002, pacing);
    EXPECT_EQ(first.ReserveLogin(guesser, t + 70'003, pacing), 0);

    // Where an account logged in, and its device tokens, are known to every process: only
    // to the account, a login again from there refreshes the time, and an account keeps
    // its newest 16 tokens.
    first.RememberLoginAddress("Петров", "10.0.0.9", t);
    first.RememberLoginAddress("Петров", "10.0.0.9", t + 100);
    EXPECT_EQ(second.LastLoginFrom("Петров", "10.0.0.9"), t + 100);
    EXPECT_FALSE(second.LastLoginFrom("Сидоров", "10.0.0.9"));
    EXPECT_FALSE(second.LastLoginFrom("Петров", "10.0.0.8"));
    for (int i = 0; i < 17; ++i)
        first.AddDeviceToken("Петров", "token" + std::to_string(i), t + i);
    EXPECT_FALSE(second.IsDeviceToken("Петров", "token0"));
    EXPECT_TRUE(second.IsDeviceToken("Петров", "token1"));
    EXPECT_TRUE(second.IsDeviceToken("Петров", "token16"));
    EXPECT_FALSE(second.IsDeviceToken("Сидоров", "token16"));
    EXPECT_FALSE(second.IsDeviceToken("Петров", ""));

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

// Makes the submissions table as servers before credit and counted attempts kept it, with
// rows of each kind they stored, on a connection of the test's own.
void MakeOldStore(const std::string& location) {
    const bool postgres = IsPostgresLocation(location);
    const QString name = "old-store";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(postgres ? "QPSQL" : "QSQLITE", name);
        if (postgres) {
            const QUrl url(QString::fromStdString(location));
            db.setHostName(url.host());
            db.setPort(url.port());
            db.setUserName(url.userName());
            db.setDatabaseName(url.path().mid(1));
        } else {
            db.setDatabaseName(QString::fromStdString(location));
        }
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery query(db);
        // Table definitions run directly: PostgreSQL prepares none.
        const auto run = [&](const QString& sql, const QVariantList& values = {}) {
            if (values.isEmpty()) {
                ASSERT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
                return;
            }
            ASSERT_TRUE(query.prepare(sql)) << query.lastError().text().toStdString();
            for (const QVariant& value : values)
                query.addBindValue(value);
            ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
        };
        run("DROP TABLE IF EXISTS submissions");
        run(QString("CREATE TABLE submissions (id %1, user_name VARCHAR(200) NOT NULL, "
                    "task VARCHAR(400) NOT NULL, received_utc VARCHAR(40) NOT NULL, payload %2 "
                    "NOT NULL, verdicts TEXT NOT NULL, score INTEGER NOT NULL, total INTEGER NOT "
                    "NULL, attempt INTEGER, variant TEXT)")
                .arg(postgres ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY AUTOINCREMENT",
                     postgres ? "BYTEA" : "BLOB"));
        const QVariant none(QMetaType(QMetaType::Int));
        // score, total (the answers judged "верно" or "неверно"), attempt, verdicts
        const struct {
            int score, total;
            QVariant attempt;
            const char* verdicts;
        } rows[] = {
            {2, 2, 1, "X_A: верно; Y_A: не принято; R_B: верно"}, // an attempt, 2 of 3
            {0, 0, none, "X_A: не принято; Y_A: не принято; R_B: не принято"},
            {-1, 0, none, "Время вышло 10.12.2026 в 10:30"},
            {1, 1, none, "X: верно"}, // judged before attempts were numbered
            // numbered, though every answer was "не принято": no attempt
            {0, 0, 2, "X_A: не принято; Y_A: не принято; R_B: не принято"},
        };
        for (const auto& row : rows)
            run("INSERT INTO submissions (user_name, task, received_utc, payload, verdicts, "
                "score, total, attempt, variant) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {"Иванов", "Балка-1", "2026-12-10T09:00:00.000Z", QByteArray("p"),
                 QString::fromUtf8(row.verdicts), row.score, row.total, row.attempt, QString()});
    }
    QSqlDatabase::removeDatabase(name);
}

// Servers start on a store of the old shape at once: each opens it (the connections are
// made first and open together at the first use), the new columns are added once and the
// old rows filled as they were meant, once.
void ExerciseUpgradeInPlace(const std::string& location) {
    MakeOldStore(location);
    constexpr int kServers = 4;
    std::latch ready(kServers);
    std::vector<std::thread> servers;
    std::atomic<int> opened{0};
    for (int k = 0; k < kServers; ++k)
        servers.emplace_back([&] {
            try {
                Database db(location, {}, true);
                ready.arrive_and_wait();
                db.JudgedAttempts("Иванов");
                ++opened;
            } catch (const std::exception& error) {
                ADD_FAILURE() << error.what();
            }
        });
    for (std::thread& server : servers)
        server.join();
    EXPECT_EQ(opened, kServers);

    Database db(location);
    // The judged attempts are those that were before: the first row's only.
    EXPECT_EQ(db.JudgedAttempts("Иванов"),
              (std::map<std::string, std::vector<double>>{{"Балка-1", {2}}}));
    std::vector<Database::Result> rows = db.Results();
    ASSERT_EQ(rows.size(), 5u);
    // score, total (the task's answers where the verdicts list them), credited, counted
    const std::vector<std::tuple<int, int, double, bool>> expected = {{2, 3, 2.0, true},
                                                                      {0, 3, 0.0, false},
                                                                      {-1, 0, 0.0, false},
                                                                      {1, 1, 1.0, false},
                                                                      {0, 3, 0.0, false}};
    for (std::size_t k = 0; k < rows.size(); ++k)
        EXPECT_EQ(std::make_tuple(rows[k].score, rows[k].total, rows[k].credited, rows[k].counted),
                  expected[k])
            << k;
    // A new attempt takes the next number; a credit in part is kept as stored, also when
    // the store is opened again.
    EXPECT_EQ(db.StoreSubmission(
                  {Utf8ToCp1251("Иванов"), Utf8ToCp1251("Балка-1"), "p", "", 2, 3, true, {}, 1.5}),
              3);
    Database again(location);
    rows = again.Results();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows.back().credited, 1.5);
    EXPECT_TRUE(rows.back().counted);
    EXPECT_EQ(rows[0].total, 3);
    // The attempts stand by what they were credited.
    EXPECT_EQ(again.JudgedAttempts("Иванов")["Балка-1"], (std::vector<double>{2, 1.5}));
}

} // namespace

TEST(StorageTest, SqliteKeepsAccountsAndSubmissionsInWalMode) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("store.sqlite").toStdString();
    ExerciseStore(file);
    ExerciseUpgradeInPlace(dir.filePath("old.sqlite").toStdString());
    EXPECT_TRUE(QFile::exists(dir.filePath("store.sqlite-wal")) ||
                QFile::exists(dir.filePath("store.sqlite")));
    QFile db(QString::fromStdString(file));
    ASSERT_TRUE(db.open(QIODevice::ReadOnly));
    EXPECT_EQ(db.readAll().indexOf(Utf8ToCp1251("секрет").c_str()), -1);
}

TEST(StorageTest, SqliteNumbersAttemptsOnceAndPacesSubmissionsAcrossConnections) {
    QTemporaryDir dir;
    ExerciseConcurrentStore(dir.filePath("store.sqlite").toStdString());
    ExerciseGroupedStore(dir.filePath("grouped.sqlite").toStdString());
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
    ExerciseGroupedStore(postgres.Url());
    ExerciseSharedLimits(postgres.Url());
    ExerciseUpgradeInPlace(postgres.Url());
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
    try {
        db.SubmissionCount();
        ADD_FAILURE() << "a store out of reach answered";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.Unavailable()) << error.what();
    }
    EXPECT_NE(db.TakeStateChange().value_or("").find("connection lost"), std::string::npos);
    ASSERT_TRUE(postgres.Start());
    // The back-off may hold the next attempt back for a moment.
    std::optional<long long> count;
    for (int attempt = 0; attempt < 200 && !count; ++attempt) {
        try {
            count = db.SubmissionCount();
        } catch (const StoreError& error) {
            ASSERT_TRUE(error.Unavailable()) << error.what();
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
    // Two answers right and one not read: the reply, the row and its attempt agree.
    client.Send("SETRESULTQUEST", " X!A @=-5; Y!A @=5,83; R!B @=(;");
    EXPECT_NE(MessageText(client.Next()).find("Верно 2 из 3"), std::string::npos);

    const std::string mine = server.RunCommand({"results", "--user", "Сидоров"});
    // The columns of old keep their places; the newer ones come after them.
    EXPECT_EQ(mine.rfind("id,user,task,received_utc,score,total,verdicts,payload,attempt,variant,"
                         "credited,counted\n1,Сидоров,Балка-1,",
                         0),
              0u)
        << mine;
    const std::string csv = server.RunCommand({"results"});
    // Every answer "не принято": stored, but no attempt; the total is the task's answers.
    EXPECT_NE(
        csv.find(",0,3,X_A: не принято; Y_A: не принято; R_B: не принято,\" a @=1,5;\",,,0,0\n"),
        std::string::npos)
        << csv;
    EXPECT_NE(csv.find(",2,3,X_A: верно; Y_A: верно; R_B: не принято,\" X!A @=-5; Y!A @=5,83; R!B "
                       "@=(;\",1,,2,1\n"),
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
