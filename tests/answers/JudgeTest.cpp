// Verdicts: trials over declared ranges, within a relative tolerance, three verdicts.

#include "answers/Judge.h"
#include "answers/Evaluate.h"
#include "platform/Cp1251.h"

#include <gtest/gtest.h>

using namespace answers;

namespace {

struct Case {
    const char* reference;
    const char* answer;
    std::vector<DeclaredName> names;
    Verdict verdict;
    Tolerance tolerance = {};
};

DeclaredName Over(const char* name, double low = 0.5, double high = 5) {
    return {name, low, high};
}

} // namespace

TEST(JudgeTest, AnswersAreJudgedByValueOverTheDeclaredRanges) {
    const Case cases[] = {
        {"2.83", "2,85", {}, Verdict::Right}, // decimal comma, within 1 %
        {"2.83", "2.9", {}, Verdict::Wrong},  // 2.5 % off
        {"-5", "5", {}, Verdict::Wrong},
        {"0", "0", {}, Verdict::Right},
        {"0", "0.001", {}, Verdict::Wrong},
        {"2*v!C", "2v_C", {Over("v!C")}, Verdict::Right},
        {"sqrt(2)*v!C", "v_C*2^0.5", {Over("v!C")}, Verdict::Right},
        {"q*l#2@/2+F*l",
         "l(q*l/2+F)",
         {Over("q"), Over("l"), Over("F")},
         Verdict::NotAccepted}, // a name before a bracket is no product
        {"q*l#2@/2+F*l", "l*(q*l/2+F)", {Over("q"), Over("l"), Over("F")}, Verdict::Right},
        {"q*l#2@/2+F*l", "q*l^2+F*l", {Over("q"), Over("l"), Over("F")}, Verdict::Wrong},
        {"x", "abs(x)", {Over("x")}, Verdict::Right},        // x is positive here
        {"x", "abs(x)", {Over("x", -2, 2)}, Verdict::Wrong}, // and not here
        {"x", "1.001*x", {Over("x")}, Verdict::Right},
        {"x", "1.001*x", {Over("x")}, Verdict::Wrong, {0.05}},
        {"m*g", "mg", {Over("m")}, Verdict::NotAccepted},
        {"m*g", "m*g*k", {Over("m")}, Verdict::NotAccepted},
        {"m*g", "m*9.81", {Over("m")}, Verdict::Right},
        {"~w*R", "R~w", {Over("~w"), Over("R")}, Verdict::NotAccepted}, // "R~w" is one name
        {"~w*R", "R*~w", {Over("~w"), Over("R")}, Verdict::Right},
        {"1/x", "x^-1", {Over("x", -1, 1)}, Verdict::Right},
        {"2", "2+x-x", {Over("x")}, Verdict::Right},
        {"2", "(1+2", {}, Verdict::NotAccepted},
        {"2", "", {}, Verdict::NotAccepted},
        // An answer on the tolerance's edge is right, whatever binary makes of decimals.
        {"1", "1.01", {}, Verdict::Right},
        {"100", "101", {}, Verdict::Right},
        {"1", "0.95", {}, Verdict::Right, {5}},
        {"1*10^33", "1.05*10^33", {}, Verdict::Right, {5}},
        {"1", "1.0101", {}, Verdict::Wrong},
        // Small magnitudes are compared relatively; function results are kept as they are.
        {"q*1.6*10^(-19)", "0", {Over("q")}, Verdict::Wrong},
        {"m*10^(-10)", "2*m*10^(-10)", {Over("m")}, Verdict::Wrong},
        {"q*1.6*10^(-19)", "q*1,6E-19", {Over("q")}, Verdict::Right},
        {"exp(-25)", "0", {}, Verdict::Wrong},
        {"exp(-25)", "5*exp(-25)", {}, Verdict::Wrong},
        {"10^10", "1/10^(-10)", {}, Verdict::Right},
        {"q/(1.6*10^(-19))", "q*6.25e18", {Over("q")}, Verdict::Right},
        // Only a reference that is zero but for rounding is compared with zero, absolutely.
        {"F*cos(pi/2)", "0", {Over("F")}, Verdict::Right},
        {"0.1*3-0.3", "0", {}, Verdict::Right},
        {"0", "1e-10", {}, Verdict::Right},
        {"0", "1e-7", {}, Verdict::Wrong},
        {"0", "1e-7", {}, Verdict::Right, {1, 1e-6}},
        // Powers from the right, numbers with their power of ten, lg for log.
        {"256", "2^2^3", {}, Verdict::Right},
        {"256", "2#2@#3@", {}, Verdict::Right},
        {"2*E-3", "2E-3", {Over("E")}, Verdict::Right},
        {"0.002", "2E-3", {Over("e")}, Verdict::Right},
        {"lg(x)", "log(x)", {Over("x")}, Verdict::Right},
        // An angle in degrees with its sign, or "deg", is that many times pi/180.
        {"F*sin(pi/6)", "F*sin(30\xB0)", {Over("F")}, Verdict::Right},
        {"F*cos(pi/3)", "F*cos(60 deg)", {Over("F")}, Verdict::Right},
        {"F*sin(55*pi/180)", "F*sin(55\xB0)", {Over("F")}, Verdict::Right},
        {"F*sin(55*pi/180)", "F*sin(55)", {Over("F")}, Verdict::Wrong},
        {"pi/2", "90\xB0", {}, Verdict::Right},
        {"ln(x)", "log(x)", {Over("x")}, Verdict::Wrong},
        // No value at some points is wrong; at every point, not accepted.
        {"x", "sqrt(x)*sqrt(x)", {Over("x", -1, 1)}, Verdict::Wrong},
        {"x", "x/(x-x)", {Over("x")}, Verdict::NotAccepted},
        {"1", "1/0", {}, Verdict::NotAccepted},
        {"1", "sqrt(-1)", {}, Verdict::NotAccepted},
    };
    for (const Case& c : cases) {
        const Judgement judgement = Judge(c.reference, c.answer, c.names, c.tolerance);
        EXPECT_EQ(judgement.referenceProblem, "") << c.reference;
        EXPECT_EQ(judgement.verdict, c.verdict) << c.reference << " vs " << c.answer;
    }
}

TEST(JudgeTest, APointWhereTheReferenceIsZeroOrHasNoValueIsDrawnAgain) {
    const Case cases[] = {
        // Zero at x = 1: a relative tolerance never meets it.
        {"x-1", "x-1", {Over("x", 0.5, 1.5)}, Verdict::Right},
        {"x-1", "(x-1)*1.5", {Over("x", 0.5, 1.5)}, Verdict::Wrong},
        // No value where x < 0: those points are passed over.
        {"sqrt(x)", "x^0.5", {Over("x", -1, 1)}, Verdict::Right},
        // Zero wherever it has a value: compared with zero.
        {"x-x", "0", {Over("x")}, Verdict::Right},
        {"x-x", "0*x", {Over("x")}, Verdict::Right},
        {"x-x", "x", {Over("x")}, Verdict::Wrong},
        {"x-x", "1e-10*x", {Over("x")}, Verdict::Right},
    };
    for (const Case& c : cases) {
        const Judgement judgement = Judge(c.reference, c.answer, c.names, c.tolerance);
        EXPECT_EQ(judgement.verdict, c.verdict) << c.reference << " vs " << c.answer;
    }
}

TEST(JudgeTest, TheSamePairIsAlwaysJudgedAtTheSamePoints) {
    // x < 0 on a fiftieth of the range: whether a trial lands there is up to the points
    // drawn, and the points are the same at every call.
    const std::vector<DeclaredName> names = {Over("x", -0.1, 5)};
    const Verdict first = Judge("x", "abs(x)", names, {}).verdict;
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(Judge("x", "abs(x)", names, {}).verdict, first);
}

TEST(JudgeTest, AReferenceThatCannotBeReadOrEvaluatedIsToldApart) {
    EXPECT_NE(Judge("4*y", "4", {}, {}).referenceProblem, "");
    EXPECT_NE(Judge("(1", "1", {}, {}).referenceProblem, "");
    EXPECT_EQ(Judge("ln(0*x)", "1", {Over("x")}, {}).referenceProblem,
              "эталонный ответ не вычисляется");
    EXPECT_EQ(Judge("1/0", "1", {}, {}).referenceProblem, "эталонный ответ не вычисляется");
    // A reference with a value at only a few points drawn is never judged right against.
    const Judgement fewPoints =
        Judge("(x-4*a)^6000", "(4*a-x)^6000+0*sqrt(4.8685-x)", {Over("x"), Over("a")}, {});
    EXPECT_EQ(fewPoints.referenceProblem, kTooFewPoints);
    EXPECT_EQ(fewPoints.verdict, Verdict::NotAccepted);
    EXPECT_EQ(Reason(fewPoints, TextStyle::Unicode), kTooFewPoints);
    // A divisor far from zero but small is a number.
    EXPECT_EQ(Judge("q/(1.6*10^(-19))", "1", {Over("q")}, {}).referenceProblem.find("не"),
              std::string::npos);
}

TEST(JudgeTest, TheReasonSaysWhyAnAnswerIsNotRight) {
    const std::vector<DeclaredName> names = {Over("m")};
    EXPECT_EQ(Reason(Judge("m*g", "mg", names, {}), TextStyle::Unicode),
              "mg: нет такого обозначения; возможно, m*g?");
    EXPECT_EQ(Reason(Judge("m*g", "m/(m-m)", names, {}), TextStyle::Unicode), "деление на нуль");
    EXPECT_EQ(Reason(Judge("m*g", "sqrt(-m)", names, {}), TextStyle::Unicode),
              "отрицательное число в аргументе корня");
    EXPECT_EQ(Reason(Judge("m*g", "m", names, {}), TextStyle::Unicode), "");
    EXPECT_STREQ(VerdictWord(Verdict::Right), "верно");
    EXPECT_STREQ(VerdictWord(Verdict::Wrong), "неверно");
    EXPECT_STREQ(VerdictWord(Verdict::NotAccepted), "не принято");
}

TEST(JudgeTest, DeclaredNamesAndTolerancesReadAsAuthorsWriteThem) {
    std::string problem;
    const auto plain = ReadDeclaredName("v!C", problem);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->low, 0.5);
    EXPECT_EQ(plain->high, 5);
    const auto ranged = ReadDeclaredName(" a = -3..3,5 ", problem);
    ASSERT_TRUE(ranged);
    EXPECT_EQ(ranged->name, "a");
    EXPECT_EQ(ranged->low, -3);
    EXPECT_EQ(ranged->high, 3.5);
    for (const char* flawed : {"a = 3..-3", "a = 1..1", "a = 1", "a = x..2", "2a", "", "a=..2"})
        EXPECT_FALSE(ReadDeclaredName(flawed, problem)) << flawed;

    // A section as QUEST carries it: the items that can be read, and the first problem.
    problem.clear();
    const auto section = ReadDeclaredNames("v_C;R = 1..2;2a;b = 2..1;rest", problem);
    ASSERT_EQ(section.size(), 2u);
    EXPECT_EQ(section[0].name, "v_C");
    EXPECT_EQ(section[1].high, 2);
    EXPECT_EQ(problem, platform::Utf8ToCp1251("не обозначение: 2a"));

    // <TOLERANCE>: the percentage, then perhaps the tolerance for zero references.
    const std::pair<const char*, std::optional<Tolerance>> tolerances[] = {
        {"2", Tolerance{2, 1e-9}},
        {"1; 1e-6", Tolerance{1, 1e-6}},
        {" 0,5 ;1e-3 ", Tolerance{0.5, 1e-3}},
        {"1;1000000", Tolerance{1, 1e6}},
        {"0", std::nullopt},
        {"1;0", std::nullopt},
        {"1;2e6", std::nullopt},
        {"1;x", std::nullopt},
        {"1;", std::nullopt},
        {"x", std::nullopt},
    };
    for (const auto& [text, expected] : tolerances) {
        const std::optional<Tolerance> read = ReadTolerance(text);
        ASSERT_EQ(read.has_value(), expected.has_value()) << text;
        if (read) {
            EXPECT_EQ(read->percent, expected->percent) << text;
            EXPECT_EQ(read->zero, expected->zero) << text;
        }
    }
}

// A judgement past its deadline stops and says so, whether the time runs out between
// trial points or inside the evaluation of a long formula; its verdict then says nothing.
TEST(JudgeTest, AJudgementPastItsDeadlineStopsAndSaysSo) {
    const Deadline passed(Deadline::Clock::now() - std::chrono::seconds(1));
    const Judgement short_ = Judge("2*x", "x+x", {Over("x")}, {}, passed);
    EXPECT_TRUE(short_.outOfTime);
    EXPECT_EQ(short_.verdict, Verdict::NotAccepted);

    // Far more nodes than are evaluated between two looks at the clock, with no declared
    // name: one evaluation, stopped inside.
    std::string longSum = "1";
    while (longSum.size() < 1990)
        longSum += "+1";
    const ReadResult read = Read(longSum, std::vector<std::string>{});
    ASSERT_TRUE(read.Accepted());
    const Value stopped = Evaluate(*read.formula, {}, passed);
    EXPECT_EQ(stopped.error, kOutOfTime);
    EXPECT_EQ(Evaluate(*read.formula, {}).value, 996);

    // Without a deadline, or before it, the same pairs are judged.
    const Deadline later = Deadline::After(std::chrono::hours(1));
    EXPECT_EQ(Judge("2*x", "x+x", {Over("x")}, {}, later).verdict, Verdict::Right);
    EXPECT_FALSE(Judge(longSum, "996", {}, {}).outOfTime);
    EXPECT_EQ(Judge(longSum, "996", {}, {}).verdict, Verdict::Right);
}
