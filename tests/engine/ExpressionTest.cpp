#include "EngineTestSupport.h"

#include <random>

TEST_F(EngineTest, FormulaObjectKeepsItsLastGoodFormula) {
    Expression expression;
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 0.0);
    expression.SetFormula("");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 0.0);
    EXPECT_EQ(expression.Root(), nullptr);

    expression.SetFormula(" 1 + 2 @");
    EXPECT_EQ(expression.Formula(), "1+2");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 3.0);

    expression.SetFormula("");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 3.0);

    last = expression.SetFormula("(1+2");
    EXPECT_EQ(last.code, EngineErrorCode::Brackets);
    EXPECT_EQ(last.text, Cp("Ошибка: нехватает закрывающей скобки"));
    EXPECT_EQ(expression.Formula(), "1+2");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 3.0);
    EXPECT_EQ(last.text, "");
}

TEST_F(EngineTest, FailedBuildKeepsThePreviousFormulaAndTree) {
    Expression expression;
    expression.SetFormula("2*3");
    const ExpressionNode* root = expression.Root();
    for (const char* text : {"   ", "@#", "+3", "2*/3"}) {
        EXPECT_EQ(UnreadableText(expression.SetFormula(text)),
                  Cp("Ошибка: пустой операнд в формуле"))
            << text;
        EXPECT_EQ(expression.Formula(), "2*3");
        EXPECT_EQ(expression.Root(), root);
        EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 6.0);
    }
}

TEST_F(EngineTest, FormulaObjectPassesVariablesToItsTable) {
    Expression expression;
    expression.SetFormula("A*cos(w*t)+g");
    expression.SetVariable("A", "2");
    expression.SetVariable("w", "0");
    expression.SetVariable("t", "5");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 2 + 9.81);
    // A value set after a lookup is seen by the next evaluation.
    expression.SetVariable("A", "3");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 3 + 9.81);
    expression.SetVariable("g", "0");
    EXPECT_EQ(Keep(expression.GetVariable("g")), 0.0);
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 3.0);
    expression.ResetVariables();
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 9.81);
    EXPECT_EQ(last.text, Cp("Ошибка: нет такой переменной:"));
    EXPECT_EQ(last.missingName, "A");
    EXPECT_EQ(expression.Variables().Count(), 5u);
}

TEST_F(EngineTest, TreesEvaluateAgainstAnyTable) {
    Expression expression;
    expression.SetFormula("t*2");
    VariableTable first;
    VariableTable second;
    first.SetValue("t", "1");
    second.SetValue("t", "5");
    EXPECT_EQ(Keep(EvaluateTree(expression.Root(), &first, epsilon)), 2.0);
    EXPECT_EQ(Keep(EvaluateTree(expression.Root(), &second, epsilon)), 10.0);
    EXPECT_EQ(Keep(EvaluateTree(expression.Root(), &first, epsilon)), 2.0);
    first.AssignTable(&second);
    EXPECT_EQ(Keep(EvaluateTree(expression.Root(), &first, epsilon)), 10.0);
    first.RemoveValue("t");
    EXPECT_EQ(Keep(EvaluateTree(expression.Root(), &first, epsilon)), 0.0);
    EXPECT_EQ(last.missingName, "t");
}

TEST_F(EngineTest, CachedNumbersFollowTheSeparator) {
    Expression expression;
    expression.SetFormula("x+1,5");
    expression.SetVariable("x", "2.25");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 3.75);
    platform::SetDecimalChar(',');
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 3.75);
    // With an unusual separator numbers are read afresh and "." and "," still work.
    platform::SetDecimalChar('\'');
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 3.75);
}

TEST_F(EngineTest, NameBracketErrorsOverrideEarlierErrors) {
    // A variable whose name has unbalanced brackets, as cos(x))( leaves behind.
    Expression expression;
    expression.SetFormula("1/0+cos(x))(");
    Keep(expression.Evaluate(epsilon));
    EXPECT_EQ(last.code, EngineErrorCode::Brackets);
    EXPECT_EQ(last.text, Cp("Ошибка: нехватает открывающей скобки"));
}

TEST_F(EngineTest, AnyTextEndsInAValueAMessageOrAnError) {
    const std::string alphabet = "()()+-*/#@!~=0123456789.,xy cosinlupqrt";
    std::mt19937 random(20261207);
    Expression expression;
    expression.SetVariable("x", "0,5");
    for (int i = 0; i < 20000; ++i) {
        std::string text(random() % 24, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        expression.SetFormula(text);
        Keep(expression.Evaluate(epsilon));
        Keep(expression.Evaluate(epsilon));
        if (!expression.Formula().empty()) {
            ASSERT_NE(expression.Root(), nullptr) << text;
        }
    }
}
