#include "EngineTestSupport.h"

#include <random>

TEST_F(EngineTest, FormulaObjectKeepsItsLastGoodFormula) {
    TMyPacketEquation packet;
    EXPECT_EQ(packet.Evaluate(), 0.0L);
    packet.SetFormula("");
    EXPECT_EQ(packet.Evaluate(), 0.0L);
    EXPECT_EQ(packet.Root(), nullptr);

    packet.SetFormula(" 1 + 2 @");
    EXPECT_EQ(packet.Formula(), "1+2");
    EXPECT_EQ(packet.Evaluate(), 3.0L);

    packet.SetFormula("");
    EXPECT_EQ(packet.Evaluate(), 3.0L);

    packet.SetFormula("(1+2");
    EXPECT_EQ(EngineStatus.Code, 4);
    EXPECT_EQ(EngineStatus.ErrorText, Cp("Ошибка: нехватает закрывающей скобки"));
    EXPECT_EQ(packet.Formula(), "1+2");
    EXPECT_EQ(packet.Evaluate(), 3.0L);
    EXPECT_EQ(EngineStatus.ErrorText, "");
}

TEST_F(EngineTest, FailedBuildKeepsThePreviousFormulaAndTree) {
    TMyPacketEquation packet;
    packet.SetFormula("2*3");
    const TMyEquation* root = packet.Root();
    for (const char* text : {"   ", "@#", "+3", "2*/3"}) {
        EXPECT_EQ(ErrorOf([&] { packet.SetFormula(text); }), Cp("Ошибка: пустой операнд в формуле"))
            << text;
        EXPECT_EQ(packet.Formula(), "2*3");
        EXPECT_EQ(packet.Root(), root);
        EXPECT_EQ(packet.Evaluate(), 6.0L);
    }
}

TEST_F(EngineTest, FormulaObjectPassesVariablesToItsTable) {
    TMyPacketEquation packet;
    packet.SetFormula("A*cos(w*t)+g");
    packet.SetVariable("A", "2");
    packet.SetVariable("w", "0");
    packet.SetVariable("t", "5");
    EXPECT_EQ(packet.Evaluate(), 2 + 9.81L);
    // A value set after a lookup is seen by the next evaluation.
    packet.SetVariable("A", "3");
    EXPECT_EQ(packet.Evaluate(), 3 + 9.81L);
    packet.SetVariable("g", "0");
    EXPECT_EQ(packet.GetVariable("g"), 0.0L);
    EXPECT_EQ(packet.Evaluate(), 3.0L);
    packet.ResetVariables();
    EXPECT_EQ(packet.Evaluate(), 9.81L);
    EXPECT_EQ(EngineStatus.ErrorText, Cp("Ошибка: нет такой переменной:"));
    EXPECT_EQ(EngineStatus.MissingName, "A");
    EXPECT_EQ(packet.Variables().Count(), 5u);
}

TEST_F(EngineTest, TreesEvaluateAgainstAnyTable) {
    TMyPacketEquation packet;
    packet.SetFormula("t*2");
    TMyPacketData first;
    TMyPacketData second;
    first.SetValue("t", "1");
    second.SetValue("t", "5");
    EXPECT_EQ(EvaluateTree(packet.Root(), &first), 2.0L);
    EXPECT_EQ(EvaluateTree(packet.Root(), &second), 10.0L);
    EXPECT_EQ(EvaluateTree(packet.Root(), &first), 2.0L);
    first.AssignTable(&second);
    EXPECT_EQ(EvaluateTree(packet.Root(), &first), 10.0L);
    first.RemoveValue("t");
    EXPECT_EQ(EvaluateTree(packet.Root(), &first), 0.0L);
    EXPECT_EQ(EngineStatus.MissingName, "t");
}

TEST_F(EngineTest, CachedNumbersFollowTheSeparator) {
    TMyPacketEquation packet;
    packet.SetFormula("x+1,5");
    packet.SetVariable("x", "2.25");
    EXPECT_EQ(packet.Evaluate(), 3.75L);
    EngineStatus.DecimalChar = ',';
    platform::SetDecimalChar(',');
    EXPECT_EQ(packet.Evaluate(), 3.75L);
    // With an unusual separator numbers are read afresh and "." and "," still work.
    EngineStatus.DecimalChar = '\'';
    platform::SetDecimalChar('\'');
    EXPECT_EQ(packet.Evaluate(), 3.75L);
}

TEST_F(EngineTest, NameBracketErrorsOverrideEarlierErrors) {
    // A variable whose name has unbalanced brackets, as cos(x))( leaves behind.
    TMyPacketEquation packet;
    packet.SetFormula("1/0+cos(x))(");
    packet.Evaluate();
    EXPECT_EQ(EngineStatus.Code, 4);
    EXPECT_EQ(EngineStatus.ErrorText, Cp("Ошибка: нехватает открывающей скобки"));
}

TEST_F(EngineTest, AnyTextEndsInAValueAMessageOrAnError) {
    const std::string alphabet = "()()+-*/#@!~=0123456789.,xy cosinlupqrt";
    std::mt19937 random(20261207);
    TMyPacketEquation packet;
    packet.SetVariable("x", "0,5");
    for (int i = 0; i < 20000; ++i) {
        std::string text(random() % 24, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        try {
            packet.SetFormula(text);
            packet.Evaluate();
            packet.Evaluate();
        } catch (const platform::Error&) {
            // empty operands and malformed numbers are reported this way
        }
        if (!packet.Formula().empty()) {
            ASSERT_NE(packet.Root(), nullptr) << text;
        }
    }
}
