#include "EngineTestSupport.h"

TEST_F(EngineTest, UnbalancedBracketsLeaveEmptyTextAndTheirMessage) {
    CleanedText cleaned = CleanFormula("(a+b");
    EXPECT_EQ(cleaned.text, "");
    ASSERT_NE(cleaned.bracketError, nullptr);
    EXPECT_EQ(*cleaned.bracketError, Cp("Ошибка: нехватает закрывающей скобки"));
    cleaned = CleanFormula("a+b)");
    EXPECT_EQ(cleaned.text, "");
    ASSERT_NE(cleaned.bracketError, nullptr);
    EXPECT_EQ(*cleaned.bracketError, Cp("Ошибка: нехватает открывающей скобки"));
    // Only the totals count.
    cleaned = CleanFormula(")a(");
    EXPECT_EQ(cleaned.text, ")a(");
    EXPECT_EQ(cleaned.bracketError, nullptr);
    // A formula object reports the bracket error.
    Expression expression;
    const EngineError error = expression.SetFormula("((x)");
    EXPECT_EQ(error.code, EngineErrorCode::Brackets);
    EXPECT_EQ(error.text, Cp("Ошибка: нехватает закрывающей скобки"));
}

TEST_F(EngineTest, CleanUpRemovesSpacesAndRedundantMarkers) {
    const std::pair<const char*, const char*> cases[] = {
        {" x # 2 @ + 1 ", "x#2@+1"},
        {"x#2@", "x#2"},
        {"@x", "x"},
        {"x!@1", "x1"},
        {"x##2", "x#2"},
        {"x#2#3", "x#23"},
        {"", ""},
        {"   ", ""},
        {"@#!", ""},
        {"R!A#2@+1", "R!A#2@+1"},
        {"x#@2", "x2"}, // of "#@" the "@" stays, and on the baseline it is redundant
        {"a!#b", "a#b"},
        {"x#2@!", "x#2"}, // trailing markers go one per cycle
    };
    for (const auto& [in, out] : cases) {
        const CleanedText cleaned = CleanFormula(in);
        EXPECT_EQ(cleaned.text, out) << in;
        EXPECT_EQ(cleaned.bracketError, nullptr) << in;
    }
}

TEST_F(EngineTest, NumberTextsAreDigitsSeparatorsAndMinus) {
    for (const char* text : {"2@", "@", "2,5", "2.5", "-", "1.2.3", "1-2", "007"})
        EXPECT_TRUE(IsNumberText(text)) << text;
    for (const char* text : {"2e5", "x", "2@@", "+1", "1 ", "(2)"})
        EXPECT_FALSE(IsNumberText(text)) << text;
    platform::SetDecimalChar(';');
    EXPECT_TRUE(IsNumberText("2;5"));
}

TEST_F(EngineTest, TextToNumberReadsPointAndCommaWhateverTheSeparator) {
    for (char separator : {'.', ','}) {
        platform::SetDecimalChar(separator);
        EXPECT_EQ(*TextToNumber("2.5"), 2.5);
        EXPECT_EQ(*TextToNumber("2,5"), 2.5);
        EXPECT_EQ(*TextToNumber("-3@"), -3.0);
    }
    EXPECT_EQ(*TextToNumber(""), 0.0);
    EXPECT_EQ(*TextToNumber("abc"), 0.0);
    EXPECT_EQ(last.text, "");
}

TEST_F(EngineTest, MalformedNumbersAndEmptyOperandsFail) {
    EXPECT_EQ(FailureOf(TextToNumber("1.2.3")), "'1.2.3' is not a valid floating point value");
    EXPECT_EQ(FailureOf(TextToNumber("1-2")), "'1-2' is not a valid floating point value");
    EXPECT_EQ(FailureOf(TextToNumber("-")), "'-' is not a valid floating point value");
    EXPECT_EQ(FailureOf(TextToNumber("@")), Cp("Ошибка: пустой операнд в формуле"));
    EXPECT_FALSE(IsNumberText(""));
}

// A malformed number in a formula or in a value ends the evaluation with the conversion's
// message, whatever was recorded before it; nothing recorded after it replaces it.
TEST_F(EngineTest, UnreadableNumbersEndTheEvaluationWithTheirMessage) {
    const std::string malformed = "'1.2.3' is not a valid floating point value";
    Eval("1.2.3+1");
    EXPECT_EQ(UnreadableText(last), malformed);
    Eval("1/0+1.2.3");
    EXPECT_EQ(UnreadableText(last), malformed);
    Eval("1.2.3+nosuchname");
    EXPECT_EQ(UnreadableText(last), malformed);
    EXPECT_EQ(last.missingName, "");
    Eval("x*2", {{"x", "1-2"}});
    EXPECT_EQ(UnreadableText(last), "'1-2' is not a valid floating point value");
    platform::SetDecimalChar(';'); // numbers are read anew at every evaluation
    Eval("2;5;1*2");
    EXPECT_EQ(UnreadableText(last), "'2;5;1' is not a valid floating point value");
}

TEST_F(EngineTest, FunctionNamesIgnoreCase) {
    const std::pair<const char*, int> cases[] = {
        {"cos", 0},        {"COS", 0},     {"Cos", 0}, {"sin", 1},   {"tan", 2}, {"cotan", 3},
        {"CTAN", 3},       {"log", 4},     {"ln", 5},  {"exp", 6},   {"abs", 7}, {"sqrt", 8},
        {"atan", 10},      {"ArcTan", 10}, {"up", 11}, {"cosh", 12}, {"ch", 12}, {"sinh", 13},
        {"sh", 13},        {"tanh", 14},   {"th", 14}, {"sinus", 9}, {"", 9},    {"co", 9},
        {"arctangens", 9}, {"~p", 9},
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(FunctionCode(name), code) << name;
}
