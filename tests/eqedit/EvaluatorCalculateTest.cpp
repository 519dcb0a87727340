// Calculating a formula text: filtering, variables, exponents and the final number.

#include "EvaluatorTestText.h"

#include "eqedit/Evaluator.h"

#include <gtest/gtest.h>

#include <random>

using namespace eqedit;

namespace {

// The value of the formula, or the message in UTF-8 after "!".
struct Calculation {
    std::string message;
    double value = 0;
};

Calculation Calculate(const Evaluator& evaluator, const std::string& formula) {
    std::string equation = Cp(formula);
    Calculation calculation;
    const platform::Result<double> value = evaluator.CalculateEquation(equation);
    calculation.message = MessageIn(value);
    if (value)
        calculation.value = *value;
    return calculation;
}

double ValueOf(const Evaluator& evaluator, const std::string& formula) {
    const Calculation calculation = Calculate(evaluator, formula);
    EXPECT_EQ(calculation.message, "") << formula;
    return calculation.value;
}

std::string MessageOf(const Evaluator& evaluator, const std::string& formula) {
    return Calculate(evaluator, formula).message;
}

} // namespace

TEST(EvaluatorCalculate, ExponentsAndDecimalCommas) {
    Evaluator evaluator;
    EXPECT_EQ(ValueOf(evaluator, "2#3@"), 8);
    EXPECT_EQ(ValueOf(evaluator, "2#3@+1"), 9);
    EXPECT_EQ(ValueOf(evaluator, "2#3"), 8); // an exponent may run to the end
    EXPECT_EQ(ValueOf(evaluator, "2#1+1@"), 4);
    EXPECT_EQ(ValueOf(evaluator, "4#(-2)@"), 0.0625);
    EXPECT_EQ(ValueOf(evaluator, "4#-2@"), 0.0625);
    EXPECT_EQ(ValueOf(evaluator, "2#2#2@"), 4194304); // filtered to 2#22@
    EXPECT_EQ(ValueOf(evaluator, "(1+2)#2@*2"), 18);
    EXPECT_EQ(ValueOf(evaluator, "2#SQRT(4)@"), 4);
    EXPECT_EQ(ValueOf(evaluator, "2,5*2"), 5);
    EXPECT_EQ(ValueOf(evaluator, "0.5#2000000000@"), 0);
    // Spaces are not skipped: they end up in an operand.
    EXPECT_EQ(MessageOf(evaluator, "  4#(-2)@ + 5#(4-67)@"), NotANumberText("  4"));
}

TEST(EvaluatorCalculate, ExponentBracketsMustBalance) {
    Evaluator evaluator;
    EXPECT_EQ(MessageOf(evaluator, "2#(1@"), "В показателе степени ( скобок больше, чем ).");
    EXPECT_EQ(MessageOf(evaluator, "2#(1"), "В показателе степени ( скобок больше, чем ).");
    EXPECT_EQ(MessageOf(evaluator, "2#1)@"), "В показателе степени ) скобок больше, чем (.");
    EXPECT_EQ(MessageOf(evaluator, "2#(1+)@"), NotANumberText(""));
}

TEST(EvaluatorCalculate, VariablesAndIndices) {
    Evaluator evaluator;
    EXPECT_EQ(MessageOf(evaluator, "x#2@"), NotANumberText("x"));
    evaluator.AddVariable("x", 3);
    EXPECT_EQ(ValueOf(evaluator, "x#2@"), 9);
    EXPECT_EQ(ValueOf(evaluator, "2*x-x#2@"), -3);
    evaluator.AddVariable("R!A", 4);
    EXPECT_EQ(ValueOf(evaluator, "R!A#2@"), 16);
    EXPECT_EQ(ValueOf(evaluator, "R#2!A@"), 16);
    evaluator.AddVariable("R!AB", 5);
    EXPECT_EQ(ValueOf(evaluator, "R#2!AB@"), 25);
    EXPECT_DOUBLE_EQ(ValueOf(evaluator, "2*~p"), 2 * 3.141592653589793);
    EXPECT_DOUBLE_EQ(ValueOf(evaluator, "cos(pi)"), -1);
    // A negative value under a power is raised whole: x#2@ is 9, not -(3^2).
    evaluator.AddVariable("x", -3);
    EXPECT_EQ(ValueOf(evaluator, "x#2@"), 9);
    EXPECT_EQ(ValueOf(evaluator, "-x#2@"), -9);
    EXPECT_EQ(ValueOf(evaluator, "(x)#2@"), 9);
    EXPECT_EQ(ValueOf(evaluator, "2-x"), 5);
    EXPECT_EQ(ValueOf(evaluator, "2#x@"), 0.125);
    EXPECT_EQ(ValueOf(evaluator, "x#3@"), -27);
}

TEST(EvaluatorCalculate, FiltersTheFormulaTextInPlace) {
    Evaluator evaluator;
    evaluator.AddVariable("x", 2);
    std::string equation = "x#2#3@";
    const platform::Result<double> result = evaluator.CalculateEquation(equation);
    EXPECT_EQ(equation, "x#23@");
    EXPECT_EQ(result.Value(), 8388608);
    equation = "@";
    EXPECT_EQ(MessageIn(evaluator.CalculateEquation(equation)), "Пустая строка.");
    EXPECT_EQ(equation, "");
    EXPECT_EQ(MessageOf(evaluator, ""), "Пустая строка.");
}

TEST(EvaluatorCalculate, Failures) {
    Evaluator evaluator;
    EXPECT_EQ(MessageOf(evaluator, "1/0"),
              "Возможно при выполнении операции деления произошло переполнение буфера или "
              "деление на нуль.");
    EXPECT_EQ(MessageOf(evaluator, "1+2)"), "Отсутствует скобка ( в строке 1+2)");
    EXPECT_EQ(MessageOf(evaluator, "2 + 3"), NotANumberText("2 "));
    EXPECT_EQ(MessageOf(evaluator, "-"), NotANumberText("-"));
    EXPECT_EQ(MessageOf(evaluator, "EXP(100000)"), NotANumberText("inf"));
    // A power that leaves the range of a double is a fault of the power.
    EXPECT_EQ(MessageOf(evaluator, "10#400@"),
              "Возможно при выполнении операции возведения в степень произошло переполнение "
              "буфера.");
    EXPECT_EQ(MessageOf(evaluator, "2*(1e300*1e300)"),
              "Возможно при выполнении операции произведения произошло переполнение буфера.");
}

TEST(EvaluatorCalculate, EndsOnAnyInput) {
    // Random texts over the characters the evaluator gives a meaning to: every one must
    // end with a value or a message.
    Evaluator evaluator;
    evaluator.AddVariable("x", -2);
    const std::string alphabet = "0123456789.,eE+-*/^()#@!~x pSINsqrt";
    std::mt19937 generator(20261207);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    int computed = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string equation;
        for (int i = length(generator); i > 0; --i)
            equation += alphabet[pick(generator)];
        computed += evaluator.CalculateEquation(equation).Ok();
    }
    EXPECT_GT(computed, 0);
}
