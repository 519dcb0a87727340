#include "EngineTestSupport.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

// The same bits, or both not a number.
bool SameValue(double a, double b) {
    if (std::isnan(a) && std::isnan(b))
        return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Describe(double value, const EngineError& error) {
    return platform::FloatToStr(value) + " [" + std::to_string(static_cast<int>(error.code)) +
           "] " + error.Message();
}

// Runs a tree resolved and step by step against one table and checks that both give the
// same value and the same error. Returns the resolved value; its error is left in `error`.
double RunBothWays(const ExpressionNode* root, const VariableTable& table, double epsilon,
                   EngineError& error, const std::string& formula) {
    const EvaluationPlan& plan = PlanOf(*root);
    EngineError stepError;
    const double stepValue = plan.RunStepByStep(&table, epsilon, stepError);
    error = EngineError{};
    const double value = plan.Run(&table, epsilon, error);
    EXPECT_TRUE(SameValue(value, stepValue) && error.code == stepError.code &&
                error.Message() == stepError.Message())
        << formula << " under " << epsilon << ": resolved " << Describe(value, error)
        << ", step by step " << Describe(stepValue, stepError);
    return value;
}

// Random formulas in the client's notation from variables, numbers near the engine's edges,
// functions with and without domain checks, brackets and powers.
class FormulaMaker {
public:
    explicit FormulaMaker(std::uint32_t seed) : random(seed) {}

    std::string Make(int depth = 0) {
        const unsigned kind = Pick(10);
        if (depth > 3 || kind < 3)
            return Atom();
        if (kind < 5)
            return std::string(kFunctions[Pick(std::size(kFunctions))]) + "(" + Make(depth + 1) +
                   ")";
        if (kind < 6)
            return "(" + Make(depth + 1) + ")";
        if (kind < 7)
            return Make(depth + 1) + "#" + Make(depth + 1) + "@";
        std::string chain = Make(depth + 1);
        for (unsigned i = 0, n = 1 + Pick(3); i < n; ++i)
            chain += std::string(1, "+-*/"[Pick(4)]) + Make(depth + 1);
        return chain;
    }

private:
    static constexpr const char* kAtoms[] = {
        "x",        "y",     "z",   "t",  "g",    "pi",    "0",
        "1",        "2",     "0,5", "-1", "3.25", "1e-10", "0,0000000001",
        "16777217", "1E300", "zz"};
    static constexpr const char* kFunctions[] = {"cos", "sin",  "sqrt", "exp",  "abs", "log",
                                                 "ln",  "atan", "up",   "cosh", "th"};

    unsigned Pick(std::size_t n) { return static_cast<unsigned>(random() % n); }
    std::string Atom() { return kAtoms[Pick(std::size(kAtoms))]; }

    std::mt19937 random;
};

} // namespace

TEST_F(EngineTest, ResolvedRunsGiveTheStepByStepValuesAndMessages) {
    FormulaMaker maker(20261207);
    VariableTable table;
    table.SetValue("x", "0,3");
    table.SetNumber("y", -2);
    table.SetNumber("z", 0);
    table.SetValue("t", "1e-9");
    for (int i = 0; i < 3000; ++i) {
        const std::string formula = maker.Make();
        Expression expression;
        if (!expression.SetFormula(formula).ok())
            continue;
        EngineError error;
        for (const double tolerance : {kClientEpsilon, kDefaultEpsilon, 3.0})
            RunBothWays(expression.Root(), table, tolerance, error, formula);
        // A number stored between runs is seen by the resolved run.
        table.SetNumber("y", i % 7 - 3.5);
        RunBothWays(expression.Root(), table, kClientEpsilon, error, formula);
    }
}

TEST_F(EngineTest, PartsOfNumbersAloneKeepTheirErrorsAndTheirOrder) {
    const std::string divisionByZero = Cp("Ошибка: Деление на нуль");
    const std::string zeroInLogarithm = Cp("Ошибка: нуль в аргументе логарифма");
    EXPECT_EQ(Eval("1/0*x", {{"x", "3"}}), 3.0);
    EXPECT_EQ(last.text, divisionByZero);
    EXPECT_EQ(Eval("x+ln(0)", {{"x", "3"}}), 4.0);
    EXPECT_EQ(last.text, zeroInLogarithm);
    EXPECT_EQ(Eval("ln(0)*(1/0)+x", {{"x", "3"}}), 4.0);
    EXPECT_EQ(last.text, zeroInLogarithm);
    EXPECT_EQ(Eval("x*(2/0)-ln(0)", {{"x", "3"}}), 2.0);
    EXPECT_EQ(last.text, divisionByZero);
    EXPECT_EQ(Eval("2*3+cos(0)*x-sqrt(16)", {{"x", "3"}}), 5.0);
    EXPECT_TRUE(last.ok());

    // What is computed in advance under one tolerance is computed again under another.
    Expression expression;
    expression.SetFormula("x+1/0,00001+abs(0,0001)");
    expression.SetNumber("x", 1);
    EXPECT_EQ(Keep(expression.Evaluate(1e-9)), 1 + 1 / 0.00001 + 0.0001);
    EXPECT_TRUE(last.ok());
    EXPECT_EQ(Keep(expression.Evaluate(0.001)), 2.0);
    EXPECT_EQ(last.text, divisionByZero);
    EXPECT_EQ(Keep(expression.Evaluate(1e-9)), 1 + 1 / 0.00001 + 0.0001);
    EXPECT_TRUE(last.ok());
}

TEST_F(EngineTest, ResolvedRunsFollowEveryChangeOfTheTable) {
    Expression expression;
    expression.SetFormula("a*sin(w)+b#2@");
    expression.SetNumber("a", 2);
    expression.SetNumber("w", 0);
    expression.SetVariable("b", "3");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 9.0);
    expression.SetVariable("b", "4");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 16.0);
    expression.SetVariable("b", "4.5.6");
    Keep(expression.Evaluate(epsilon));
    EXPECT_TRUE(last.Unreadable());
    expression.SetNumber("b", 5);
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 25.0);
    EXPECT_TRUE(last.ok());
    expression.Variables().RemoveValue("a");
    Keep(expression.Evaluate(epsilon));
    EXPECT_EQ(last.missingName, "a");
    expression.SetNumber("a", 1);
    expression.SetNumber("w", std::acos(-1.0) / 2);
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 26.0);
    VariableTable other;
    other.AssignTable(&expression.Variables());
    other.SetNumber("b", 1);
    EXPECT_EQ(Keep(EvaluateTree(expression.Root(), &other, epsilon)), 2.0);
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 26.0);
}

TEST_F(EngineTest, PowersOfNegativeZeroAndHugeNumbers) {
    Expression expression;
    expression.SetFormula("x#2@");
    for (const double x : {-3.0, -0.1, -16777217.0, 0.0, -1e200, 1e-170}) {
        expression.SetNumber("x", x);
        EXPECT_EQ(Keep(expression.Evaluate(epsilon)), x * x) << x;
    }
    EXPECT_EQ(Eval("x#3@", {{"x", "-2"}}), -8.0);
    EXPECT_EQ(Eval("(-3)#2@"), 9.0);
    EXPECT_EQ(Eval("-3#2@"), -9.0);
    EXPECT_TRUE(std::isnan(Eval("x#0,5", {{"x", "-4"}})));
    EXPECT_EQ(Eval("10#400"), HUGE_VAL);
    EXPECT_EQ(Eval("x#(-400)@", {{"x", "10"}}), 0.0);
    EXPECT_EQ(Eval("x#0", {{"x", "0"}}), 1.0);
    EXPECT_TRUE(last.ok());
    // Under a tolerance above 2 the exponent 2 counts as zero: 0 to the 0 is 1.
    epsilon = 3;
    EXPECT_EQ(Eval("x#2", {{"x", "1"}}), 1.0);
    EXPECT_EQ(Eval("x#2", {{"x", "5"}}), 25.0);
    EXPECT_EQ(Eval("(x+1)#2", {{"x", "0"}}), 1.0);
}

TEST_F(EngineTest, FormulasSavingManyValuesRunStepByStep) {
    // Each bracket saves the sine before it; deeper than the resolved run's stack allows.
    std::string formula = "x";
    for (int i = 0; i < 100; ++i)
        formula = "sin(x)*(" + formula + ")+1";
    Expression expression;
    ASSERT_TRUE(expression.SetFormula(formula).ok());
    expression.SetNumber("x", 0.5);
    double expected = 0.5;
    for (int i = 0; i < 100; ++i)
        expected = std::sin(0.5) * expected + 1;
    EngineError error;
    EXPECT_DOUBLE_EQ(
        RunBothWays(expression.Root(), expression.Variables(), epsilon, error, "100 brackets"),
        expected);
}
