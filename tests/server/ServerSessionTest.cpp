#include "session/ServerSession.h"
#include "course/TaskBank.h"
#include "course/TaskVariant.h"
#include "course/VariantSeed.h"
#include "diagram/DiagramDocument.h"
#include "platform/Cp1251.h"
#include "platform/RecordingCanvas.h"
#include "protocol/QuestSections.h"
#include "protocol/Sections.h"
#include "support/MemorySessionHost.h"

#include <gtest/gtest.h>

using platform::Cp1251ToUtf8;
using platform::Utf8ToCp1251;

namespace {

TaskBank SmallBank() {
    TaskBank bank;
    bank.tasks.push_back(ParseTaskFile("<CAPTION>Балка\nна опорах</CAPTION><QUEST>Найти |R!A и\n"
                                       "R!B.</QUEST><IMAGE>LINE(1,2,3,4);\nSHARNIR(1,2);</IMAGE>"
                                       "<REQUEST>R!A;R!B;</REQUEST>",
                                       "<STATICA>", Utf8ToCp1251("Балка-1")));
    bank.tasks.push_back(ParseTaskFile("<CAPTION>K</CAPTION><ANIMATE><VAR>t=0;</VAR></ANIMATE>",
                                       "<KINEMATIK>", "k1"));
    return bank;
}

MemorySessionHost GuestHost() {
    MemorySessionHost host;
    host.accounts = {{"Guest", "wuzo"}};
    return host;
}

} // namespace

TEST(TaskBankTest, TaskFilesBecomeWireTextsInCp1251) {
    const TaskBank bank = SmallBank();
    const BankTask& task = bank.tasks[0];
    EXPECT_EQ(task.caption, Utf8ToCp1251("Балка на опорах"));
    EXPECT_EQ(task.quest, Utf8ToCp1251("Найти |R!A и R!B."));
    EXPECT_EQ(task.image, "LINE(1,2,3,4);SHARNIR(1,2);");
    EXPECT_EQ(task.request, "R!A;R!B;");
    EXPECT_EQ(bank.Find(Utf8ToCp1251("Балка-1")), &task);
    EXPECT_EQ(bank.Find("none"), nullptr);
}

TEST(TaskBankTest, TheShippedBankLoads) {
    const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    ASSERT_GE(bank.tasks.size(), 3u);
    EXPECT_EQ(bank.tasks.front().sheetTag, "<STATICA>");
    EXPECT_EQ(bank.tasks.back().sheetTag, "<DINAMIK>");
    EXPECT_EQ(bank.users.at("Guest"), "wuzo");
    for (const char* flawed : {"<REQUEST>a;b;</REQUEST><ANSWER>1;</ANSWER>",
                               "<TOLERANCE>x</TOLERANCE>", "<TOLERANCE>0</TOLERANCE>",
                               "<VARIABLES>a = 3..-3;</VARIABLES>", "<VARIABLES>2x;</VARIABLES>"})
        EXPECT_FALSE(ParseTaskFile(flawed, "<STATICA>", "t").problem.empty()) << flawed;
    EXPECT_THROW(LoadTaskBank("/nonexistent/bank"), std::runtime_error);
}

TEST(TaskBankTest, EveryStatementOfTheShippedDiagramsIsUnderstood) {
    for (const BankTask& task : LoadTaskBank(VEKTA_BANK_DIR).tasks) {
        // The diagram as a student is sent it, with the values of a variant in it.
        std::string document = VariantOf(task, kPreviewSecret, "variant 1").task.image;
        const platform::Result<diagram::DiagramSize> size = diagram::ReadDiagramHeader(document);
        ASSERT_TRUE(size.Ok()) << platform::Cp1251ToUtf8(task.name);
        EXPECT_TRUE(diagram::IsDrawableSize(*size));
        platform::RecordingCanvas canvas;
        diagram::DrawingContext context;
        diagram::InitContext(context);
        diagram::AttachCanvas(context, canvas);
        std::size_t start = 0;
        for (std::size_t end; (end = document.find(';', start)) != std::string::npos;
             start = end + 1) {
            const platform::Result<bool> drawn =
                diagram::DrawPrimitive(context, document.substr(start, end - start + 1));
            EXPECT_TRUE(drawn && *drawn)
                << platform::Cp1251ToUtf8(task.name) << ": " << document.substr(start, end - start);
        }
        EXPECT_EQ(start, document.size()) << platform::Cp1251ToUtf8(task.name);
    }
}

TEST(ServerSessionTest, RequestsBeforeLoginAskForALogin) {
    const TaskBank bank = SmallBank();
    MemorySessionHost host = GuestHost();
    ServerSession session(bank, host);
    EXPECT_EQ(session.Receive("<GETQUESTLIST:1>1"), "<RELOG:0>");
    const std::string refused = session.Receive("<LOGIN:10>Guest;oops");
    EXPECT_NE(refused.find("<RELOG:0>"), std::string::npos);
    EXPECT_FALSE(session.LoggedIn());

    // The client's FEATURES, before a login too, are answered with nothing; a client that
    // named "bye" is told goodbye with BYE, any other with a MESSAGE.
    EXPECT_EQ(ServerSession::Greeting(), "<FEATURES:36>bye;device;history;drawing;solutions");
    const std::string text = Utf8ToCp1251("Сервер остановлен.");
    EXPECT_EQ(session.Farewell("stopping", "Сервер остановлен."), WriteText(text));
    EXPECT_EQ(session.Receive("<FEATURES:15>history;bye;x=1"), "");
    EXPECT_EQ(session.FramesAnswered(), 3);
    EXPECT_EQ(session.ClientFeatures().ValueOf("x"), "1");
    EXPECT_EQ(session.Farewell("stopping", "Сервер остановлен."), WriteBye({"stopping", text}));
}

TEST(ServerSessionTest, ALoggedInStudentGetsTheListAndTheTasks) {
    const TaskBank bank = SmallBank();
    MemorySessionHost host = GuestHost();
    ServerSession session(bank, host);
    const std::string welcome = session.Receive("<LOGIN:10>Guest;wuzo");
    EXPECT_EQ(welcome.rfind("<MESSAGE:", 0), 0u);
    EXPECT_TRUE(session.LoggedIn());
    const std::string list = session.Receive("<GETQUESTLIST:1>1");
    const std::string listPayload = "<STATICA><NAME>" + Utf8ToCp1251("Балка-1") +
                                    "</NAME><CAPTION>" + Utf8ToCp1251("Балка на опорах") +
                                    "</CAPTION><KINEMATIK><NAME>k1</NAME><CAPTION>K</CAPTION>";
    EXPECT_EQ(list, BuildFrame("QUESTLIST", listPayload));

    // Two requests in one chunk, the first split from its header: both are answered.
    const std::string get =
        BuildFrame("GETQUEST", Utf8ToCp1251("Балка-1")) + BuildFrame("GETQUEST", "k1");
    std::string replies = session.Receive(get.substr(0, 5));
    replies += session.Receive(get.substr(5));
    std::string first = ReadPayload(replies);
    EXPECT_EQ(ReadTag(replies), "QUEST");
    EXPECT_EQ(ExtractSection(first, "REQUEST"), "R!A;R!B;");
    EXPECT_NE(replies.find("<ANIMATE><VAR>t=0;</VAR></ANIMATE>"), std::string::npos);

    EXPECT_EQ(ReadTag(session.Receive(BuildFrame("GETQUEST", "missing"))), "MESSAGE");
    EXPECT_EQ(ReadTag(session.Receive(BuildFrame("SETRESULTQUEST", " R!A @=1;"))), "MESSAGE");
    ASSERT_EQ(host.submissions.size(), 1u);
    EXPECT_EQ(host.submissions[0].task, "k1");
    EXPECT_EQ(host.submissions[0].payload, " R!A @=1;");
    EXPECT_EQ(host.submissions[0].score, -1);

    // A judged task declares its names even when there are none, so that the client refuses
    // any other name; a task that is not judged leaves every name to the student.
    EXPECT_EQ(first.find("VARIABLES"), std::string::npos);
    TaskBank judged;
    judged.tasks.push_back(
        ParseTaskFile("<REQUEST>M;</REQUEST><ANSWER>5;</ANSWER>", "<STATICA>", "c2"));
    ServerSession judging(judged, host);
    judging.Receive("<LOGIN:10>Guest;wuzo");
    EXPECT_NE(judging.Receive(BuildFrame("GETQUEST", "c2")).find("<VARIABLES></VARIABLES>"),
              std::string::npos);
}

TEST(ServerSessionTest, UnreadableOrOversizedFramesEndTheService) {
    const TaskBank bank = SmallBank();
    MemorySessionHost host = GuestHost();
    for (const char* bytes : {"<LOGIN:x>", "<GETQUEST:2000000>abc"}) {
        ServerSession session(bank, host);
        EXPECT_EQ(session.Receive(bytes), "");
        EXPECT_TRUE(session.Broken());
        EXPECT_EQ(session.Receive("<LOGIN:10>Guest;wuzo"), "");
    }
}

TEST(ServerSessionTest, ASubmissionThatCannotBeStoredIsReportedAsSuch) {
    const TaskBank bank = SmallBank();
    MemorySessionHost host = GuestHost();
    ServerSession session(bank, host);
    session.Receive("<LOGIN:10>Guest;wuzo" + BuildFrame("GETQUEST", "k1"));
    host.storing = false;
    const std::string reply = session.Receive(BuildFrame("SETRESULTQUEST", " a @=1;"));
    EXPECT_NE(Cp1251ToUtf8(ReadPayload(reply)).find("не удалось сохранить"), std::string::npos);
}

TEST(ServerSessionTest, AnUndecidedLoginHoldsBackTheFramesBehindIt) {
    const TaskBank bank = SmallBank();
    MemorySessionHost host = GuestHost();
    host.pending = true;
    ServerSession session(bank, host);
    EXPECT_EQ(session.Receive("<LOGIN:10>Guest;wuzo<GETQUESTLIST:1>1"), "");
    EXPECT_TRUE(session.Waiting());
    host.pending = false;
    const std::string replies = session.Continue();
    EXPECT_TRUE(session.LoggedIn());
    EXPECT_EQ(ReadTag(replies), "MESSAGE");
    EXPECT_NE(replies.find("<QUESTLIST:"), std::string::npos);
    EXPECT_FALSE(session.Waiting());
}

TEST(ServerSessionTest, AFloodBeyondTheQueueIsAnsweredWhole) {
    const TaskBank bank = SmallBank();
    MemorySessionHost host = GuestHost();
    ServerSession session(bank, host);
    std::string flood;
    const std::size_t requests = FrameQueue::kMaxMessages + 500;
    for (std::size_t i = 0; i < requests; ++i)
        flood += "<GETQUESTLIST:1>1";
    const std::string replies = session.Receive(flood);
    std::size_t relogs = 0;
    for (std::size_t at = replies.find("<RELOG:0>"); at != std::string::npos;
         at = replies.find("<RELOG:0>", at + 1))
        ++relogs;
    EXPECT_EQ(relogs, requests);
    EXPECT_FALSE(session.Broken());
}

// A host whose submissions wait until the test settles them.
class SettledLaterHost : public MemorySessionHost {
public:
    std::optional<SubmissionOutcome> Submit(const SubmissionRequest& request) override {
        asked.push_back(request.payload);
        if (!outcome)
            return std::nullopt;
        std::optional<SubmissionOutcome> settled;
        settled.swap(outcome);
        return settled;
    }
    std::vector<std::string> asked;
    std::optional<SubmissionOutcome> outcome;
};

TEST(ServerSessionTest, ASubmissionWaitsForItsOutcomeAndHoldsBackTheFramesBehindIt) {
    const TaskBank bank = SmallBank();
    SettledLaterHost host;
    host.accounts = {{"Guest", "wuzo"}};
    ServerSession session(bank, host);
    session.Receive("<LOGIN:10>Guest;wuzo" + BuildFrame("GETQUEST", "k1"));
    EXPECT_EQ(
        session.Receive(BuildFrame("SETRESULTQUEST", " a @=1;") + BuildFrame("GETQUESTLIST", "1")),
        "");
    EXPECT_TRUE(session.Waiting());
    EXPECT_EQ(session.Continue(), ""); // asked again, still unsettled
    using Status = SubmissionOutcome::Status;
    const std::vector<std::pair<Status, const char*>> cases = {
        {Status::Paced, "Подождите 2 с перед следующей отправкой"},
        {Status::TooComplex, "не принято: выражение слишком сложное"},
        {Status::Unavailable, "Сервер сейчас не может сохранять ответы"},
        {Status::NotStored, "не удалось сохранить"},
    };
    for (const auto& [status, text] : cases) {
        host.outcome = SubmissionOutcome{status, {}, 1001, "why", 0, {}};
        const std::string replies = session.Continue();
        EXPECT_NE(Cp1251ToUtf8(ReadPayload(replies)).find(text), std::string::npos) << replies;
        EXPECT_NE(replies.find("<QUESTLIST:"), std::string::npos);
        EXPECT_FALSE(session.Waiting());
        session.Receive(BuildFrame("SETRESULTQUEST", " a @=1;") + BuildFrame("GETQUESTLIST", "1"));
    }
}

TEST(ServerSessionTest, SubmissionsWithoutATaskOrOverTheSizeLimitAreAnsweredAndNotStored) {
    const TaskBank bank = SmallBank();
    MemorySessionHost host = GuestHost();
    ServerSession session(bank, host);
    session.Receive("<LOGIN:10>Guest;wuzo");
    EXPECT_NE(Cp1251ToUtf8(session.Receive(BuildFrame("SETRESULTQUEST", " a @=1;")))
                  .find("сначала откройте задание"),
              std::string::npos);
    session.Receive(BuildFrame("GETQUEST", "k1"));
    const std::string big(ServerSession::MaxSubmissionBytes + 1, '1');
    EXPECT_NE(Cp1251ToUtf8(session.Receive(BuildFrame("SETRESULTQUEST", big))).find("16 КБ"),
              std::string::npos);
    EXPECT_TRUE(host.submissions.empty());
    EXPECT_FALSE(session.Broken());
    // A frame over the limit after login ends the session; before login, 1 KB does.
    session.Receive(BuildFrame("SETRESULTQUEST", std::string(ServerSession::MaxFrameBytes, '1')));
    EXPECT_TRUE(session.Broken());
    ServerSession fresh(bank, host);
    fresh.Receive(BuildFrame("LOGIN", std::string(ServerSession::MaxLoginFrameBytes, 'x')));
    EXPECT_TRUE(fresh.Broken());
}

TEST(ServerSessionTest, ALoginTheAccountsCannotDecideIsNeverCalledAWrongPassword) {
    class DownHost : public MemorySessionHost {
        LoginDecision CheckLogin(const std::string&, const std::string&) override {
            return LoginDecision::Unavailable;
        }
    } host;
    const TaskBank bank = SmallBank();
    ServerSession session(bank, host);
    const std::string replies = session.Receive("<LOGIN:10>Guest;wuzo");
    EXPECT_NE(Cp1251ToUtf8(ReadPayload(replies)).find("не может проверить вход"),
              std::string::npos);
    EXPECT_EQ(Cp1251ToUtf8(replies).find("Неверное"), std::string::npos);
    EXPECT_NE(replies.find("<RELOG:0>"), std::string::npos);
    EXPECT_FALSE(session.LoggedIn());
}

TEST(ServerSessionTest, AVariantThatFailsIsNotServedAndTheWindowClosesTheTasks) {
    TaskBank bank;
    bank.tasks.push_back(ParseTaskFile("<CAPTION>Балка {G}</CAPTION><QUEST>Q</QUEST>"
                                       "<REQUEST>a;</REQUEST><ANSWER>1;</ANSWER>",
                                       "<STATICA>", "t1"));
    MemorySessionHost host = GuestHost();
    {
        ServerSession session(bank, host);
        session.Receive("<LOGIN:10>Guest;wuzo");
        EXPECT_NE(Cp1251ToUtf8(session.Receive(BuildFrame("GETQUEST", "t1")))
                      .find("Задание сейчас недоступно"),
                  std::string::npos);
        EXPECT_NE(Cp1251ToUtf8(session.Receive(BuildFrame("SETRESULTQUEST", " a @=1;")))
                      .find("сначала откройте задание"),
                  std::string::npos);
    }
    bank.course.window.open = LocalTime{2026, 12, 10, 10, 0};
    bank.course.window.close = LocalTime{2026, 12, 10, 11, 30};
    for (const auto& [now, text] :
         {std::pair{LocalTime{2026, 12, 10, 9, 59}, "Задания откроются 10.12.2026 в 10:00"},
          {LocalTime{2026, 12, 10, 11, 30}, "Время вышло 10.12.2026 в 11:30"}}) {
        host.now = now;
        ServerSession session(bank, host);
        session.Receive("<LOGIN:10>Guest;wuzo");
        EXPECT_EQ(Cp1251ToUtf8(ReadPayload(session.Receive(BuildFrame("GETQUESTLIST", "1")))),
                  text);
    }
    // A student given more time works past the close.
    host.students["Guest"].extensionMinutes = 15;
    ServerSession session(bank, host);
    session.Receive("<LOGIN:10>Guest;wuzo");
    EXPECT_EQ(ReadTag(session.Receive(BuildFrame("GETQUESTLIST", "1"))), "QUESTLIST");
}

// A client that named "history" reads its own submissions at a task, oldest first, with
// their verdicts and credit (the attempt's penalty taken off) unless the course withholds
// results until the student's close. The request is passed by from a client that did not
// name it, asks for a login first, finds nothing at a task the course lacks, waits for a
// host still reading, and says so when the store cannot be read.
TEST(ServerSessionTest, AStudentReadsTheirOwnHistoryAsTheCourseAllows) {
    using Review = CourseConfig::Review;
    const LocalTime noon{2026, 12, 10, 12, 0};
    const LocalTime later{2026, 12, 10, 12, 30};
    const struct {
        Review review;
        std::optional<LocalTime> close;
        LocalTime askedAt;
        bool shown;
    } cases[] = {
        {Review::Immediate, std::nullopt, later, true},
        {Review::Immediate, noon, later, true},
        {Review::AfterClose, noon, {2026, 12, 10, 11, 0}, false},
        {Review::AfterClose, noon, later, true},
        {Review::AfterClose, std::nullopt, later, true}, // no close: as at once
    };
    for (const auto& c : cases) {
        TaskBank bank;
        bank.tasks.push_back(
            ParseTaskFile("<REQUEST>M;</REQUEST><ANSWER>5;</ANSWER><ATTEMPTS>3; 10</ATTEMPTS>",
                          "<STATICA>", "c2"));
        bank.course.review = c.review;
        bank.course.window.close = c.close;
        MemorySessionHost host = GuestHost();
        ServerSession session(bank, host);
        const std::string ask = BuildFrame("GETHISTORY", "c2");
        EXPECT_EQ(session.Receive(BuildFrame("FEATURES", "history") + ask), "<RELOG:0>");
        session.Receive("<LOGIN:10>Guest;wuzo" + BuildFrame("GETQUEST", "c2"));
        session.Receive(WriteSubmission(" M @=4;"));
        host.receivedUtc = "2026-12-10T06:31:00Z";
        session.Receive(WriteSubmission(" M @=5;"));
        host.now = c.askedAt;

        const HistoryMessage history = ReadHistory(PayloadOf(session.Receive(ask)));
        EXPECT_EQ(history.task, "c2");
        ASSERT_EQ(history.entries.size(), 2u);
        EXPECT_EQ(history.entries[0].time, "2026-12-10T06:30:00Z");
        EXPECT_EQ(history.entries[0].answers, " M @=4;");
        EXPECT_EQ(history.entries[1].time, "2026-12-10T06:31:00Z");
        EXPECT_EQ(history.entries[1].answers, " M @=5;");
        if (c.shown) {
            EXPECT_EQ(Cp1251ToUtf8(history.entries[0].verdicts), "M: неверно");
            EXPECT_EQ(Cp1251ToUtf8(history.entries[0].score), "0 из 1");
            EXPECT_EQ(Cp1251ToUtf8(history.entries[1].verdicts), "M: верно");
            EXPECT_EQ(Cp1251ToUtf8(history.entries[1].score), "0,9 из 1");
        } else {
            EXPECT_EQ(history.entries[1].verdicts, "");
            EXPECT_EQ(history.entries[1].score, "");
        }

        EXPECT_EQ(session.Receive(BuildFrame("GETHISTORY", "missing")),
                  WriteHistory({"missing", {}}));
        host.pending = true;
        EXPECT_EQ(session.Receive(ask + WriteTaskListRequest()), "");
        EXPECT_TRUE(session.Waiting());
        host.pending = false;
        const std::string held = session.Continue();
        EXPECT_EQ(held.rfind(WriteHistory(history), 0), 0u); // then the list's answer
        EXPECT_GT(held.size(), WriteHistory(history).size());
        host.storing = false;
        EXPECT_NE(Cp1251ToUtf8(ReadPayload(session.Receive(ask))).find("не может прочитать"),
                  std::string::npos);
    }
    // Without "history" named, the request is no message at all.
    const TaskBank bank = SmallBank();
    MemorySessionHost host = GuestHost();
    ServerSession session(bank, host);
    session.Receive("<LOGIN:10>Guest;wuzo");
    EXPECT_EQ(session.Receive(BuildFrame("GETHISTORY", "k1")), "");
    EXPECT_EQ(session.FramesAnswered(), 2);
}

// A task with a drawn answer is listed to a client that cannot draw with "(нужен новый
// клиент)" and not opened for it; a client that named "drawing" gets it with DRAWING, and
// its drawing is judged after the rows as one more row, credited with its score.
TEST(ServerSessionTest, ADrawnAnswerIsJudgedAsOneMoreRowForAClientThatDraws) {
    TaskBank bank;
    bank.tasks.push_back(ParseTaskFile(
        "<CAPTION>Балка</CAPTION><IMAGE>TEXT(45,65,\"A\");</IMAGE><REQUEST>R!A;</REQUEST>"
        "<ANSWER>F/2;</ANSWER><PARAMETERS>F = 8;</PARAMETERS><ATTEMPTS>20</ATTEMPTS>"
        "<DRAW>FORCE(50, 60, 90, R!A, F/2, either); FORCE(150, 60, 270, F);</DRAW>",
        "<STATICA>", "d1"));
    MemorySessionHost host = GuestHost();
    {
        ServerSession old(bank, host);
        old.Receive("<LOGIN:10>Guest;wuzo");
        EXPECT_NE(
            Cp1251ToUtf8(old.Receive(WriteTaskListRequest())).find("Балка (нужен новый клиент)"),
            std::string::npos);
        EXPECT_NE(Cp1251ToUtf8(ReadPayload(old.Receive(BuildFrame("GETQUEST", "d1"))))
                      .find("нужен новый клиент"),
                  std::string::npos);
    }
    const struct {
        const char* payload;
        const char* verdicts; // as stored
        double credited;      // of 2 rows
        const char* told;     // a line of the reply
    } cases[] = {
        {" R!A @=4; @DRAW=force 50 60 90 R!A 4;force 150 60 270 F;", "R_A: верно; рисунок: верно",
         2, "рисунок: верно"},
        {" R!A @=4; @DRAW=force 52 58 92 R_A 8/2;force 150 60 270 F;", "R_A: верно; рисунок: верно",
         2, "Верно 2 из 2"},
        {" R!A @=4; @DRAW=force 50 60 90 R_A;force 150 60 270 F;", "R_A: верно; рисунок: неверно",
         1.5, "неверная величина: R_A в точке A"},
        // The reaction drawn the other way round with its magnitude negative is right too.
        {" R!A @=4; @DRAW=force 50 60 270 R!A -4;force 150 60 270 F;", "R_A: верно; рисунок: верно",
         2, "рисунок: верно"},
        {" R!A @=4; @DRAW=force 50 60 90 R!A 4;", "R_A: верно; рисунок: неверно", 1.5,
         "рисунок: неверно — нет силы F в точке (150, 60) (засчитано 0,5)"},
        // A drawing full of extras is told in brief.
        {" R!A @=4; @DRAW=force 50 60 90 R!A 4;force 150 60 270 F;force 1 1 0 P;force 2 2 0 P;"
         "force 3 3 0 P;force 4 4 0 P;force 5 5 0 P;force 6 6 0 P;force 7 7 0 P;",
         "R_A: верно; рисунок: неверно", 1, "лишняя сила в точке (5, 5); и ещё 2 (засчитано 0)"},
        {" R!A @=4; @DRAW=force 150 60 270 F;", "R_A: верно; рисунок: неверно", 1.5,
         "нет силы R_A в точке A"},
        {" R!A @=3; @DRAW=force 50 60 90 R!A 4;force 150 60 270 F;force 90 60 0 P;",
         "R_A: неверно; рисунок: неверно", 0.5, "лишняя сила в точке (90, 60) (засчитано 0,5)"},
        {" R!A @=4;", "R_A: верно; рисунок: не принято", 1,
         "рисунок: не принято — ничего не нарисовано"},
        {" R!A @=4; @DRAW=force 50 60 up R!A;", "R_A: верно; рисунок: не принято", 1,
         "рисунок: не принято — рисунок не прочитан"},
    };
    ServerSession session(bank, host);
    session.Receive(BuildFrame("FEATURES", "drawing") + "<LOGIN:10>Guest;wuzo");
    const std::string quest = session.Receive(BuildFrame("GETQUEST", "d1"));
    EXPECT_TRUE(ReadQuestSections(quest).drawing);
    EXPECT_EQ(quest.find("FORCE"), std::string::npos) << "what a right drawing holds stays";
    // The client is told the reach (DRAWTOL's default) and that a magnitude is judged.
    EXPECT_NE(quest.find("<DRAWING>1;10;1</DRAWING>"), std::string::npos);
    for (const auto& c : cases) {
        const std::string reply =
            Cp1251ToUtf8(ReadPayload(session.Receive(WriteSubmission(c.payload))));
        EXPECT_NE(reply.find(c.told), std::string::npos) << c.payload << "\n" << reply;
        const SubmissionRecord& stored = host.submissions.back();
        EXPECT_EQ(Cp1251ToUtf8(stored.verdicts), c.verdicts) << c.payload;
        EXPECT_DOUBLE_EQ(stored.credited, c.credited) << c.payload;
        EXPECT_EQ(stored.total, 2) << c.payload;
    }
    // The list's standing counts the drawing as a row: the best attempt was full.
    EXPECT_NE(Cp1251ToUtf8(session.Receive(WriteTaskListRequest())).find("Балка — решено"),
              std::string::npos);
}

// A solution is sent only once the course lets this student see it, and then it holds the
// variant's reference answers, what a right drawing holds and the student's last drawing;
// before that the request is answered with when, and the task is not marked.
TEST(ServerSessionTest, ASolutionIsSentOnlyOnceTheCourseAllowsIt) {
    using Solutions = CourseConfig::Solutions;
    const LocalTime noon{2026, 12, 10, 12, 0};
    const LocalTime before{2026, 12, 10, 11, 0};
    const LocalTime later{2026, 12, 10, 12, 30};
    const struct {
        Solutions solutions;
        std::optional<LocalTime> close;
        LocalTime askedAt;
        int sent;             // submissions before asking, of 2 attempts
        const char* withheld; // a line of the answer; nullptr: the solution is sent
    } cases[] = {
        {Solutions::Never, noon, later, 2, "в этом курсе не показываются"},
        {Solutions::AfterClose, noon, before, 2, "после окончания тестирования"},
        {Solutions::AfterClose, noon, later, 0, nullptr},
        {Solutions::AfterClose, std::nullopt, later, 2, "после окончания тестирования"},
        {Solutions::AfterAttempts, std::nullopt, before, 1, "используете все попытки"},
        {Solutions::AfterAttempts, std::nullopt, before, 2, nullptr},
        {Solutions::AfterAttempts, noon, later, 0, "используете все попытки"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.solutions) * 100 + c.sent);
        TaskBank bank;
        bank.tasks.push_back(ParseTaskFile(
            "<IMAGE>TEXT(45,65,\"A\");</IMAGE><REQUEST>R!A;</REQUEST><ANSWER>F/2;</ANSWER>"
            "<PARAMETERS>F = 8;</PARAMETERS><ATTEMPTS>2</ATTEMPTS>"
            "<DRAW>FORCE(50, 60, 90, R!A, F/2, either); MOMENT(150, 60, cw, M);</DRAW>",
            "<STATICA>", "d1"));
        bank.course.solutions = c.solutions;
        bank.course.window.close = c.close;
        MemorySessionHost host = GuestHost();
        ServerSession session(bank, host);
        const std::string ask = WriteSolutionRequest("d1");
        EXPECT_EQ(session.Receive(BuildFrame("FEATURES", "drawing;solutions") + ask), "<RELOG:0>");
        session.Receive("<LOGIN:10>Guest;wuzo" + BuildFrame("GETQUEST", "d1"));
        std::string replies;
        for (int i = 0; i < c.sent; ++i)
            replies += session.Receive(WriteSubmission(
                i == 0 ? " R!A @=3; @DRAW=force 50 60 90 R!A 3;"
                       : " R!A @=4; @DRAW=force 50 60 270 R_A -4;moment 10 10 ccw M;"));
        // The attempt that opens the solution says so after its verdict.
        const bool opened = c.solutions == Solutions::AfterAttempts && c.sent == 2;
        EXPECT_EQ(replies.ends_with(WriteSolutionReady("d1")), opened) << replies;
        host.now = c.askedAt;

        const std::string answer = session.Receive(ask);
        const std::string quest = session.Receive(BuildFrame("GETQUEST", "d1"));
        // After the close the list stays for a course that shows solutions.
        const bool closed = c.close && c.askedAt.Minutes() > c.close->Minutes();
        EXPECT_EQ(KindOf(session.Receive(WriteTaskListRequest())),
                  closed && c.solutions == Solutions::Never ? MessageKind::Text
                                                            : MessageKind::QuestList);
        if (c.withheld) {
            EXPECT_EQ(KindOf(answer), MessageKind::Text);
            EXPECT_NE(Cp1251ToUtf8(ReadPayload(answer)).find(c.withheld), std::string::npos)
                << Cp1251ToUtf8(answer);
            EXPECT_FALSE(ReadQuestSections(quest).solution);
            continue;
        }
        ASSERT_EQ(KindOf(answer), MessageKind::Solution) << answer;
        const SolutionMessage solution = ReadSolution(PayloadOf(answer));
        EXPECT_EQ(solution.task, "d1");
        EXPECT_EQ(solution.image, "TEXT(45,65,\"A\");");
        ASSERT_EQ(solution.rows.size(), 1u);
        EXPECT_EQ(solution.rows[0].name, "R!A");
        EXPECT_EQ(solution.rows[0].answer, "(8)/2");
        // The magnitudes with the variant's values, and the newest drawing sent.
        EXPECT_EQ(solution.draw, "FORCE(50,60,90,R!A,(8)/2,either);MOMENT(150,60,cw,M);");
        EXPECT_EQ(solution.drawn, c.sent == 2 ? "force 50 60 270 R_A -4;moment 10 10 ccw M;" : "");
        // After the close the task is still sent to be read, marked; an answer is late.
        EXPECT_TRUE(ReadQuestSections(quest).solution) << quest;
        // A client that did not name "solutions" asks for nothing.
        ServerSession plain(bank, host);
        plain.Receive(BuildFrame("FEATURES", "drawing") + "<LOGIN:10>Guest;wuzo");
        EXPECT_EQ(plain.Receive(ask), "");
        EXPECT_FALSE(ReadQuestSections(plain.Receive(BuildFrame("GETQUEST", "d1"))).solution);
    }
}
