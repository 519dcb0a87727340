// Brackets, powers of brackets and the function table.

#include "EvaluatorTestText.h"

#include "eqedit/EvaluatorBrackets.h"
#include "eqedit/EvaluatorNumbers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace eqedit;

namespace {

// The text left by DeleteBrackets, or the message in UTF-8 after "!".
std::string Reduced(std::string text) {
    const std::string message = MessageIn(DeleteBrackets(text));
    return message.empty() ? text : "!" + message;
}

Real Value(const std::string& text) {
    std::string reduced = text;
    const std::string message = MessageIn(DeleteBrackets(reduced));
    Real value = NAN;
    EXPECT_EQ(message, "") << text;
    EXPECT_TRUE(ReadNumber(reduced, value)) << text << " -> " << reduced;
    return value;
}

} // namespace

TEST(EvaluatorBrackets, InnermostFirstWithTheirSign) {
    EXPECT_EQ(Reduced("(2+3)*4"), "+20");
    EXPECT_EQ(Reduced("4-(2+3)"), "-1");
    EXPECT_EQ(Reduced("((1+1)*(2+2))"), "+8");
    EXPECT_EQ(Reduced("-(-3)"), "+3");
    EXPECT_EQ(Reduced("2*(-3)^2"), "+18");
    EXPECT_EQ(Reduced("(2)^3"), "+8");
    EXPECT_EQ(Reduced("(4)^-0.5"), "+0.5");
    EXPECT_EQ(Reduced("3"), "3");
}

TEST(EvaluatorBrackets, UnbalancedBracketsQuoteTheTextAsItStands) {
    EXPECT_EQ(Reduced("(1+2"), "!Отсутствует скобка ) в строке (1+2");
    EXPECT_EQ(Reduced("1+2)"), "!Отсутствует скобка ( в строке 1+2)");
    EXPECT_EQ(Reduced("(2*(3)+1"), "!Отсутствует скобка ) в строке (2*3+1");
    EXPECT_EQ(Reduced(")("), "!Отсутствует скобка ( в строке )(");
}

TEST(EvaluatorBrackets, PowersOfBracketsAndTheirFaults) {
    EXPECT_EQ(Reduced("(2)^"), "!" + NotANumberText(""));
    EXPECT_EQ(Reduced("()^2"), "!" + NotANumberText(""));
    EXPECT_EQ(Reduced("(x)^2"), "!" + NotANumberText("x"));
    EXPECT_EQ(Reduced("(10)^5000"),
              "!Возможно при выполнении операции возведения в степень произошло переполнение "
              "буфера.");
    EXPECT_EQ(Reduced("(-8)^0.5"),
              "!Возможно при выполнении операции возведения в степень произошло переполнение "
              "буфера.");
    EXPECT_EQ(Reduced("(1e300)^2"),
              "!Возможно при выполнении операции возведения в степень произошло переполнение "
              "буфера.");
    // A base beyond the range of a double cannot be converted to one.
    EXPECT_EQ(Reduced("(1e5000)^2"), "!" + NotANumberText("1e5000"));
}

TEST(EvaluatorBrackets, FunctionsByNameInAnyCase) {
    EXPECT_EQ(Reduced("SIN(0)"), "0");
    EXPECT_EQ(Reduced("sin(0)"), "0");
    EXPECT_EQ(Reduced("Sin(0)+1"), "+1");
    const Real pi = std::acos(Real{-1});
    EXPECT_DOUBLE_EQ(Value("ARCSIN(0.5)"), pi / 6);
    EXPECT_DOUBLE_EQ(Value("acos(0.5)"), pi / 3);
    for (const char* name : {"ARCTG", "ATAN", "ARCTAN", "ARCCTG", "ARCCTAN", "ATAN2"}) {
        EXPECT_DOUBLE_EQ(Value(std::string(name) + "(1)"), pi / 4) << name;
        EXPECT_DOUBLE_EQ(Value(std::string(name) + "(-1)"), -pi / 4) << name;
    }
    EXPECT_DOUBLE_EQ(Value("COS(1)"), std::cos(Real{1}));
    EXPECT_DOUBLE_EQ(Value("CTG(1)"), std::cos(Real{1}) / std::sin(Real{1}));
    EXPECT_DOUBLE_EQ(Value("ctan(1)"), Value("1/TG(1)"));
    EXPECT_DOUBLE_EQ(Value("TAN(1)"), std::tan(Real{1}));
    EXPECT_DOUBLE_EQ(Value("LN(EXP(2))"), 2);
    EXPECT_DOUBLE_EQ(Value("LG(1000)"), 3);
    EXPECT_DOUBLE_EQ(Value("LOG10(0.01)"), -2);
    EXPECT_EQ(Value("SQRT(16)"), 4);
    EXPECT_EQ(Value("SQR(-3)"), 9);
    EXPECT_EQ(Value("ABS(-2.5)"), 2.5);
    EXPECT_EQ(Value("SEC(0)"), 1);
    EXPECT_DOUBLE_EQ(Value("COSEC(1)"), 1 / std::sin(Real{1}));
    EXPECT_DOUBLE_EQ(Value("SH(1)"), std::sinh(Real{1}));
    EXPECT_DOUBLE_EQ(Value("CH(1)"), std::cosh(Real{1}));
    EXPECT_DOUBLE_EQ(Value("TH(1)"), std::tanh(Real{1}));
    EXPECT_DOUBLE_EQ(Value("CTH(1)"), 1 / std::tanh(Real{1}));
}

TEST(EvaluatorBrackets, APowerAfterAFunctionRaisesItsArgument) {
    EXPECT_EQ(Value("COS(0)^2"), 1);
    EXPECT_EQ(Value("(COS(0))^2"), 1);
    EXPECT_DOUBLE_EQ(Value("SIN(2)^2"), std::sin(Real{4}));
    EXPECT_DOUBLE_EQ(Value("(SIN(2))^2"), std::sin(Real{2}) * std::sin(Real{2}));
}

TEST(EvaluatorBrackets, EveryCheckOfTheFunctionTable) {
    const auto argument = [](const std::string& name, const std::string& argument) {
        return Reduced(name + "(" + argument + ")");
    };
    EXPECT_EQ(argument("ASIN", "1"), "!Аргумент для вычисления арксинуса, равный 1, должен "
                                     "лежать в интервале (-1;1).");
    EXPECT_EQ(argument("ARCSIN", "-1"), "!Аргумент для вычисления арксинуса, равный -1, "
                                        "должен лежать в интервале (-1;1).");
    EXPECT_EQ(argument("ACOS", "-1"), "!Аргумент  для вычисления арккосинуса, равный -1, "
                                      "должен лежать в интервале (-1;1).");
    EXPECT_EQ(argument("ARCCOS", "1+1"), "!Аргумент  для вычисления арккосинуса, равный +2, "
                                         "должен лежать в интервале (-1;1).");
    EXPECT_EQ(argument("CTG", "0"), "!При вычислении котангенса произошло деление на 0.");
    EXPECT_EQ(argument("CTAN", "0"), "!При вычислении котангенса произошло деление на 0.");
    EXPECT_EQ(argument("LN", "0"), "!Аргумент  для вычисления натурального логарифма, равный "
                                   "0, должен быть больше нуля.");
    EXPECT_EQ(argument("LG", "-1"), "!Аргумент  для вычисления десятичного логарифма, равный "
                                    "-1, должен быть больше нуля.");
    EXPECT_EQ(argument("LOG10", "0"), "!Аргумент  для вычисления десятичного логарифма, "
                                      "равный 0, должен быть больше нуля.");
    EXPECT_EQ(argument("SQRT", "-4"), "!Квадратный корень из отрицательного числа -4.");
    EXPECT_EQ(argument("COSEC", "0"), "!При вычислении косеканса произошло деление на 0.");
    EXPECT_EQ(argument("SH", "20000"), "!Переполнение при вычислении гиперболического синуса.");
    EXPECT_EQ(argument("CH", "-20000"), "!Переполнение при вычислении гиперболического косинуса.");
    EXPECT_EQ(argument("TH", "20000"), "!Переполнение при вычислении гиперболического косинуса.");
    EXPECT_EQ(argument("CTH", "20000"), "!Переполнение при вычислении гиперболического косинуса.");
    EXPECT_EQ(argument("CTH", "0"),
              "!При вычислении гиперболического котангенса произошло деление на 0.");
    // The argument text is quoted as the bracket left it, after a power with its sign.
    EXPECT_EQ(Reduced("LN(0)^2"), "!Аргумент  для вычисления натурального логарифма, равный "
                                  "+0, должен быть больше нуля.");
}

TEST(EvaluatorBrackets, NamesThatAreNoFunctions) {
    EXPECT_EQ(Reduced("2(3)"), "!Неизвестная функция 2");
    EXPECT_EQ(Reduced("foo(1)"), "!Неизвестная функция foo");
    EXPECT_EQ(Reduced("1+Sinus(1)"), "!Неизвестная функция Sinus");
    EXPECT_EQ(Reduced("2.5(1)"), "!Неизвестная функция 5"); // a name stops at "."
    EXPECT_EQ(Reduced("SIN (0)"), "!Неизвестная функция SIN ");
}

TEST(EvaluatorBrackets, AFunctionOfSomethingThatIsNoNumberFails) {
    // Read with no check, the argument would silently count as 0.
    EXPECT_EQ(Reduced("SIN(y)"), "!" + NotANumberText("y"));
    EXPECT_EQ(Reduced("COS()"), "!" + NotANumberText(""));
    EXPECT_EQ(Reduced("ATAN(EXP(100000))"), "!" + NotANumberText("inf"));
}
