// A submission read by its name fields, judged answer by answer, and the message and
// record that come of it.

#include "judging/Submission.h"
#include "judging/VerdictMessage.h"
#include "platform/Cp1251.h"
#include "protocol/Sections.h"
#include "session/ServerSession.h"
#include "support/MemorySessionHost.h"

#include <gtest/gtest.h>

using platform::Cp1251ToUtf8;
using platform::Utf8ToCp1251;

namespace {

BankTask WheelTask() {
    return ParseTaskFile("<REQUEST>X!A;~w;M!A;</REQUEST><ANSWER>3;v!C/R;m*g;</ANSWER>"
                         "<VARIABLES>v!C;R = 1..2;m;</VARIABLES>",
                         "<KINEMATIK>", "k");
}

} // namespace

TEST(SubmissionTest, AnswersAreReadByTheirNameFields) {
    const std::vector<std::string> names = {"X!A", "Y!A", "R!B"};
    // A ";" inside an answer stays; a missing item is reported as missing.
    const auto answers = ReadAnswers(" X!A @= 1 ;2; Y!A @=(3)+1; R!B @=;", names);
    EXPECT_EQ(answers[0], std::optional<std::string>(" 1 ;2"));
    EXPECT_EQ(answers[1], std::optional<std::string>("(3)+1"));
    EXPECT_EQ(answers[2], std::optional<std::string>(""));
    const auto partial = ReadAnswers(" R!B @=7;", names);
    EXPECT_FALSE(partial[0]);
    EXPECT_FALSE(partial[1]);
    EXPECT_EQ(partial[2], std::optional<std::string>("7"));
}

TEST(SubmissionTest, TheMessageNamesEachAnswerAsReadAndSaysWhyOneIsNotRight) {
    const BankTask task = WheelTask();
    ASSERT_EQ(task.problem, "");
    const AnswerJudge judge;
    const SubmissionVerdict verdict =
        JudgeSubmission(&task, " X!A @=3; ~w @=2v!C/R; M!A @=mg;", judge);
    EXPECT_TRUE(verdict.judged);
    EXPECT_EQ(verdict.correctCount, 1);
    EXPECT_EQ(verdict.attemptCount, 2); // "не принято" is no attempt
    EXPECT_EQ(Cp1251ToUtf8(VerdictMessage(verdict)),
              "X_A: верно\n"
              "омега: неверно — ваш ответ 2·v_C/R; вдвое больше: не потерян ли множитель 1/2?\n"
              "M_A: не принято — ваш ответ mg; mg: нет такого обозначения; возможно, m*g?\n"
              "Верно 1 из 3\n"
              "Непринятые ответы не засчитаны как попытка.");
    // The records keep the code of a wrong answer's hint.
    EXPECT_EQ(Cp1251ToUtf8(VerdictSummary(verdict)),
              "X_A: верно; омега: неверно (factor 2); M_A: не принято");

    // An answer without a value at some points, one that cannot be read, a missing one.
    const SubmissionVerdict other =
        JudgeSubmission(&task, " X!A @=3+0*sqrt(R-1,5); ~w @=(v!C/R;", judge);
    EXPECT_EQ(other.attemptCount, 1);
    EXPECT_EQ(Cp1251ToUtf8(VerdictMessage(other)),
              "X_A: неверно — ваш ответ 3+0·sqrt(R-1,5); отрицательное число в аргументе корня\n"
              "омега: не принято — ваш ответ (v!C/R; не хватает закрывающей скобки (знак 1)\n"
              "M_A: не принято — нет ответа\n"
              "Верно 0 из 3\n"
              "Непринятые ответы не засчитаны как попытка.");

    // An answer without a value anywhere says nothing: not accepted, no attempt.
    const SubmissionVerdict undefined = JudgeSubmission(&task, " X!A @=3/(v!C-v!C);", judge);
    EXPECT_EQ(undefined.attemptCount, 0);
    EXPECT_EQ(Cp1251ToUtf8(VerdictMessage(undefined))
                  .find("X_A: не принято — ваш ответ 3/(v_C-v_C); деление на нуль\n"),
              0u);

    const SubmissionVerdict unjudged = JudgeSubmission(nullptr, " a @=3;", judge);
    EXPECT_FALSE(unjudged.judged);
    EXPECT_NE(Cp1251ToUtf8(VerdictMessage(unjudged)).find("записан"), std::string::npos);
}

TEST(SubmissionTest, AnErrorIsCarriedIntoLaterRowsAndTheAuthorsTextToldForATypicalOne) {
    // b's reference uses a's row; c is judged with the student's own a and b.
    BankTask task = ParseTaskFile("<REQUEST>a;b;c;</REQUEST><ANSWER>3;2*a;a+b+x;</ANSWER>"
                                  "<VARIABLES>x;</VARIABLES><CARRY>b: a; c: a, b</CARRY>"
                                  "<FEEDBACK>a = 6 -> это диаметр\nc = 3*a -> забыли x\n"
                                  "</FEEDBACK>",
                                  "<STATICA>", "c");
    ASSERT_EQ(task.problem, "");
    ASSERT_TRUE(task.ruleProblems.empty()) << task.ruleProblems.front();
    task.carryShare = 0.3;
    const AnswerJudge judge;
    struct Case {
        const char* payload;
        const char* message; // UTF-8
        double credited;
    };
    const Case cases[] = {
        // a wrong, b and c right with it; the author's text for a typical a, then the hint
        {" a @=6; b @=12; c @=18+x;",
         "a: неверно — ваш ответ 6; это диаметр; вдвое больше: не потерян ли множитель 1/2?\n"
         "b: верно с учётом ошибки в a (засчитано 0,3)\n"
         "c: верно с учётом ошибки в a (засчитано 0,3)\n"
         "Верно 0 из 3, с учётом ошибки ещё 2",
         0.6},
        // b wrong with a right: c carries b's error alone
        {" a @=3; b @=7; c @=10+x;",
         "a: верно\nb: неверно — ваш ответ 7\nc: верно с учётом ошибки в b (засчитано 0,3)\n", 1.3},
        // c is judged with the student's own a, not with a's reference
        {" a @=4; b @=8; c @=3+8+x;", "c: неверно — ваш ответ 3+8+x\n", 0.3},
        // "не принято" carries nothing; a wrong answer not carried gets the author's text
        {" a @=y; b @=7; c @=9;", "b: неверно — ваш ответ 7\nc: неверно — ваш ответ 9; забыли x\n",
         0},
        {" a @=3; b @=6; c @=9;", "c: неверно — ваш ответ 9; забыли x\nВерно 2 из 3", 2},
    };
    for (const Case& c : cases) {
        const SubmissionVerdict verdict = JudgeSubmission(&task, c.payload, judge);
        const std::string message = Cp1251ToUtf8(VerdictMessage(verdict));
        EXPECT_NE(message.find(c.message), std::string::npos) << c.payload << "\n" << message;
        EXPECT_NEAR(verdict.credited, c.credited, 1e-9) << c.payload;
    }
    const SubmissionVerdict carried = JudgeSubmission(&task, " a @=6; b @=12; c @=18+x;", judge);
    EXPECT_EQ(carried.correctCount, 0);
    EXPECT_EQ(carried.attemptCount, 3);
    EXPECT_EQ(Cp1251ToUtf8(VerdictSummary(carried)),
              "a: неверно (factor 2); b: верно с учётом ошибки в a; c: верно с учётом ошибки в a");
    EXPECT_EQ(ReferenceProblem(task, judge), "");
}

TEST(SubmissionTest, AReferenceThatCannotBeReadOrEvaluatedIsAProblemOfTheTask) {
    BankTask task = WheelTask();
    const AnswerJudge judge;
    EXPECT_EQ(ReferenceProblem(task, judge), "");
    task.answers[1] = "4*y";
    EXPECT_NE(ReferenceProblem(task, judge).find("~w does not evaluate"), std::string::npos);
    task.answers[1] = "ln(0*R)";
    EXPECT_NE(ReferenceProblem(task, judge).find("~w does not evaluate"), std::string::npos);
}

TEST(SubmissionTest, TheSessionSendsTheDeclaredNamesAndStoresANotAcceptedAnswerAsNoAttempt) {
    TaskBank bank;
    bank.tasks.push_back(WheelTask());
    bank.tasks.push_back(ParseTaskFile(
        "<REQUEST>F;</REQUEST><ANSWER>(x-4*a)^6000;</ANSWER><VARIABLES>x;a;</VARIABLES>",
        "<STATICA>", "f"));
    MemorySessionHost host;
    host.accounts = {{"Guest", "wuzo"}};
    ServerSession session(bank, host);
    session.Receive("<LOGIN:10>Guest;wuzo");
    std::string quest = ReadPayload(session.Receive(BuildFrame("GETQUEST", "k")));
    EXPECT_EQ(ExtractSection(quest, "VARIABLES"), "v!C;R = 1..2;m;");

    session.Receive(BuildFrame("SETRESULTQUEST", " X!A @=3; ~w @=x; M!A @=m*g;"));
    ASSERT_EQ(host.submissions.size(), 1u);
    EXPECT_EQ(host.submissions[0].score, 2);
    EXPECT_EQ(host.submissions[0].total, 3); // the task's answers, "Верно 2 из 3"
    EXPECT_TRUE(host.submissions[0].counted);
    EXPECT_EQ(host.submissions[0].credited, 2);
    EXPECT_EQ(Cp1251ToUtf8(host.submissions[0].verdicts),
              "X_A: верно; омега: не принято; M_A: верно");

    // A reference that has a value at too few points of a student's variant: the answer is
    // not accepted with the reason, uses no attempt, and the operator's log says why.
    session.Receive(BuildFrame("GETQUEST", "f"));
    const std::string reply =
        Cp1251ToUtf8(ReadPayload(session.Receive(BuildFrame("SETRESULTQUEST", " F @=1;"))));
    EXPECT_EQ(reply.find("F: не принято — ваш ответ 1; эталонный ответ нельзя проверить: меньше "
                         "12 точек, где он вычисляется; измените диапазоны"),
              0u)
        << reply;
    ASSERT_EQ(host.submissions.size(), 2u);
    EXPECT_FALSE(host.submissions[1].counted);
    ASSERT_FALSE(host.log.empty());
    EXPECT_NE(host.log.back().find("the reference answer of F cannot be judged against: "
                                   "эталонный ответ нельзя проверить"),
              std::string::npos)
        << host.log.back();
}
