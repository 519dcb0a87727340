// Variables, number texts, marker normalisation, index order and variable replacement.

#include "EvaluatorTestText.h"

#include "eqedit/Evaluator.h"
#include "eqedit/EvaluatorNormalise.h"
#include "eqedit/EvaluatorNumbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

using namespace eqedit;

namespace {

std::vector<std::string> Names(const Evaluator& evaluator) {
    std::vector<std::string> names;
    for (const EditorVariable& node : evaluator.Variables().Nodes())
        names.push_back(node.Name);
    return names;
}

std::string Filtered(std::string text) {
    return Filter(text);
}

} // namespace

TEST(EvaluatorVariables, StartsWithPiUnderFiveNamesNewestFirst) {
    Evaluator evaluator;
    EXPECT_EQ(Names(evaluator), (std::vector<std::string>{"~p", "pI", "Pi", "PI", "pi"}));
    for (const char* name : {"pi", "PI", "Pi", "pI", "~p"})
        EXPECT_DOUBLE_EQ(evaluator.GetVariable(name), 3.141592653589793) << name;
    EXPECT_EQ(evaluator.GetVariable("x"), 0);
    EXPECT_EQ(evaluator.GetVariable(""), 0);
}

TEST(EvaluatorVariables, AddUpdatesInPlaceAndDeleteKeepsOrder) {
    Evaluator evaluator;
    evaluator.AddVariable("x", 1);
    evaluator.AddVariable("z!1", 2);
    evaluator.AddVariable("x", 5);
    evaluator.AddVariable("", 7);
    EXPECT_EQ(Names(evaluator),
              (std::vector<std::string>{"z!1", "x", "~p", "pI", "Pi", "PI", "pi"}));
    EXPECT_EQ(evaluator.GetVariable("x"), 5);
    EXPECT_EQ(evaluator.GetVariable("X"), 0); // names are case-sensitive
    evaluator.DeleteVariable("Pi");
    evaluator.DeleteVariable("unknown");
    evaluator.DeleteVariable("");
    EXPECT_EQ(Names(evaluator), (std::vector<std::string>{"z!1", "x", "~p", "pI", "PI", "pi"}));
    EXPECT_EQ(evaluator.GetVariable("Pi"), 0);
}

TEST(EvaluatorNumbers, DigitStringShape) {
    for (const char* text : {"-1.5e-3", "12.", "", "0", "+5", "1E+10", "1e2.5", ".5"})
        EXPECT_TRUE(IsDigitString(text)) << text;
    for (const char* text : {"1.2.3", "1e2e3", "1-2", "1 ", " 1", "x", "--1", "1e+-2", "1,5"})
        EXPECT_FALSE(IsDigitString(text)) << text;
}

TEST(EvaluatorNumbers, TextsAreWrittenWith34DigitsAndReadBackExactly) {
    EXPECT_EQ(NumberText(-16383), "-16383");
    EXPECT_EQ(NumberText(0.0625), "0.0625");
    EXPECT_EQ(NumberText(1e-5).substr(0, 5), "1.000"); // exponent form below 1e-4
    EXPECT_NE(NumberText(1e-5).find("e-05"), std::string::npos);
    EXPECT_EQ(SignedNumberText(8), "+8");
    EXPECT_EQ(SignedNumberText(-8), "-8");
    for (Real value : {0.1, 3.141592653589793, -2.5e-300, 1e300, 1.0 / 3, 4.9e-324}) {
        Real back = 0;
        ASSERT_TRUE(ReadNumber(NumberText(value), back)) << NumberText(value);
        EXPECT_EQ(back, value);
    }
}

TEST(EvaluatorNumbers, ReadingNeedsTheWholeTextAsANumber) {
    Real value = 0;
    EXPECT_TRUE(ReadNumber("+2.5e1", value));
    EXPECT_EQ(value, 25);
    EXPECT_TRUE(ReadNumber("12.", value));
    EXPECT_EQ(value, 12);
    // Shapes that pass IsDigitString but are no number: the C library would read them as
    // 0 or as a prefix, which would silently compute a wrong value.
    for (const char* text : {"", "e", "E", "+", "-", ".", "1e2.5", "1e"})
        EXPECT_FALSE(ReadNumber(text, value)) << text;
}

TEST(EvaluatorNumbers, DoNotFollowTheUserLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool switched = false;
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.CP1251", "de_DE.UTF-8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name)) {
            switched = true;
            break;
        }
    if (!switched)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    Real value = 0;
    const bool read = ReadNumber("2.5", value);
    const std::string written = NumberText(2.5L);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_TRUE(read);
    EXPECT_EQ(value, 2.5L);
    EXPECT_EQ(written, "2.5");
}

TEST(EvaluatorNormalise, UpCaseStringTouchesOnlyAsciiLetters) {
    EXPECT_EQ(UpCaseString(Cp("sin(x)+Ж~p")), Cp("SIN(X)+Ж~P"));
}

TEST(EvaluatorNormalise, FilterLeavesMinimalMarkers) {
    EXPECT_EQ(Filtered("a#@b"), "ab");
    EXPECT_EQ(Filtered("x#2#3@"), "x#23@");
    EXPECT_EQ(Filtered("@x"), "x");
    EXPECT_EQ(Filtered("R!A#2@"), "R!A#2@");
    EXPECT_EQ(Filtered("x!#!#2@@"), "x#2@");
    EXPECT_EQ(Filtered("@"), "");
    EXPECT_EQ(Filtered(""), "");
    std::string inPlace = "a##b";
    Filter(inPlace);
    EXPECT_EQ(inPlace, "a#b");
}

TEST(EvaluatorNormalise, SetIndexOrderMovesSubscriptsBeforeSuperscripts) {
    std::string text = "R#2!A@";
    EXPECT_EQ(MessageIn(SetIndexOrder(text)), "");
    EXPECT_EQ(text, "R!A#2@");
    text = "x#2!ab@+y";
    EXPECT_EQ(MessageIn(SetIndexOrder(text)), "");
    EXPECT_EQ(text, "x!ab#2@+y");
    text = "x#2!1";
    EXPECT_EQ(MessageIn(SetIndexOrder(text)), "");
    EXPECT_EQ(text, "x!1#2");
    text = "R!A#2@";
    EXPECT_EQ(MessageIn(SetIndexOrder(text)), "");
    EXPECT_EQ(text, "R!A#2@");
}

TEST(EvaluatorNormalise, SetIndexOrderRejectsASecondMarkerInOneLevel) {
    std::string text = "x#2#3";
    EXPECT_EQ(MessageIn(SetIndexOrder(text)),
              "Верхний индекс в позиции 4 не связан ни с одним выражением.");
    text = "a!1!2";
    EXPECT_EQ(MessageIn(SetIndexOrder(text)),
              "Нижний индекс в позиции 4 не связан ни с одним выражением.");
    text = "x#2@+y#3@";
    EXPECT_EQ(MessageIn(SetIndexOrder(text)), "");
}

TEST(EvaluatorNormalise, ReplaceVariablesNeedsBoundariesOnBothSides) {
    Evaluator evaluator;
    evaluator.AddVariable("x", -3);
    evaluator.AddVariable("R", 2);
    evaluator.AddVariable("R!A", 5);
    std::string text = "2*x";
    EXPECT_EQ(MessageIn(evaluator.ReplaceVariables(text)), "");
    EXPECT_EQ(text, "2*-3");
    text = "2x+xy+x";
    EXPECT_EQ(MessageIn(evaluator.ReplaceVariables(text)), "");
    EXPECT_EQ(text, "2x+xy+-3");
    text = "R!A+R#2@";
    EXPECT_EQ(MessageIn(evaluator.ReplaceVariables(text)), "");
    EXPECT_EQ(text, "5+2#2@");
    text = "(x)^x@x";
    EXPECT_EQ(MessageIn(evaluator.ReplaceVariables(text)), "");
    EXPECT_EQ(text, "(-3)^-3@-3");
    // A negative base of a power keeps its sign inside brackets; an exponent does not.
    text = "x#2@+x^2+2^x^2+R#x@";
    EXPECT_EQ(MessageIn(evaluator.ReplaceVariables(text)), "");
    EXPECT_EQ(text, "(-3)#2@+(-3)^2+2^-3^2+2#-3@");
    text = "R#2!A@";
    EXPECT_EQ(MessageIn(evaluator.ReplaceVariables(text)), ""); // indices are ordered first
    EXPECT_EQ(text, "5#2@");
    text = "x#1#2";
    EXPECT_EQ(MessageIn(evaluator.ReplaceVariables(text)),
              "Верхний индекс в позиции 4 не связан ни с одним выражением.");
}

TEST(EvaluatorNormalise, ReplacementThatContainsTheNameEnds) {
    // A name that reappears in its own value must not make the text grow forever.
    Evaluator evaluator;
    evaluator.AddVariable("5", -5);
    std::string text = "5+1";
    EXPECT_EQ(MessageIn(evaluator.ReplaceVariables(text)), "");
    EXPECT_EQ(text, "-5+1");
    text = "5";
    ReplaceName(text, "5", "(-5)");
    EXPECT_EQ(text, "(-5)");
}
