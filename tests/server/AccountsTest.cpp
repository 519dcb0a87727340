// Accounts and results as an instructor meets them: password hashes and their upgrade at
// login, importing account lists, the demo accounts, and results safe to open in a
// spreadsheet or show on a terminal.

#include "ServerProcess.h"
#include "accounts/Password.h"
#include "admin/AdminCommands.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

using platform::Utf8ToCp1251;

namespace {

constexpr int kWaitMs = 20000;

// Runs the server program to its end; gives its exit code, stdout and stderr.
struct Outcome {
    int code = -1;
    std::string out, err;
};

Outcome RunServer(const QStringList& arguments) {
    QProcess process;
    process.start(VEKTA_SERVER_PATH, arguments);
    process.closeWriteChannel();
    process.waitForFinished(kWaitMs);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// A server started to serve, stopped by the destructor.
class Serving {
public:
    explicit Serving(const QStringList& arguments) { process_.start(VEKTA_SERVER_PATH, arguments); }
    ~Serving() {
        process_.kill();
        process_.waitForFinished();
    }
    // The banner line, or empty text when the server ended instead.
    std::string Banner() {
        if (!process_.waitForReadyRead(kWaitMs))
            return {};
        return process_.readLine().toStdString();
    }

private:
    QProcess process_;
};

} // namespace

TEST(PasswordTest, NewHashesAreArgon2idAtTheMinimumCostOrMore) {
    const std::string hash = password::Hash(Utf8ToCp1251("секрет"));
    EXPECT_EQ(hash.rfind("$argon2id$v=19$m=19456,t=2,p=1$", 0), 0u) << hash;
    EXPECT_TRUE(password::Verify(Utf8ToCp1251("секрет"), hash));
    EXPECT_FALSE(password::Verify(Utf8ToCp1251("Секрет"), hash));
    EXPECT_FALSE(password::NeedsUpgrade(hash));
    EXPECT_NE(password::Hash("секрет"), password::Hash("секрет")); // salted
}

TEST(PasswordTest, OldAndWeakHashesAreUpgradedOnlyByTheRightPassword) {
    const std::string old = password::HashPbkdf2("p1");
    const std::string weak = password::Hash("p1", {1, 8 << 20});
    for (const std::string& stored : {old, weak}) {
        EXPECT_TRUE(password::NeedsUpgrade(stored));
        const password::Check wrong = password::CheckLogin("p2", stored);
        EXPECT_FALSE(wrong.accepted);
        EXPECT_TRUE(wrong.upgradedHash.empty());
        const password::Check right = password::CheckLogin("p1", stored);
        EXPECT_TRUE(right.accepted);
        EXPECT_TRUE(password::Verify("p1", right.upgradedHash));
        EXPECT_FALSE(password::NeedsUpgrade(right.upgradedHash));
    }
    const password::Check current = password::CheckLogin("p1", password::Hash("p1"));
    EXPECT_TRUE(current.accepted);
    EXPECT_TRUE(current.upgradedHash.empty());
}

TEST(PasswordTest, UnreadableOrTamperedHashesAreRefusedWithoutWork) {
    for (const char* stored :
         {"", "pbkdf2-sha256$0$$", "pbkdf2-sha256$99999999999$AAAA$AAAA", "$argon2id$",
          "$argon2id$v=19$m=99999999999,t=2,p=1$c2FsdHNhbHRzYWx0c2FsdA$aGFzaA",
          "$argon2id$v=19$m=4194304,t=2,p=1$c2FsdHNhbHRzYWx0c2FsdA$aGFzaA"})
        EXPECT_FALSE(password::Verify("", stored)) << stored;
}

TEST(AccountsTest, ALoginReplacesAnOldHashAndKeepsTheAccountWorking) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    {
        Database db(server.DatabasePath().toStdString());
        ASSERT_TRUE(db.AddAccount("Old", password::HashPbkdf2("p-old")));
    }
    for (int round = 0; round < 2; ++round) {
        ProtocolClient client(server.Port());
        client.Send("LOGIN", "Old;p-old");
        EXPECT_EQ(ReadTag(client.Next()), "MESSAGE");
    }
    Database db(server.DatabasePath().toStdString());
    const std::string stored = db.PasswordHash("Old").value_or("");
    EXPECT_EQ(stored.rfind("$argon2id$", 0), 0u) << stored;
    EXPECT_TRUE(password::Verify("p-old", stored));
}

TEST(AccountsTest, ImportReportsEverySkippedLineAndUpdatesOnlyWhenAsked) {
    QTemporaryDir dir;
    Database db(dir.filePath("a.sqlite").toStdString());
    std::ostringstream err;
    // CP1251 bytes: not UTF-8, so read as CP1251.
    const std::string lines = Utf8ToCp1251("# group 1\n  Иванов\t;п1\r\nno separator\n;p\n"
                                           "Петров;\nbad\x01name;p\nИванов;again\n\n");
    const ImportCount first = ImportAccounts(db, lines, false, err);
    EXPECT_EQ(first.added, 1);
    EXPECT_EQ(first.skipped, 5);
    EXPECT_EQ(db.AccountNames(), std::vector<std::string>{"Иванов"});
    const std::string report = err.str();
    for (const char* expected :
         {"line 3 skipped: no \";\"", "line 4 skipped: the user name is empty",
          "line 5 skipped: the password of Петров is empty",
          "line 6 skipped: the user name holds a control character",
          "line 7 skipped: the user Иванов exists already"})
        EXPECT_NE(report.find(expected), std::string::npos) << expected << "\n" << report;
    EXPECT_TRUE(password::Verify(Utf8ToCp1251("п1"), db.PasswordHash("Иванов").value_or("")));

    std::ostringstream quiet;
    const ImportCount second = ImportAccounts(db, "Иванов;п2\nНовый;x\n", true, quiet);
    EXPECT_EQ(second.added, 1);
    EXPECT_EQ(second.updated, 1);
    EXPECT_TRUE(password::Verify(Utf8ToCp1251("п2"), db.PasswordHash("Иванов").value_or("")));
}

TEST(AccountsTest, ResultsCellsNeverStartAFormulaNorCarryControlBytes) {
    EXPECT_EQ(CsvField("=HYPERLINK(\"x\")"), "\"'=HYPERLINK(\"\"x\"\")\"");
    EXPECT_EQ(CsvField("+1"), "'+1");
    EXPECT_EQ(CsvField("-2"), "'-2");
    EXPECT_EQ(CsvField("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(CsvField("a=b-c"), "a=b-c");
    EXPECT_EQ(CsvField("\x1b[2Jx\ty"), "\\x1B[2Jx\\x09y");
    EXPECT_EQ(CsvField("\r=1"), "\\x0D=1");
    EXPECT_EQ(CsvField("a\\b\x7f"), "a\\\\b\\x7F");
    EXPECT_EQ(CsvField("csi \xc2\x9b"
                       "2J"),
              "csi \\u009B2J");
    EXPECT_EQ(CsvField("две\nстроки"), "\"две\nстроки\"");
    EXPECT_EQ(ShownText("Балка"), "Балка");
}

// Plain for scripts; --spreadsheet for a spreadsheet set up for Russian: a byte-order
// mark, ";" between cells, the decimal comma and "\r\n" lines. Both formula-safe.
TEST(AccountsTest, ResultsOfAStoreAreStreamedWhole) {
    QTemporaryDir dir;
    const std::string location = dir.filePath("r.sqlite").toStdString();
    {
        Database db(location);
        for (int i = 0; i < 300; ++i)
            db.StoreSubmission({"u" + std::to_string(i % 3), "t", "=cmd|' /C calc'!A0", "верно", 1,
                                3, true, "a = 1.5; b = 2", 1.5});
    }
    const struct {
        ResultsStyle style;
        std::string header, formulaCell, lineEnd;
    } cases[] = {
        {ResultsStyle::Plain(), "id,user,task,", ",'=cmd|' /C calc'!A0,", "\n"},
        {ResultsStyle::Spreadsheet(), "\xEF\xBB\xBFid;user;task;", ";'=cmd|' /C calc'!A0;", "\r\n"},
    };
    Database db(location);
    for (const auto& c : cases) {
        std::ostringstream csv;
        EXPECT_EQ(RunResultsCommand(db, "u1", "", c.style, csv), 0);
        const std::string text = csv.str();
        std::size_t rows = 0;
        for (std::size_t at = 0; (at = text.find(c.lineEnd, at)) != std::string::npos; ++at)
            ++rows;
        EXPECT_EQ(rows, 101u) << c.header;
        EXPECT_EQ(text.rfind(c.header, 0), 0u) << text.substr(0, 40);
        const char s = c.style.separator, d = c.style.decimal;
        EXPECT_NE(text.find(c.formulaCell), std::string::npos);
        EXPECT_EQ(text.find(std::string{s} + "=cmd"), std::string::npos);
        // The variant's text holds ";": quoted in the spreadsheet's file, where it separates.
        const std::string variant = s == ';' ? "\"a = 1.5; b = 2\"" : "a = 1.5; b = 2";
        EXPECT_NE(text.find(std::string{s} + variant + s + '1' + d + '5' + s + '1' + c.lineEnd),
                  std::string::npos)
            << text.substr(0, 300);
        EXPECT_EQ(text.find("\r\n") != std::string::npos, c.lineEnd == "\r\n");
    }
}

TEST(AccountsTest, DemoAccountsOnlyWithDemoAndTheDemoListensOnLoopback) {
    QTemporaryDir dir;
    const QString db = dir.filePath("c.sqlite");
    const QStringList common = {"--port", "0", "--bank", VEKTA_BANK_DIR, "--db", db};
    {
        Serving course(QStringList{"--listen", "127.0.0.1"} + common);
        EXPECT_NE(course.Banner(), "");
    }
    EXPECT_EQ(RunServer({"--db", db, "user", "list"}).out, "");
    Serving demo(QStringList{"--demo"} + common);
    EXPECT_NE(demo.Banner().find("listening on 127.0.0.1 port"), std::string::npos);
    EXPECT_EQ(RunServer({"--db", db, "user", "list"}).out, "Guest;student\nstudent;student\n");
}

TEST(AccountsTest, TwoDemoServersStartingTogetherOnANewStoreBothServe) {
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir dir;
        const QString db = dir.filePath("s.sqlite");
        const QStringList arguments = {"--demo",       "--port", "0", "--bank",
                                       VEKTA_BANK_DIR, "--db",   db};
        Serving first(arguments);
        Serving second(arguments);
        EXPECT_NE(first.Banner(), "");
        EXPECT_NE(second.Banner(), "");
        EXPECT_EQ(RunServer({"--db", db, "user", "list"}).out, "Guest;student\nstudent;student\n");
    }
}

TEST(AccountsTest, ATakenPortIsReportedBeforeAnythingIsWritten) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir dir;
    const QString db = dir.filePath("p.sqlite");
    const Outcome run = RunServer({"--demo", "--port", QString::number(taken.serverPort()),
                                   "--bank", VEKTA_BANK_DIR, "--db", db});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("cannot listen on 127.0.0.1 port"), std::string::npos) << run.err;
    EXPECT_EQ(RunServer({"--db", db, "user", "list"}).out, "");
}

// A limit given out of range or not as a number stops the server before it serves, with
// the option and its range named, and nothing written.
TEST(AccountsTest, ALimitOutOfRangeIsNamedAndNothingStarts) {
    QTemporaryDir dir;
    const QString db = dir.filePath("l.sqlite");
    for (const auto& [option, value, said] :
         {std::tuple{"--judge-budget", "0", "--judge-budget wants a whole number from 1 to 600000"},
          std::tuple{"--judge-budget", "2s", "not \"2s\""},
          std::tuple{"--submission-burst", "2.5", "--submission-burst wants a whole number"},
          std::tuple{"--login-deadline", "-1", "--login-deadline wants a number from 0.001"},
          std::tuple{"--max-web-connections", "0",
                     "--max-web-connections wants a whole number from 1 to 1000000"},
          std::tuple{"--max-web-per-address", "x", "--max-web-per-address wants a whole"},
          std::tuple{"--stop-grace", "301", "--stop-grace wants a number from 0 to 300"},
          std::tuple{"--stop-grace", "-1", "not \"-1\""},
          // "--name=VALUE" is no way of writing an option: the usage, not the range.
          std::tuple{"--judge-budget=0", "--strict", "usage: vekta-server"}}) {
        const Outcome run = RunServer(
            {"--demo", "--port", "0", "--db", db, "--bank", VEKTA_BANK_DIR, option, value});
        EXPECT_EQ(run.code, 64) << option << " " << value;
        EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    // A negative number among the words is an operand, refused by its command.
    const Outcome negative = RunServer({"--db", db, "extend", "Ivanov", "-5"});
    EXPECT_EQ(negative.code, 64);
    EXPECT_NE(negative.err.find("usage: vekta-server extend NAME MINUTES (0.."), std::string::npos)
        << negative.err;
    EXPECT_EQ(RunServer({"--db", db, "user", "list"}).out, "");
}
