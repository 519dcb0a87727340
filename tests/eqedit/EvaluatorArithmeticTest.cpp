// Arithmetic without brackets: sign folding, operands, precedence and every fault.

#include "EvaluatorTestText.h"

#include "eqedit/EvaluatorArithmetic.h"
#include "eqedit/EvaluatorNumbers.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace eqedit;

namespace {

// The text left by CalculateWithoutBrackets, or the message in UTF-8 after "!".
std::string Reduced(std::string text) {
    const std::string message = MessageIn(CalculateWithoutBrackets(text));
    return message.empty() ? text : "!" + message;
}

std::string Folded(std::string text) {
    FoldDoubleSigns(text);
    return text;
}

} // namespace

TEST(EvaluatorArithmetic, SignFoldingIsOnePass) {
    EXPECT_EQ(Folded("1--2"), "1+2");
    EXPECT_EQ(Folded("1+-2"), "1-2");
    EXPECT_EQ(Folded("1-+2"), "1-2");
    EXPECT_EQ(Folded("1++2"), "1+2");
    EXPECT_EQ(Folded("1+++2"), "1++2"); // the folded sign is not looked at again
    EXPECT_EQ(Folded("----"), "++");
    EXPECT_EQ(Folded("-"), "-");
}

TEST(EvaluatorArithmetic, OperandsAroundAnOperator) {
    std::size_t start = 0, end = 0;
    EXPECT_EQ(GetLeftOperand("3-2*4", 3, start, false), "-2");
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(GetLeftOperand("-2^2", 2, start, true), "2"); // the sign stays outside a power
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(GetLeftOperand("-2*2", 2, start, false), "-2");
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(GetLeftOperand("2*1e-3^2", 6, start, true), "1e-3"); // an exponent sign is kept
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(GetLeftOperand("*5", 0, start, false), "");
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(GetLeftOperand("2^*3", 2, start, false), "");
    EXPECT_EQ(start, 2u);

    EXPECT_EQ(GetRightOperand("2*-3+1", 1, end), "-3");
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(GetRightOperand("2*1e+3-1", 1, end), "1e+3");
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(GetRightOperand("(2)^3)", 3, end), "3");
    EXPECT_EQ(end, 4u);
    EXPECT_EQ(GetRightOperand("2*", 1, end), "");
    EXPECT_EQ(end, 1u);
}

TEST(EvaluatorArithmetic, PrecedenceAndOrder) {
    EXPECT_EQ(Reduced("2+3*4"), "+14");
    EXPECT_EQ(Reduced("2*3+4"), "+10");
    EXPECT_EQ(Reduced("2-3-4"), "-5");
    EXPECT_EQ(Reduced("8/2/2"), "+2");
    EXPECT_EQ(Reduced("2^3^2"), "+64");
    EXPECT_EQ(Reduced("3-2*4"), "-5");
    EXPECT_EQ(Reduced("1+2*3^2"), "+19");
    EXPECT_EQ(Reduced("5"), "5");
    EXPECT_EQ(Reduced("-5"), "-5");
    EXPECT_EQ(Reduced("1--2"), "+3");
    EXPECT_EQ(Reduced("1/3*3"), "+1");
}

TEST(EvaluatorArithmetic, SignsAndExponentLetters) {
    EXPECT_EQ(Reduced("-2^2"), "-4");
    EXPECT_EQ(Reduced("2^-1"), "+0.5");
    EXPECT_EQ(Reduced("2^0"), "+1");
    EXPECT_EQ(Reduced("4^0.5"), "+2");
    EXPECT_EQ(Reduced("2*-3"), "-6");
    EXPECT_EQ(Reduced("1e+2+1"), "+101");
    EXPECT_EQ(Reduced("1E2-1"), "+99");
    EXPECT_EQ(Reduced("-1e1^2"), "-100");
}

TEST(EvaluatorArithmetic, ComputesInDoubleAndWritesTextsThatReadBackExactly) {
    // Each result is the double the operation gives, and its text reads back to that double.
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"0.1+0.2", 0.1 + 0.2},
        {"1/3", 1.0 / 3.0},
        {"1e-3*1000", 1e-3 * 1000},
        {"2^60+1-2^60", 0.0},
        {"-7/9", -7.0 / 9.0},
        {"1e-300*1e-300", 0.0},
        {"1.7e308-1e292", 1.7e308 - 1e292},
        {"123456.789*987.654321", 123456.789 * 987.654321},
    };
    for (const auto& [formula, expected] : cases) {
        std::string text = formula;
        ASSERT_EQ(MessageIn(CalculateWithoutBrackets(text)), "") << formula;
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), expected) << formula << " gave " << text;
    }
}

TEST(EvaluatorArithmetic, HugeIntegralExponentsEnd) {
    EXPECT_EQ(Reduced("0.5^2000000000"), "+0");
    EXPECT_EQ(Reduced("1^2000000000"), "+1");
    EXPECT_EQ(Reduced("-1^2000000001"), "-1");
    EXPECT_EQ(Reduced("2^-2000000000"), "+0");                  // underflow is no fault
    EXPECT_EQ(Reduced("0.5^1060"), Reduced("0.5^1000*0.5^60")); // pow beyond the bound
}

// Operands are doubles and so is every result: leaving the range of a double is a fault of
// the operation that did it, and an operand beyond that range is no number at all.
TEST(EvaluatorArithmetic, EveryFaultHasItsMessage) {
    const std::string power =
        "!Возможно при выполнении операции возведения в степень произошло переполнение буфера.";
    EXPECT_EQ(Reduced("10^5000"), power);
    EXPECT_EQ(Reduced("10^309"), power);
    EXPECT_EQ(Reduced("1e200^2"), power);
    EXPECT_EQ(Reduced("2^1.5e3"), power);
    EXPECT_EQ(Reduced("2^2000000000"), power);
    EXPECT_EQ(Reduced("0^-1"), power);
    const std::string product =
        "!Возможно при выполнении операции произведения произошло переполнение буфера.";
    EXPECT_EQ(Reduced("1e300*1e300"), product);
    EXPECT_EQ(Reduced("-1e300*1e10"), product);
    const std::string quotient = "!Возможно при выполнении операции деления произошло "
                                 "переполнение буфера или деление на нуль.";
    EXPECT_EQ(Reduced("1/0"), quotient);
    EXPECT_EQ(Reduced("0/0"), quotient);
    EXPECT_EQ(Reduced("1e300/1e-10"), quotient);
    EXPECT_EQ(Reduced("1e308+1e308"),
              "!Возможно при выполнении операции сложения произошло переполнение буфера.");
    EXPECT_EQ(Reduced("-1e308-1e308"),
              "!Возможно при выполнении операции вычитания произошло переполнение буфера.");
    EXPECT_EQ(Reduced("1e400*1"), "!" + NotANumberText("1e400"));
    EXPECT_EQ(Reduced("2*-1e400"), "!" + NotANumberText("-1e400"));
    // A fault of an earlier operation does not leak into the next one.
    EXPECT_EQ(Reduced("1e-300*1e-300+1"), "+1");
}

TEST(EvaluatorArithmetic, OperandsThatAreNoNumbers) {
    EXPECT_EQ(Reduced("*5"), "!" + NotANumberText(""));
    EXPECT_EQ(Reduced("5*"), "!" + NotANumberText(""));
    EXPECT_EQ(Reduced("2 + 3"), "!" + NotANumberText("2 "));
    EXPECT_EQ(Reduced("x^2"), "!" + NotANumberText("x"));
    EXPECT_EQ(Reduced("2^y"), "!" + NotANumberText("y"));
    EXPECT_EQ(Reduced("2*e"), "!" + NotANumberText("e"));
    EXPECT_EQ(Reduced("1e2.5*1"), "!" + NotANumberText("1e2.5"));
}

TEST(EvaluatorArithmetic, BracketsAreRejectedWithTheirPosition) {
    EXPECT_EQ(Reduced("1+(2"), "!Неверное расставление скобок в позиции 3");
    // The power before the bracket is computed first: "+4)" has the bracket at 3.
    EXPECT_EQ(Reduced("2^2)"), "!Неверное расставление скобок в позиции 3");
}
