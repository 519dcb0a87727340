// Runs the built vekta-formula program and checks what it prints and how it ends.

#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

using Outcome = ProgramRun;

// Runs the program in the C locale with UTF-8 arguments.
Outcome RunTool(std::initializer_list<std::string> args) {
    QStringList arguments;
    for (const std::string& arg : args)
        arguments << QString::fromStdString(arg);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C");
    return RunProgram(VEKTA_FORMULA_PATH, arguments, environment);
}

void ExpectValue(std::initializer_list<std::string> args, const std::string& value) {
    const Outcome outcome = RunTool(args);
    EXPECT_EQ(outcome.out, value + "\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.exitCode, 0);
}

void ExpectError(std::initializer_list<std::string> args, const std::string& message,
                 int exitCode) {
    const Outcome outcome = RunTool(args);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, message + "\n");
    EXPECT_EQ(outcome.exitCode, exitCode);
}

} // namespace

TEST(FormulaEvalTool, PrintsValuesInTheEnginesNumberFormat) {
    ExpectValue({"eval", "--var", "t=1.25", "100+50*cos(2*t)"}, "59.9428192226533");
    ExpectValue({"eval", "--var", "x=3", "--var", "y=4", "x#2@+y#2@"}, "25");
    ExpectValue({"eval", "pi"}, "3.14159265358979");
    ExpectValue({"eval", "~p*2"}, "6.28318530717958");
    ExpectValue({"eval", "0,00001/10"}, "1E-6");
    ExpectValue({"eval", "10#15@"}, "1E15");
    ExpectValue({"eval", "-1/4"}, "-0.25");
}

TEST(FormulaEvalTool, VariablesAreSetInOrderAfterTheConstants) {
    ExpectValue({"eval", "--var", "x=1", "--var", "x=2", "x"}, "2");
    ExpectValue({"eval", "--var", "g=10", "g"}, "10");
    ExpectValue({"eval", "--var", "v!0@=1,5", "v!0@*2"}, "3");
    ExpectValue({"eval", "--var", "скорость=2", "скорость*3"}, "6");
}

TEST(FormulaEvalTool, EngineErrorsGoToStderrWithExitCode1) {
    ExpectError({"eval", "1/0"}, "Ошибка: Деление на нуль", 1);
    ExpectError({"eval", "zz+1"}, "Ошибка: нет такой переменной: zz", 1);
    ExpectError({"eval", "--var", "x=1", "ln(0)+y"}, "Ошибка: нуль в аргументе логарифма", 1);
    ExpectError({"eval", "(1+2"}, "Ошибка: нехватает закрывающей скобки", 1);
    ExpectError({"eval", "--var", "@=1", "2"}, "Ошибка: пустой параметр при обращении к таблице",
                1);
}

TEST(FormulaEvalTool, MalformedCommandLinesShowUsage) {
    for (const auto& args :
         {std::initializer_list<std::string>{"eval"},
          std::initializer_list<std::string>{"eval", "--var", "=1", "2"},
          std::initializer_list<std::string>{"eval", "1", "2"},
          std::initializer_list<std::string>{"judge", "--units", "always", "1", "1"},
          std::initializer_list<std::string>{"judge", "--sigfigs", "0", "1", "1"}}) {
        const Outcome outcome = RunTool(args);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("usage:"), std::string::npos);
        EXPECT_EQ(outcome.exitCode, 64);
    }
}

TEST(FormulaEvalTool, ExceptionsGoToStderrWithExitCode2) {
    ExpectError({"eval", "+3"}, "Ошибка: пустой операнд в формуле", 2);
    ExpectError({"eval", "   "}, "Ошибка: пустой операнд в формуле", 2);
    ExpectError({"eval", "1.2.3*2"}, "'1.2.3' is not a valid floating point value", 2);
    ExpectError({"eval", "--var", "x=1-2", "x"}, "'1-2' is not a valid floating point value", 2);
    ExpectError({"eval", std::string(300, '(') + "1" + std::string(300, ')')},
                "Ошибка: слишком глубокая вложенность скобок в формуле (более 256)", 2);
}

// judge --why: the verdict line, then the code of the mistake a wrong answer looks like and
// nothing when there is none; read shows a quantity with its SI value.
TEST(FormulaEvalTool, JudgeNamesTheMistakeAndReadShowsTheQuantity) {
    const struct {
        std::initializer_list<std::string> args;
        std::string out;
        int exitCode;
    } cases[] = {
        {{"judge", "--why", "5", "-5"}, "неверно\nsign\n", 1},
        {{"judge", "--why", "5 кН", "5000"}, "неверно\npower10 3\n", 1},
        {{"judge", "--why", "5 кН", "5 кг"}, "неверно: кг — масса, а нужна сила\ndimension\n", 1},
        {{"judge", "--why", "--var", "F", "--var", "a", "F*sin(a)", "F*cos(a)"},
         "неверно\nsincos\n",
         1},
        {{"judge", "--why", "5", "7"}, "неверно\n", 1},
        {{"judge", "--why", "5 кН", "5000 Н"}, "верно\n", 0},
        {{"judge", "--units", "required", "5 кН", "5"}, "не принято: укажите единицу\n", 2},
        {{"judge", "--sigfigs", "3", "2.83", "2,8"},
         "не принято: мало значащих цифр: 2, нужно не меньше 3\n",
         2},
        {{"read", "-5 кН"}, "-5 кН = -5000 Н\n", 0},
        {{"read", "--var", "m", "5m"}, "5·m\n", 0},
    };
    for (const auto& c : cases) {
        const Outcome outcome = RunTool(c.args);
        EXPECT_EQ(outcome.out, c.out) << *(c.args.end() - 1);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << *(c.args.end() - 1);
    }
}
