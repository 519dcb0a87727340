#include "AnswerJudge.h"
#include "Submission.h"
#include "platform/Cp1251.h"

#include <gtest/gtest.h>

using platform::Cp1251ToUtf8;
using platform::Utf8ToCp1251;

TEST(AnswerJudgeTest, NumbersAndFormulasAreJudgedByValue) {
    struct Case {
        const char* reference;
        const char* answer;
        std::vector<std::string> variables;
        bool correct;
    };
    const Case cases[] = {
        {"2.83", "2.83", {}, true},
        {"2.83", "2,85", {}, true}, // decimal comma, within 1 %
        {"2.83", "2.9", {}, false}, // 2.5 % off
        {"-5", "5", {}, false},     // the sign counts
        {"(2*10*sin(pi/3)-6)/4", "2.8301", {}, true},
        {"0", "0", {}, true},
        {"0", "0.001", {}, false},
        {"q*l+F", "F+l*q", {"q", "l", "F"}, true},
        {"q*l#2@/2+F*l", "l*(q*l/2+F)", {"q", "l", "F"}, true},
        {"q*l#2@/2+F*l", "q*l#2@+F*l", {"q", "l", "F"}, false},
        {"v!C/R", "v!C@/R", {"v!C", "R"}, true}, // a trailing level marker
        {"sqrt(2*g*l*(1-cos(pi/3)))", "sqrt(9.81*l)", {"l"}, true},
        {"~w*r", "r*~w", {"~w", "r"}, true}, // Greek names
    };
    AnswerJudge judge(7);
    for (const Case& c : cases) {
        const AnswerVerdict verdict = judge.Judge(c.reference, c.answer, c.variables, 1.0);
        EXPECT_EQ(verdict.correct, c.correct) << c.reference << " vs " << c.answer;
    }
}

TEST(AnswerJudgeTest, AnswersThatCannotBeEvaluatedAreWrongWithTheReason) {
    struct Case {
        const char* answer;
        const char* reason; // a part of the reason, UTF-8
    };
    const Case cases[] = {
        {"", "нет ответа"},
        {"  @", "нет ответа"},
        {"(1+2", "скобки"},
        {"x*2", "нет такой переменной: x"},
        {"1/0", "Деление на нуль"},
        {"1.2.3", "не удалось вычислить"},
        {"+", "не удалось вычислить"},
    };
    AnswerJudge judge(7);
    for (const Case& c : cases) {
        const AnswerVerdict verdict = judge.Judge("2", c.answer, {}, 1.0);
        EXPECT_FALSE(verdict.correct) << c.answer;
        EXPECT_NE(Cp1251ToUtf8(verdict.reason).find(c.reason), std::string::npos)
            << c.answer << ": " << Cp1251ToUtf8(verdict.reason);
    }
    const std::string deep = std::string(500, '(') + "1" + std::string(500, ')');
    EXPECT_FALSE(judge.Judge("1", deep, {}, 1.0).correct);
    EXPECT_FALSE(judge.Judge("1", std::string(5000, '1'), {}, 1.0).correct);
}

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

TEST(SubmissionTest, TheVerdictMessageNamesEveryAnswer) {
    BankTask task;
    task.answerNames = {"a", "b"};
    task.answers = {"3", "4"};
    AnswerJudge judge(7);
    const SubmissionVerdict verdict = JudgeSubmission(&task, " a @=3; b @=(3)+2;", judge);
    EXPECT_TRUE(verdict.judged);
    EXPECT_EQ(verdict.correctCount, 1);
    EXPECT_EQ(Cp1251ToUtf8(VerdictMessage(verdict)), "a: верно\nb: неверно\nВерно 1 из 2");
    EXPECT_EQ(Cp1251ToUtf8(VerdictSummary(verdict)), "a: верно; b: неверно");

    EXPECT_EQ(ReferenceProblem(task, judge), "");
    task.answers[1] = "4*y";
    EXPECT_NE(ReferenceProblem(task, judge).find("b does not evaluate"), std::string::npos);

    const SubmissionVerdict unjudged = JudgeSubmission(nullptr, " a @=3;", judge);
    EXPECT_FALSE(unjudged.judged);
    EXPECT_NE(Cp1251ToUtf8(VerdictMessage(unjudged)).find("записан"), std::string::npos);
}
