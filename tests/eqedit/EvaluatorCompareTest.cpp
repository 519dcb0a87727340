// Comparing two formulas at random points.

#include "EvaluatorTestText.h"

#include "eqedit/Evaluator.h"

#include <gtest/gtest.h>

#include <set>

using namespace eqedit;

namespace {

struct Comparison {
    std::string message;
    bool equal = false;
};

Comparison Compare(Evaluator& evaluator, const std::string& first, const std::string& second) {
    const platform::Result<bool> equal = evaluator.CompareEquation(Cp(first), Cp(second));
    Comparison comparison;
    comparison.message = MessageIn(equal);
    comparison.equal = equal && *equal;
    return comparison;
}

// A draw that gives the value `special` to the first variable of the list in trial
// `trial` and 5 to every other variable; `nodes` is the length of the list.
Evaluator::TestValueDraw DrawWithSpecial(int nodes, int trial, int special) {
    return [=, n = 0]() mutable {
        const int index = n++;
        return index == trial * nodes ? special + 16383 : 5 + 16383;
    };
}

} // namespace

TEST(EvaluatorCompare, SameFunctionsAreEqual) {
    Evaluator evaluator;
    evaluator.AddVariable("x", 1);
    evaluator.AddVariable("y", 1);
    for (const auto& [first, second] : std::initializer_list<std::pair<const char*, const char*>>{
             {"(x+1)#2@", "x#2@+2*x+1"},
             {"x", "x+0.000001"},
             {"(SIN(x))#2@+(COS(x))#2@", "1"},
             {"2*~p*x", "x*~p*2"},
             {"x/y", "x*y#-1@"},
             {"(x-y)#3@", "x#3@-3*x#2@*y+3*x*y#2@-y#3@"}}) {
        const Comparison comparison = Compare(evaluator, first, second);
        EXPECT_EQ(comparison.message, "") << first << " vs " << second;
        EXPECT_TRUE(comparison.equal) << first << " vs " << second;
    }
}

TEST(EvaluatorCompare, DifferentFunctionsDiffer) {
    Evaluator evaluator;
    evaluator.AddVariable("x", 1);
    for (const auto& [first, second] : std::initializer_list<std::pair<const char*, const char*>>{
             {"x#2@", "x*x+1"},
             {"x", "x+0.0001"},
             {"pi", "~p"}, // in a comparison each spelling of pi is a free variable
             {"x#2@", "-x#2@"},
             {"SIN(x)#2@+COS(x)#2@", "1"}}) { // the power applies to the argument
        const Comparison comparison = Compare(evaluator, first, second);
        EXPECT_EQ(comparison.message, "") << first << " vs " << second;
        EXPECT_FALSE(comparison.equal) << first << " vs " << second;
    }
}

TEST(EvaluatorCompare, AFormulaThatCannotBeComputedGivesTheMessageOfTheLastTrial) {
    Evaluator evaluator;
    evaluator.AddVariable("x", 1);
    Comparison comparison = Compare(evaluator, "x#2#3@", "x");
    EXPECT_FALSE(comparison.equal);
    EXPECT_EQ(comparison.message, "Невозможно вычислить одно или оба выражения при сравнении "
                                  "(Верхний индекс в позиции 4 не связан ни с одним выражением.).");
    comparison = Compare(evaluator, "z", "z");
    EXPECT_FALSE(comparison.equal);
    EXPECT_EQ(comparison.message, "Невозможно вычислить одно или оба выражения при сравнении (" +
                                      NotANumberText("z") + ").");
}

TEST(EvaluatorCompare, OnlyTheLastTrialCanFailAComparison) {
    Evaluator evaluator;
    evaluator.AddVariable("x", 1); // the head of a list of six
    Comparison comparison;
    for (int trial = 0; trial < Evaluator::kComparisonTrials - 1; ++trial) {
        evaluator.SetTestValueDraw(DrawWithSpecial(6, trial, 0)); // 1/x fails in that trial
        comparison = Compare(evaluator, "1/x", "x#-1@");
        EXPECT_EQ(comparison.message, "") << trial;
        EXPECT_TRUE(comparison.equal) << trial;
    }
    evaluator.SetTestValueDraw(DrawWithSpecial(6, Evaluator::kComparisonTrials - 1, 0));
    comparison = Compare(evaluator, "1/x", "x#-1@");
    EXPECT_FALSE(comparison.equal);
    EXPECT_EQ(comparison.message,
              "Невозможно вычислить одно или оба выражения при сравнении (Возможно при "
              "выполнении операции деления произошло переполнение буфера или деление на нуль.).");
}

TEST(EvaluatorCompare, ADifferenceAtOnePointDecides) {
    Evaluator evaluator;
    evaluator.AddVariable("x", 1);
    evaluator.SetTestValueDraw(DrawWithSpecial(6, 7, 0)); // x = 5 except once x = 0
    Comparison comparison = Compare(evaluator, "ABS(x)", "x");
    EXPECT_TRUE(comparison.equal); // 0 and 5 cannot tell ABS(x) from x
    evaluator.SetTestValueDraw(DrawWithSpecial(6, 7, -2));
    comparison = Compare(evaluator, "ABS(x)", "x");
    EXPECT_EQ(comparison.message, "");
    EXPECT_FALSE(comparison.equal);
}

TEST(EvaluatorCompare, TwoEquationsShareTheTestValuesAndKeepTheStoredOnes) {
    Evaluator evaluator;
    evaluator.AddVariable("x", 100);
    evaluator.AddVariable("R!A", 100);
    evaluator.SetTestValueDraw([] { return 16383 - 7; });
    std::string first = "x#2@+pi", second = "R#2!A@";
    const platform::Result<Evaluator::TwoValues> values =
        evaluator.CalculateTwoEquations(first, second);
    EXPECT_EQ(first, "(-7)#2@+(-7)");
    EXPECT_EQ(second, "(-7)#2@"); // the index moved before the exponent, then replaced
    EXPECT_EQ(values.Value().first, 42);
    EXPECT_EQ(values.Value().second, 49);
    EXPECT_EQ(evaluator.GetVariable("x"), 100);
}

TEST(EvaluatorCompare, TestValuesSpanTheirWholeRange) {
    Evaluator evaluator;
    std::set<double> values;
    for (int n = 0; n < 200; ++n) {
        std::string first = "pi", second = "1";
        const platform::Result<Evaluator::TwoValues> trial =
            evaluator.CalculateTwoEquations(first, second);
        ASSERT_TRUE(trial.Ok());
        const double a = trial->first;
        ASSERT_GE(a, -16383);
        ASSERT_LE(a, 16383);
        ASSERT_EQ(a, static_cast<int>(a));
        values.insert(a);
    }
    EXPECT_GT(values.size(), 150u);
    EXPECT_LT(*values.begin(), -8000);
    EXPECT_GT(*values.rbegin(), 8000);
}
