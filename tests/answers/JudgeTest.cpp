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

namespace {

// A row judged with units, significant figures and hints: the verdict, the hint's code and
// what the student is told (UTF-8; "*" when not asserted).
struct QuantityCase {
    const char* reference;
    const char* answer;
    Verdict verdict;
    const char* hint = "";
    const char* reason = "*";
    std::vector<DeclaredName> names = {};
    bool unitsRequired = false;
    int figures = 0;
};

} // namespace

TEST(JudgeTest, QuantitiesAreConvertedFiguresCountedAndMistakesNamed) {
    using platform::Utf8ToCp1251;
    const QuantityCase cases[] = {
        // The answer's unit converted to the reference's, with or without a space.
        {"-5 кН", "-5000 Н", Verdict::Right},
        {"-5 кН", "-5кН", Verdict::Right},
        {"-5 кН", "-5 kN", Verdict::Right},
        {"-5 кН", "-5·кН", Verdict::Right},
        {"10 м/с", "36 км/ч", Verdict::Right},
        {"2 м/с^2", "200 см/с^2", Verdict::Right},
        {"5 кН·м", "5000 Н*м", Verdict::Right},
        {"120 об/мин", "4*pi рад/с", Verdict::Right},
        {"pi/6 рад", "30°", Verdict::Right},
        {"pi/6 рад", "30 deg", Verdict::Right},
        {"1,5 МПа", "1500 kPa", Verdict::Right},
        {"-F/2 кН", "-500F Н", Verdict::Right, "", "*", {Over("F")}},
        // A bare number is read in the reference's unit, unless units are required.
        {"-5 кН", "-5", Verdict::Right},
        {"-F/2 кН", "-F/2", Verdict::Right, "", "*", {Over("F")}},
        {"-5 кН", "-5", Verdict::NotAccepted, "", "укажите единицу", {}, true},
        {"-5 кН", "-5 кН", Verdict::Right, "", "", {}, true},
        // A name is never a unit: g is the gravity constant, a declared N a force.
        {"5 кН", "5g", Verdict::Wrong, ""},
        {"2*N Н", "2N", Verdict::Right, "", "*", {Over("N")}},
        {"2*N Н", "2 N", Verdict::Right, "", "*", {Over("N")}},
        // A unit of another kind is wrong; one not in the table, or in the other alphabet,
        // is not accepted.
        {"-5 кН", "-5 кг", Verdict::Wrong, "dimension", "кг — масса, а нужна сила"},
        {"2 м/с", "2 м", Verdict::Wrong, "dimension", "м — длина, а нужна скорость"},
        {"-5 кН", "-5 кх", Verdict::NotAccepted, "", "кх: нет такой единицы"},
        {"-5 кН", "-5 кH", Verdict::NotAccepted, "", "Н — русская или латинская?"},
        {"2 м/с", "2 м/c", Verdict::NotAccepted, "", "с — русская или латинская?"},
        {"2 м", "2 m", Verdict::Right},
        {"-5", "-5 кН", Verdict::NotAccepted}, // a row without a unit reads no unit
        // Significant figures as written; a formula is exempt.
        {"2.83", "2,83", Verdict::Right, "", "", {}, false, 3},
        {"2.83",
         "2,8",
         Verdict::NotAccepted,
         "",
         "мало значащих цифр: 2, нужно не меньше 3",
         {},
         false,
         3},
        {"2500", "2500", Verdict::NotAccepted, "", "*", {}, false, 3},
        {"2500", "2,50E3", Verdict::Right, "", "", {}, false, 3},
        {"2500", "2,50*10^3", Verdict::Right, "", "", {}, false, 3},
        {"0.0283", "0,0283", Verdict::Right, "", "", {}, false, 3},
        {"2.5", "2,50", Verdict::Right, "", "", {}, false, 3},
        {"2.5 кН", "2,5 кН", Verdict::NotAccepted, "", "*", {}, false, 3},
        {"2.83", "2,9", Verdict::NotAccepted, "", "*", {}, false, 3},
        {"2*x", "x+x", Verdict::Right, "", "", {Over("x")}, false, 3},
        // A wrong answer is told the typical mistake it looks like.
        {"5", "-5", Verdict::Wrong, "sign", "похоже, ошибка в знаке"},
        {"5 кН", "5000", Verdict::Wrong, "power10 3", "в 1000 раз больше: проверьте единицы"},
        {"5", "0,005", Verdict::Wrong, "power10 -3", "в 1000 раз меньше: проверьте единицы"},
        {"5 Па", "5 МПа", Verdict::Wrong, "power10 6"},
        {"F*l", "-F*l", Verdict::Wrong, "sign", "*", {Over("F"), Over("l")}},
        {"F*l", "2*F*l", Verdict::Wrong, "factor 2", "*", {Over("F"), Over("l")}},
        {"F*l", "F*l/2", Verdict::Wrong, "factor 1/2", "*", {Over("F"), Over("l")}},
        {"F/l", "l/F", Verdict::Wrong, "reciprocal", "*", {Over("F"), Over("l")}},
        {"F*sin(a)", "F*cos(a)", Verdict::Wrong, "sincos", "*", {Over("F"), Over("a")}},
        {"F*sin(30°)", "F*sin(30)", Verdict::Wrong, "degrees", "*", {Over("F")}},
        {"F*cos(2)", "F*cos(2°)", Verdict::Wrong, "radians", "*", {Over("F")}},
        {"pi/6", "30", Verdict::Wrong, "degrees"},
        {"2", "0,5", Verdict::Wrong, "reciprocal"},
        {"5", "7", Verdict::Wrong, "", ""},
        {"0", "1", Verdict::Wrong, ""},
    };
    for (const QuantityCase& c : cases) {
        JudgeOptions options;
        options.unitsRequired = c.unitsRequired;
        options.significantFigures = c.figures;
        const Judgement judgement =
            JudgeAnswer(Utf8ToCp1251(c.reference), Utf8ToCp1251(c.answer), c.names, options);
        const std::string what = std::string(c.reference) + " vs " + c.answer;
        EXPECT_EQ(judgement.referenceProblem, "") << what;
        EXPECT_EQ(judgement.verdict, c.verdict) << what;
        EXPECT_EQ(HintCode(judgement.hint), c.hint) << what;
        if (std::string(c.reason) != "*") {
            EXPECT_EQ(Reason(judgement, TextStyle::Unicode), c.reason) << what;
        }
    }
    // Hints can be switched off, and the judge without options gives none.
    JudgeOptions quiet;
    quiet.hints = false;
    EXPECT_EQ(JudgeAnswer("5", "-5", {}, quiet).hint.code, Hint::Code::None);
    EXPECT_EQ(Judge("5", "-5", {}, {}).hint.code, Hint::Code::None);
    // A bare number says which unit it was read in.
    const Judgement bare = JudgeAnswer(Utf8ToCp1251("-5 кН"), "-5", {}, {});
    EXPECT_TRUE(bare.unitFromReference);
    EXPECT_EQ(bare.answerUnit, Utf8ToCp1251("кН"));
}

TEST(JudgeTest, HintCodesReadAsTheyAreWritten) {
    for (const char* code : {"sign", "power10 3", "power10 -6", "factor 2", "factor 1/2",
                             "reciprocal", "sincos", "degrees", "radians", "dimension"}) {
        const std::optional<Hint> hint = ReadHintCode(code);
        ASSERT_TRUE(hint) << code;
        EXPECT_EQ(HintCode(*hint), code);
        EXPECT_NE(HintMessage(*hint, TextStyle::Unicode), "") << code;
    }
    for (const char* notCode : {"", "power10 4", "power10", "Sign", "factor 3"})
        EXPECT_FALSE(ReadHintCode(notCode)) << notCode;
    EXPECT_EQ(HintMessage({Hint::Code::Power10, -2}, TextStyle::Unicode),
              "в 100 раз меньше: проверьте единицы");
}
