// A student's variant of a task: the parameters, the draw, and the values in the texts and
// the reference answers.
#include "course/NumberText.h"
#include "course/TaskBank.h"
#include "course/TaskParameters.h"
#include "course/TaskVariant.h"
#include "course/VariantSeed.h"
#include "course/VariantText.h"
#include "judging/TaskJudging.h"

#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

std::string Cp(const char* utf8) {
    return platform::Utf8ToCp1251(utf8);
}

const char* const kTask = "<CAPTION>Балка, F = {F} кН</CAPTION>\n"
                          "<QUEST>M = {M:.2} кН·м, угол {a}°</QUEST>\n"
                          "<IMAGE>HEIGHT(100);WIDTH(100);TEXT(10,10,\"{M:.1}\");</IMAGE>\n"
                          "<PARAMETERS>F = 8..14 step 2; a = 30, 45, 60;\nM = F*a/7;</PARAMETERS>\n"
                          "<REQUEST>R!B;</REQUEST>\n"
                          "<ANSWER>F/2*l;</ANSWER>\n"
                          "<VARIABLES>l;</VARIABLES>\n"
                          "<DRAW>FORCE(50,\n{M:.1},90,R!B,F/2);</DRAW><DRAWTOL>8; 4</DRAWTOL>\n";

double ValueOf(const ParameterValues& values, const std::string& name) {
    for (const ParameterValue& value : values)
        if (value.name == name)
            return value.value;
    ADD_FAILURE() << "no parameter " << name;
    return 0;
}

TEST(TaskParametersTest, RangesListsAndFormulasAreRead) {
    const TaskParameters read = ReadTaskParameters("F = 8..14 step 2; a = 30, 45, 60; d = -1..1;"
                                                   " k = 0.5; M = F*2 + a;");
    ASSERT_TRUE(read.problems.empty()) << read.problems.front();
    ASSERT_EQ(read.items.size(), 5u);
    EXPECT_EQ(read.items[0].values, (std::vector<double>{8, 10, 12, 14}));
    EXPECT_EQ(read.items[1].values, (std::vector<double>{30, 45, 60}));
    EXPECT_EQ(read.items[2].values, (std::vector<double>{-1, 0, 1}));
    EXPECT_EQ(read.items[3].values, (std::vector<double>{0.5}));
    EXPECT_EQ(read.items[4].formula, "F*2 + a");
    // A step that does not divide the range evenly stops below the high end; one that
    // misses it only by rounding still reaches it.
    EXPECT_EQ(ReadTaskParameters("x = 0..1 step 0.4;").items[0].values.size(), 3u);
    EXPECT_EQ(ReadTaskParameters("x = 0..0.3 step 0.1;").items[0].values.size(), 4u);
}

TEST(TaskParametersTest, WhatCannotBeAParameterIsTold) {
    for (const char* section : {"F = 14..8;", "F = 1..2 step 0;", "F = 1..2 step -1;",
                                "F = 8..14 step x;", "F 8;", "pi = 3;", "F = 1; F = 2;", "M = F*2;",
                                "M = 2*(1;", "= 3;", "F = 0..1e9 step 1e-3;", "F = ;"}) {
        const TaskParameters read = ReadTaskParameters(section);
        EXPECT_EQ(read.problems.size(), 1u) << section;
    }
    // A formula may use only parameters defined before it.
    EXPECT_EQ(ReadTaskParameters("M = F*2; F = 1;").problems.size(), 1u);
    EXPECT_TRUE(ReadTaskParameters("F = 1; M = F*2;").problems.empty());
}

TEST(TaskParametersTest, TheDrawIsFixedBySeedAndCoversEveryValue) {
    const TaskParameters parameters =
        ReadTaskParameters("F = 8..14 step 2; a = 30, 45, 60; M = F+a;");
    std::set<std::pair<double, double>> seen;
    for (std::uint64_t seed = 0; seed < 200; ++seed) {
        const DrawnValues drawn = DrawValues(parameters, seed);
        ASSERT_TRUE(drawn.problem.empty());
        EXPECT_EQ(drawn.values.size(), 3u);
        EXPECT_EQ(drawn.values[2].value, drawn.values[0].value + drawn.values[1].value);
        seen.insert({drawn.values[0].value, drawn.values[1].value});
        const DrawnValues again = DrawValues(parameters, seed);
        EXPECT_EQ(again.values[0].value, drawn.values[0].value);
        EXPECT_EQ(again.values[1].value, drawn.values[1].value);
    }
    EXPECT_EQ(seen.size(), 12u); // every pair of 4 × 3 values is met
    // The standard generator and our own index mapping: the same values on every library.
    const DrawnValues fixed = DrawValues(parameters, 12345);
    EXPECT_EQ(ValuesText(fixed.values), ValuesText(DrawValues(parameters, 12345).values));
}

TEST(TaskParametersTest, AFormulaWithoutAValueIsTold) {
    const DrawnValues drawn = DrawValues(ReadTaskParameters("a = 0; b = 1/a;"), 1);
    EXPECT_FALSE(drawn.problem.empty());
}

TEST(VariantSeedTest, DependsOnSecretUserAndTaskAndNothingElse) {
    const std::uint64_t seed = VariantSeed("secret", "ivanov", "Балка-1");
    EXPECT_EQ(seed, VariantSeed("secret", "ivanov", "Балка-1"));
    EXPECT_NE(seed, VariantSeed("other", "ivanov", "Балка-1"));
    EXPECT_NE(seed, VariantSeed("secret", "petrov", "Балка-1"));
    EXPECT_NE(seed, VariantSeed("secret", "ivanov", "Балка-2"));
    // The user and the task name do not run together.
    EXPECT_NE(VariantSeed("s", "ab", "c"), VariantSeed("s", "a", "bc"));
    // Any length of secret works, an empty one and a long one too.
    EXPECT_NE(VariantSeed("", "u", "t"), VariantSeed(std::string(500, 'k'), "u", "t"));
}

TEST(VariantTextTest, PlaceholdersTakeTheValueWithTheirDecimalsAndSeparator) {
    const ParameterValues values = {{"F", "F", 8}, {"M", "M", 2.0 / 3}, {"v_0", "v!0", -0.5}};
    EXPECT_EQ(FillPlaceholders("F = {F}, M = {M:.2}, v = {v_0}", values, ',').text,
              "F = 8, M = 0,67, v = -0,5");
    EXPECT_EQ(FillPlaceholders("TEXT(1,1,\"{M:.3}\");LINE({F},0,{F},{M:.0});", values, '.').text,
              "TEXT(1,1,\"0.667\");LINE(8,0,8,1);");
    EXPECT_EQ(FillPlaceholders("{M}", values, ',').text, "0,666667");
    // Braces that hold no name, or an unfinished one, are the author's own text.
    const FilledText plain = FillPlaceholders("{1+2} {a b} {F:x} {F", values, ',');
    EXPECT_EQ(plain.text, "{1+2} {a b} {F:x} {F");
    EXPECT_TRUE(plain.problems.empty());
    const FilledText unknown = FillPlaceholders("{L} and {F}", values, ',');
    EXPECT_EQ(unknown.text, "{L} and 8");
    ASSERT_EQ(unknown.problems.size(), 1u);
    // A small negative value rounded to zero shows no sign.
    EXPECT_EQ(NumberText(-0.001, 2, ','), "0,00");
    // What a submission stores of its variant loses nothing, and reads as the author wrote.
    const ParameterValues whole = {{"e", "e", 1.6e-19}, {"M", "M", 2.0 / 3}, {"a", "a", 1.5}};
    EXPECT_EQ(ExactValuesText(whole),
              "e = 0.00000000000000000016; M = 0.6666666666666666; a = 1.5");
}

TEST(VariantTextTest, ParametersInAFormulaAreReplacedAsWholeNames) {
    const ParameterValues values = {{"F", "F", 8}, {"a", "a", -0.25}, {"v_0", "v!0", 3}};
    EXPECT_EQ(WithParameterValues("F/2+2F*l", values), "(8)/2+2(8)*l");
    EXPECT_EQ(WithParameterValues("sin(a)*Fl+F!1+F_x", values), "sin((-0.25))*Fl+F!1+F_x");
    EXPECT_EQ(WithParameterValues("v!0*v_0+v!0#2@", values), "(3)*(3)+(3)#2@");
    EXPECT_EQ(WithParameterValues("~a+a", values), "~a+(-0.25)");
    // A value enters a formula exactly.
    EXPECT_EQ(WithParameterValues("F", {{"F", "F", 0.1 + 0.2}}), "(0.30000000000000004)");
}

TEST(TaskVariantTest, EachStudentSeesTheirOwnValuesInTextsAndAnswers) {
    const BankTask task = ParseTaskFile(kTask, "<STATICA>", Cp("Балка"));
    const TaskVariant first = VariantOf(task, "secret", "ivanov");
    ASSERT_TRUE(first.problems.empty()) << first.problems.front();
    const double f = ValueOf(first.values, "F");
    const double m = ValueOf(first.values, "M");
    EXPECT_EQ(first.task.caption, Cp("Балка, F = ") + NumberText(f, -1, ',') + Cp(" кН"));
    EXPECT_NE(first.task.quest.find(NumberText(m, 2, ',')), std::string::npos);
    EXPECT_NE(first.task.image.find("\"" + NumberText(m, 1, '.') + "\""), std::string::npos);
    EXPECT_EQ(first.task.answers.front(), "(" + ExactNumberText(f) + ")/2*l");
    EXPECT_EQ(first.task.variablesSection, task.variablesSection);
    EXPECT_EQ(first.task.draw, "FORCE(50," + NumberText(m, 1, '.') + ",90,R!B,F/2);");
    EXPECT_EQ(first.task.drawTolerance, "8; 4");
    // The same student always gets the same variant; some other student a different one.
    EXPECT_EQ(VariantOf(task, "secret", "ivanov").task.quest, first.task.quest);
    bool differs = false;
    for (int i = 0; i < 20 && !differs; ++i)
        differs =
            VariantOf(task, "secret", "student" + std::to_string(i)).task.quest != first.task.quest;
    EXPECT_TRUE(differs);
}

TEST(TaskVariantTest, OnesRightAnswerIsWrongForAnotherVariantAndParametersAreNoNames) {
    const BankTask task = ParseTaskFile("<QUEST>F = {F}</QUEST><PARAMETERS>F = 1..100;</PARAMETERS>"
                                        "<REQUEST>R;S;</REQUEST><ANSWER>F/2;F*l;</ANSWER>"
                                        "<VARIABLES>l;</VARIABLES>",
                                        "<STATICA>", "t");
    const TaskVariant first = VariantOf(task, "secret", "ivanov");
    TaskVariant second = first;
    for (int i = 0; second.values.front().value == first.values.front().value && i < 1000; ++i)
        second = VariantOf(task, "secret", "student" + std::to_string(i));
    const std::string half = NumberText(first.values.front().value / 2, 6, '.');
    EXPECT_EQ(JudgeRow(first.task, 0, half).verdict, answers::Verdict::Right);
    EXPECT_EQ(JudgeRow(second.task, 0, half).verdict, answers::Verdict::Wrong);
    // A formula over the declared names takes the variant's value as a number.
    const std::string times = NumberText(first.values.front().value, 0, '.') + "*l";
    EXPECT_EQ(JudgeRow(first.task, 1, times).verdict, answers::Verdict::Right);
    EXPECT_EQ(JudgeRow(second.task, 1, times).verdict, answers::Verdict::Wrong);
    // The parameter's name is no name a student may use.
    EXPECT_EQ(JudgeRow(first.task, 0, "F/2").verdict, answers::Verdict::NotAccepted);
}

TEST(TaskVariantTest, ATaskWithoutParametersIsItsOwnVariant) {
    const BankTask task =
        ParseTaskFile("<CAPTION>{x}</CAPTION><QUEST>q</QUEST><REQUEST>A;</REQUEST>"
                      "<ANSWER>2;</ANSWER>",
                      "<STATICA>", "t");
    const TaskVariant variant = VariantOf(task, "s", "u");
    EXPECT_TRUE(variant.values.empty());
    EXPECT_EQ(variant.task.caption, "{x}");
    EXPECT_EQ(variant.task.answers, task.answers);
    EXPECT_EQ(variant.problems.size(), 1u); // {x} names no parameter
}

TEST(VariantTextTest, AnyBytesAreReadToTheEnd) {
    std::mt19937 random(7);
    const ParameterValues values = {{"F", "F", 8}};
    const std::string alphabet = "F{}:.;=,-0123456789 stepa~!_#@()*/\n\xC0\xFF";
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 60, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        const TaskParameters parameters = ReadTaskParameters(text);
        DrawValues(parameters, round);
        FillPlaceholders(text, values, ',');
        EXPECT_LE(WithParameterValues(text, values).size(), text.size() * 4 + 1);
    }
    // Many unclosed braces are copied as they are.
    const std::string braces(100000, '{');
    EXPECT_EQ(FillPlaceholders(braces, values, ',').text, braces);
}

} // namespace
