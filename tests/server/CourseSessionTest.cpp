// A course on the real server over its socket: each student's own variant, attempts that
// count and run out, the standing in the task list, the test window and its extension.

#include "PostgresProcess.h"
#include "ServerProcess.h"
#include "platform/Cp1251.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

using platform::Utf8ToCp1251;

namespace {

// A bank of two tasks: one with a parameter drawn from a wide range (two students all but
// never share a value), one with two attempts; and two accounts.
class CourseBank {
public:
    CourseBank() {
        QDir(dir_.path()).mkpath("statica");
        Write("statica/Балка-1.task", "<CAPTION>Балка, F = {F} Н</CAPTION>\n"
                                      "<QUEST>Сила F = {F} Н. Найти |R!B.</QUEST>\n"
                                      "<REQUEST>R!B;</REQUEST>\n"
                                      "<PARAMETERS>F = 1..90000;</PARAMETERS>\n"
                                      "<ANSWER>F*2;</ANSWER>\n");
        Write("statica/Балка-2.task", "<CAPTION>Консоль</CAPTION>\n"
                                      "<QUEST>Найти |R!A.</QUEST>\n"
                                      "<REQUEST>R!A;</REQUEST>\n"
                                      "<ANSWER>5;</ANSWER>\n"
                                      "<ATTEMPTS>2</ATTEMPTS>\n");
        Write("users.txt", "Ivanov;p1\nPetrov;p2\n");
    }
    QString Path() const { return dir_.path(); }
    // Students s0, s1, ... with passwords p0, p1, ... beside the two.
    void AddStudents(int count) {
        QByteArray users = "Ivanov;p1\nPetrov;p2\n";
        for (int i = 0; i < count; ++i)
            users += QString("s%1;p%1\n").arg(i).toUtf8();
        Write("users.txt", users);
    }

    void Write(const QString& name, const QByteArray& utf8) {
        QFile file(dir_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(utf8);
    }

private:
    QTemporaryDir dir_;
};

std::string LogIn(ProtocolClient& client, const std::string& user, const std::string& password) {
    client.Send("LOGIN", user + ";" + password);
    return MessageText(client.Next());
}

// Sends one answer to the open task and returns the reply, as UTF-8.
std::string Answer(ProtocolClient& client, const std::string& name, const std::string& answer) {
    client.Send("SETRESULTQUEST", " " + name + " @=" + answer + ";");
    return MessageText(client.Next());
}

// The number after "F = " in what the student was sent.
std::string ForceIn(const std::string& cp1251) {
    const std::size_t at = cp1251.find("F = ");
    if (at == std::string::npos)
        return {};
    const std::size_t end = cp1251.find_first_not_of("0123456789", at + 4);
    return cp1251.substr(at + 4, end - at - 4);
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

QString LocalTimeText(qint64 secondsFromNow) {
    return QDateTime::currentDateTime().addSecs(secondsFromNow).toString("yyyy-MM-ddTHH:mm");
}

} // namespace

TEST(CourseSessionTest, EachStudentIsJudgedAgainstTheirOwnVariantAndItIsStored) {
    CourseBank bank;
    ServerProcess server({"--bank", bank.Path(), "--submission-interval", "0"});
    ASSERT_TRUE(server.Started());
    std::string forces[2];
    ProtocolClient ivanov(server.Port()), petrov(server.Port());
    ProtocolClient* clients[2] = {&ivanov, &petrov};
    const std::pair<const char*, const char*> accounts[2] = {{"Ivanov", "p1"}, {"Petrov", "p2"}};
    for (int k = 0; k < 2; ++k) {
        ASSERT_TRUE(clients[k]->LogInAndOpen(accounts[k].first, accounts[k].second,
                                             Utf8ToCp1251("Балка-1")));
        clients[k]->Send("GETQUEST", Utf8ToCp1251("Балка-1")); // the same variant again
        const std::string quest = ReadPayload(clients[k]->Next());
        forces[k] = ForceIn(quest);
        ASSERT_FALSE(forces[k].empty()) << quest;
        // The task list's caption is the same variant's.
        clients[k]->Send("GETQUESTLIST", "1");
        EXPECT_TRUE(Has(ReadPayload(clients[k]->Next()), "F = " + forces[k] + " "));
    }
    ASSERT_NE(forces[0], forces[1]);
    for (int k = 0; k < 2; ++k) {
        const std::string mine = std::to_string(std::stoll(forces[k]) * 2);
        const std::string theirs = std::to_string(std::stoll(forces[1 - k]) * 2);
        EXPECT_TRUE(Has(Answer(*clients[k], "R!B", mine), "R_B: верно"));
        EXPECT_TRUE(Has(Answer(*clients[k], "R!B", theirs), "R_B: неверно"));
    }
    const std::string csv = server.RunCommand({"results", "--task", "Балка-1"});
    EXPECT_TRUE(Has(csv, ",F = " + forces[0] + ",")) << csv;
    EXPECT_TRUE(Has(csv, ",F = " + forces[1] + ",")) << csv;
    // The same secret stays in the store: a server started again draws the same variants.
    ServerProcess again({"--bank", bank.Path()}, server.DatabasePath());
    ProtocolClient later(again.Port());
    ASSERT_TRUE(later.LogInAndOpen("Ivanov", "p1", Utf8ToCp1251("Балка-1")));
    later.Send("GETQUEST", Utf8ToCp1251("Балка-1"));
    EXPECT_EQ(ForceIn(ReadPayload(later.Next())), forces[0]);
}

TEST(CourseSessionTest, AttemptsRunOutAndTheTaskListShowsTheStanding) {
    CourseBank bank;
    ServerProcess server({"--bank", bank.Path(), "--submission-interval", "0"});
    ASSERT_TRUE(server.Started());
    {
        ProtocolClient client(server.Port());
        ASSERT_TRUE(client.LogInAndOpen("Ivanov", "p1", Utf8ToCp1251("Балка-2")));
        const std::string wrong = Answer(client, "R!A", "4");
        EXPECT_TRUE(Has(wrong, "Попытка 1 из 2. Засчитано 0 из 1 (100 % за 1-ю попытку)")) << wrong;
        // An answer that cannot be read uses no attempt.
        EXPECT_TRUE(Has(Answer(client, "R!A", "q"), "не принято"));
        client.Send("GETQUESTLIST", "1");
        EXPECT_TRUE(Has(MessageText(client.Next()), "Консоль — 0 из 1, попыток 1 из 2"));
        const std::string right = Answer(client, "R!A", "5");
        EXPECT_TRUE(Has(right, "Попытка 2 из 2. Засчитано 1 из 1 (100 % за 2-ю попытку)")) << right;
        EXPECT_EQ(Answer(client, "R!A", "5"), "Попытки исчерпаны");
    }
    // A new login reads the standing from the store.
    ProtocolClient client(server.Port());
    LogIn(client, "Ivanov", "p1");
    client.Send("GETQUESTLIST", "1");
    const std::string list = MessageText(client.Next());
    EXPECT_TRUE(Has(list, "Консоль — решено")) << list;
    const std::string csv = server.RunCommand({"results", "--task", "Балка-2"});
    EXPECT_TRUE(Has(csv, ",Попытки исчерпаны,")) << csv;
    // The "не принято" one: no attempt, no variant, no credit, not counted.
    EXPECT_TRUE(Has(csv, ",,,0,0\n")) << csv;
}

// A reference that was wrong: answers judged against it, the task fixed while the server
// runs, a dry run that lists the changes and stores nothing, then the regrade that stores
// them (and keeps what it replaced), up and down alike.
TEST(CourseSessionTest, AFixedReferenceIsRegradedUpAndDown) {
    CourseBank bank;
    ServerProcess server({"--bank", bank.Path(), "--submission-interval", "0"});
    ASSERT_TRUE(server.Started());
    for (const auto& [user, password, answer] :
         {std::tuple("Ivanov", "p1", "6"), std::tuple("Petrov", "p2", "5")}) {
        ProtocolClient client(server.Port());
        ASSERT_TRUE(client.LogInAndOpen(user, password, Utf8ToCp1251("Балка-2")));
        EXPECT_TRUE(Has(Answer(client, "R!A", answer), "Попытка 1 из 2")) << user;
    }
    bank.Write("statica/Балка-2.task", "<CAPTION>Консоль</CAPTION>\n<QUEST>Найти |R!A.</QUEST>\n"
                                       "<REQUEST>R!A;</REQUEST>\n<ANSWER>6;</ANSWER>\n"
                                       "<ATTEMPTS>2</ATTEMPTS>\n");
    const QStringList regrade = {"--bank", bank.Path(), "regrade"};
    const std::string before = server.RunCommand({"results", "--task", "Балка-2"});
    const std::string changes = "Ivanov;Балка-2;0;1\nPetrov;Балка-2;1;0\n"
                                "regraded 2 submissions: 1 up, 1 down, 0 left as they were\n";
    EXPECT_EQ(server.RunCommand(regrade + QStringList{"--dry-run"}), changes);
    EXPECT_EQ(server.RunCommand({"results", "--task", "Балка-2"}), before);
    EXPECT_EQ(server.RunCommand(regrade + QStringList{"Балка-2"}), changes);
    const std::string after = server.RunCommand({"results", "--task", "Балка-2"});
    EXPECT_TRUE(Has(after, ",Ivanov,Балка-2,")) << after;
    EXPECT_TRUE(Has(after, ",1,1,R_A: верно,")) << after;
    EXPECT_TRUE(Has(after, ",0,1,R_A: неверно,")) << after;
    // Done once, nothing changes the second time; a task the bank lacks is refused.
    EXPECT_EQ(server.RunCommand(regrade),
              "regraded 2 submissions: 0 up, 0 down, 0 left as they were\n");
    int exitCode = 0;
    server.RunCommand(regrade + QStringList{"Нет-1"}, {}, &exitCode);
    EXPECT_EQ(exitCode, 64);
    // The list the student sees follows the new verdicts.
    ProtocolClient client(server.Port());
    LogIn(client, "Ivanov", "p1");
    client.Send("GETQUESTLIST", "1");
    EXPECT_TRUE(Has(MessageText(client.Next()), "Консоль — решено"));
}

// Two servers on one PostgreSQL database, a student on each with the last attempt left,
// both answering at the same instant: one answer takes the attempt, the other is told that
// none is left, through whichever server it came.
TEST(CourseSessionTest, TheLastAttemptIsTakenOnceThroughTwoServersAtOnce) {
    PostgresProcess postgres;
    if (!postgres.Available())
        GTEST_SKIP() << postgres.Why().toStdString();
    ASSERT_TRUE(postgres.Start());
    constexpr int kStudents = 12;
    CourseBank bank;
    bank.AddStudents(kStudents);
    const QString url = QString::fromStdString(postgres.Url());
    const QStringList options{"--bank", bank.Path(), "--submission-interval", "0"};
    ServerProcess first(options, url), second(options, url);
    ASSERT_TRUE(first.Started() && second.Started());
    std::vector<std::unique_ptr<ProtocolClient>> here, there;
    for (int i = 0; i < kStudents; ++i) {
        const std::string name = "s" + std::to_string(i), password = "p" + std::to_string(i);
        here.push_back(std::make_unique<ProtocolClient>(first.Port()));
        there.push_back(std::make_unique<ProtocolClient>(second.Port()));
        ASSERT_TRUE(here[i]->LogInAndOpen(name, password, Utf8ToCp1251("Балка-2")));
        ASSERT_TRUE(there[i]->LogInAndOpen(name, password, Utf8ToCp1251("Балка-2")));
        ASSERT_TRUE(Has(Answer(*here[i], "R!A", "4"), "Попытка 1 из 2")) << i;
    }
    const std::string answer = " R!A @=5;";
    for (int i = 0; i < kStudents; ++i) {
        here[i]->Send("SETRESULTQUEST", answer);
        there[i]->Send("SETRESULTQUEST", answer);
    }
    for (int i = 0; i < kStudents; ++i) {
        const std::string replies[2] = {MessageText(here[i]->Next()),
                                        MessageText(there[i]->Next())};
        const int taken = Has(replies[0], "Попытка 2 из 2") + Has(replies[1], "Попытка 2 из 2");
        const int refused =
            (replies[0] == "Попытки исчерпаны") + (replies[1] == "Попытки исчерпаны");
        EXPECT_EQ(std::make_pair(taken, refused), std::make_pair(1, 1))
            << i << ": " << replies[0] << " | " << replies[1];
    }
    // The store agrees: two attempts each, and the refused answer kept as such.
    const std::string csv = first.RunCommand({"results", "--task", "Балка-2"});
    for (int i = 0; i < kStudents; ++i) {
        const std::string name = "s" + std::to_string(i);
        EXPECT_TRUE(Has(csv, "," + name + ",")) << csv;
    }
    EXPECT_FALSE(Has(csv, ",3,")) << csv;
    std::size_t refused = 0;
    for (std::size_t at = 0; (at = csv.find(",Попытки исчерпаны,", at)) != std::string::npos; ++at)
        ++refused;
    EXPECT_EQ(refused, static_cast<std::size_t>(kStudents)) << csv;
}

TEST(CourseSessionTest, OutsideTheWindowTasksAreClosedAndAnExtensionReopensThem) {
    CourseBank bank;
    {
        ServerProcess early({"--bank", bank.Path(), "--open", LocalTimeText(3 * 3600)});
        ProtocolClient client(early.Port());
        LogIn(client, "Ivanov", "p1");
        client.Send("GETQUESTLIST", "1");
        EXPECT_TRUE(Has(MessageText(client.Next()), "Задания откроются "));
    }
    const QString close = LocalTimeText(-3600);
    ServerProcess server({"--bank", bank.Path(), "--close", close, "--submission-interval", "0"});
    ASSERT_TRUE(server.Started());
    const std::string closedAt = QDateTime::fromString(close, "yyyy-MM-ddTHH:mm")
                                     .toString("dd.MM.yyyy в HH:mm")
                                     .toStdString();
    ProtocolClient petrov(server.Port());
    LogIn(petrov, "Petrov", "p2");
    petrov.Send("GETQUEST", Utf8ToCp1251("Балка-2"));
    EXPECT_EQ(MessageText(petrov.Next()), "Время вышло " + closedAt);

    int code = -1;
    server.RunCommand({"extend", "Ivanov", "1440"}, {}, &code);
    EXPECT_EQ(code, 0);
    server.RunCommand({"extend", "Nobody", "10"}, {}, &code);
    EXPECT_EQ(code, 1);
    ProtocolClient ivanov(server.Port());
    ASSERT_TRUE(ivanov.LogInAndOpen("Ivanov", "p1", Utf8ToCp1251("Балка-2")));
    EXPECT_TRUE(Has(Answer(ivanov, "R!A", "5"), "верно"));
    // The extension taken back while the task is open: the next answer is stored as late.
    server.RunCommand({"extend", "Ivanov", "0"}, {}, &code);
    EXPECT_EQ(Answer(ivanov, "R!A", "5"), "Время вышло " + closedAt);
    const std::string csv = server.RunCommand({"results", "--user", "Ivanov"});
    EXPECT_TRUE(Has(csv, ",Время вышло " + closedAt + ",")) << csv;
}

// A course that reviews after the close: until the student's own close an answer is only
// taken, and the list shows no standing; once it passed, the list shows the results.
TEST(CourseSessionTest, ResultsWaitForTheCloseWhenTheCourseReviewsAfterIt) {
    CourseBank bank;
    bank.Write("course.conf", "review = after_close\n");
    ServerProcess server(
        {"--bank", bank.Path(), "--close", LocalTimeText(-3600), "--submission-interval", "0"});
    ASSERT_TRUE(server.Started());
    server.RunCommand({"extend", "Ivanov", "1440"});
    {
        ProtocolClient ivanov(server.Port());
        ivanov.Send("FEATURES", "history");
        ASSERT_TRUE(ivanov.LogInAndOpen("Ivanov", "p1", Utf8ToCp1251("Балка-2")));
        EXPECT_EQ(Answer(ivanov, "R!A", "5"), "Ответ принят (попытка 1 из 2). Результаты будут "
                                              "доступны после окончания тестирования.");
        ivanov.Send("GETQUESTLIST", "1");
        const std::string list = MessageText(ivanov.Next());
        EXPECT_TRUE(Has(list, "Консоль")) << list;
        EXPECT_FALSE(Has(list, "Консоль — ")) << list;
        // The student's history holds the answer, and neither verdict nor score yet.
        ivanov.Send("GETHISTORY", Utf8ToCp1251("Балка-2"));
        const HistoryMessage history = ReadHistory(PayloadOf(ivanov.Next()));
        ASSERT_EQ(history.entries.size(), 1u);
        EXPECT_EQ(history.entries[0].answers, " R!A @=5;");
        EXPECT_EQ(history.entries[0].verdicts, "");
        EXPECT_EQ(history.entries[0].score, "");
    }
    server.RunCommand({"extend", "Ivanov", "0"});
    ProtocolClient ivanov(server.Port());
    ivanov.Send("FEATURES", "history");
    LogIn(ivanov, "Ivanov", "p1");
    ivanov.Send("GETQUESTLIST", "1");
    const std::string list = MessageText(ivanov.Next());
    EXPECT_TRUE(Has(list, "Консоль — решено, попыток 1 из 2")) << list;
    ivanov.Send("GETHISTORY", Utf8ToCp1251("Балка-2"));
    const HistoryMessage history = ReadHistory(PayloadOf(ivanov.Next()));
    ASSERT_EQ(history.entries.size(), 1u);
    EXPECT_EQ(platform::Cp1251ToUtf8(history.entries[0].verdicts), "R_A: верно");
    EXPECT_EQ(platform::Cp1251ToUtf8(history.entries[0].score), "1 из 1");
    EXPECT_EQ(history.entries[0].time.size(), 24u) << history.entries[0].time; // with ms, UTC
}

// A course that shows solutions once the attempts are used, asked over the socket as an
// attack would: before the attempts ran out, for a task whose attempts never run out, for
// another student's by name, before a login and without naming the feature. Only the
// student who used every attempt of the task gets it, and is told when it opened.
TEST(CourseSessionTest, ASolutionIsSentOnlyToTheStudentWhoUsedEveryAttempt) {
    CourseBank bank;
    bank.Write("course.conf", "solutions = after_attempts\n");
    ServerProcess server({"--bank", bank.Path(), "--submission-interval", "0"});
    ASSERT_TRUE(server.Started());
    const std::string task = Utf8ToCp1251("Балка-2");
    ProtocolClient ivanov(server.Port());
    ivanov.Send("FEATURES", "solutions");
    ivanov.Send("GETSOLUTION", task);
    EXPECT_EQ(ReadTag(ivanov.Next()), "RELOG");
    ASSERT_TRUE(ivanov.LogInAndOpen("Ivanov", "p1", task));
    EXPECT_TRUE(ivanov.ServerFeatures().Has(kFeatureSolutions));
    const std::vector<std::pair<std::string, std::string>> refused = {
        {task, "Решение будет доступно, когда вы используете все попытки."},
        {Utf8ToCp1251("Балка-1"), "число попыток не ограничено"},
        {task + ";Petrov", "Задание не найдено"},
        {Utf8ToCp1251("Балка-2\nPetrov"), "Задание не найдено"},
    };
    for (const auto& [asked, told] : refused) {
        ivanov.Send("GETSOLUTION", asked);
        const std::string answer = ivanov.Next();
        EXPECT_EQ(ReadTag(answer), "MESSAGE") << answer;
        EXPECT_TRUE(Has(MessageText(answer), told)) << MessageText(answer);
    }
    EXPECT_TRUE(Has(Answer(ivanov, "R!A", "4"), "Попытка 1 из 2"));
    ivanov.Send("SETRESULTQUEST", " R!A @=6;");
    EXPECT_TRUE(Has(MessageText(ivanov.Next()), "Попытка 2 из 2"));
    EXPECT_EQ(ivanov.Next(), "<SOLUTIONREADY:" + std::to_string(task.size()) + ">" + task);

    // Petrov, who answered nothing, gets nothing of it, asking with or without the feature.
    ProtocolClient petrov(server.Port());
    petrov.Send("FEATURES", "solutions");
    LogIn(petrov, "Petrov", "p2");
    petrov.Send("GETSOLUTION", task);
    EXPECT_TRUE(Has(MessageText(petrov.Next()), "используете все попытки"));
    ProtocolClient plain(server.Port());
    LogIn(plain, "Ivanov", "p1");
    plain.Send("GETSOLUTION", task);
    plain.Send("GETQUEST", task);
    EXPECT_EQ(ReadTag(plain.Next()), "QUEST") << "the request is passed by unanswered";

    ivanov.Send("GETSOLUTION", task);
    const std::string answer = ivanov.Next();
    ASSERT_EQ(ReadTag(answer), "SOLUTION") << answer;
    const SolutionMessage solution = ReadSolution(PayloadOf(answer));
    EXPECT_EQ(solution.task, task);
    ASSERT_EQ(solution.rows.size(), 1u);
    EXPECT_EQ(solution.rows[0].name, "R!A");
    EXPECT_EQ(solution.rows[0].answer, "5");
    ivanov.Send("GETQUEST", task);
    EXPECT_TRUE(ReadQuestSections(ivanov.Next()).solution);
}
