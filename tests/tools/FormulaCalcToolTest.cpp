// vekta-formula calc and compare, run as a program: UTF-8 on the command line and on the
// output, the evaluator's number text or message, and the exit codes.

#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ToolRun = ProgramRun;

ToolRun RunFormulaTool(const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& argument : arguments)
        args << QString::fromStdString(argument);
    return RunProgram(VEKTA_FORMULA_PATH, args);
}

} // namespace

TEST(FormulaCalcTool, CalcPrintsTheNumberText) {
    ToolRun run = RunFormulaTool({"calc", "2#3@+1"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "9\n");
    EXPECT_EQ(run.err, "");
    run = RunFormulaTool({"calc", "4#(-2)@"});
    EXPECT_EQ(run.out, "0.0625\n");
    run = RunFormulaTool({"calc", "-16383"});
    EXPECT_EQ(run.out, "-16383\n");
    run = RunFormulaTool({"calc", "0.5#2000000000@"}); // a huge exponent does not stall
    EXPECT_EQ(run.out, "0\n");
    run = RunFormulaTool({"calc", "1e300*1e300"}); // the product leaves the range of a double
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "Возможно при выполнении операции произведения произошло переполнение буфера.\n");
}

TEST(FormulaCalcTool, CalcTakesVariablesByTheirFormulaNames) {
    ToolRun run = RunFormulaTool({"calc", "--var", "x=3", "--var", "R!A=4", "x#2@+R#2!A@"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "25\n");
    run = RunFormulaTool({"calc", "--var", "~p=1", "2*~p"}); // a predefined name is updated
    EXPECT_EQ(run.out, "2\n");
    run = RunFormulaTool({"calc", "--var", "x=abc", "x"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Невозможно преобразовать строку 'abc' в число.\n");
}

TEST(FormulaCalcTool, CalcReportsTheMessageInUtf8) {
    ToolRun run = RunFormulaTool({"calc", "1/0"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Возможно при выполнении операции деления произошло переполнение буфера "
                       "или деление на нуль.\n");
    run = RunFormulaTool({"calc", "ж+1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Невозможно преобразовать строку 'ж' в число.\n");
    run = RunFormulaTool({"calc", "@"});
    EXPECT_EQ(run.err, "Пустая строка.\n");
}

TEST(FormulaCalcTool, CompareSaysEqualOrDifferent) {
    ToolRun run = RunFormulaTool({"compare", "--var", "x=0", "(x+1)#2@", "x#2@+2*x+1"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "equal\n");
    run = RunFormulaTool({"compare", "--var", "x=0", "x#2@", "x*x+1"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "different\n");
    run = RunFormulaTool({"compare", "z", "z"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Невозможно вычислить одно или оба выражения при сравнении "
                       "(Невозможно преобразовать строку 'z' в число.).\n");
}
