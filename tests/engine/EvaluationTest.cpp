#include "EngineTestSupport.h"

#include <cmath>

TEST_F(EngineTest, OperatorsFoldChainsFromLeftToRight) {
    EXPECT_EQ(Eval("2+3*4"), 14.0);
    EXPECT_EQ(Eval("2-3-4"), -5.0);
    EXPECT_EQ(Eval("2/4/2"), 0.25);
    EXPECT_EQ(EvalTree("2#3#2"), 64.0);
    // In formula text a second "#" repeats the superscript level: 2#3#2 is 2 to the 32.
    EXPECT_EQ(Eval("2#3#2"), 4294967296.0);
    EXPECT_EQ(Eval("-2#2@"), -4.0);
    EXPECT_EQ(Eval("4#(-2)@"), 0.0625);
    EXPECT_EQ(Eval("(1+2)*(3-1)/2"), 3.0);
    EXPECT_EQ(Eval("x#2@+1", {{"x", "3"}}), 10.0);
    EXPECT_EQ(Eval("2,5*2"), 5.0);
    EXPECT_EQ(Eval("((1+2))*2"), 6.0);
    EXPECT_EQ(Eval("x#(-2)@+1", {{"x", "2"}}), 1.25);
    EXPECT_EQ(last.text, "");
}

TEST_F(EngineTest, EvaluationRunsInDouble) {
    // The documented results hold in double: quotients, powers and the 15 digits shown.
    EXPECT_EQ(Eval("1/3"), 1.0 / 3.0);
    EXPECT_EQ(Eval("(1/3)#1@"), 1.0 / 3.0);
    EXPECT_EQ(EvalText("pi*2"), "6.28318530717958");
    EXPECT_EQ(EvalText("0,1+0,2"), "0.3");
    EXPECT_EQ(EvalText("1/3*3"), "1");
}

TEST_F(EngineTest, TangentsNearTheirPolesNeedExtendedPrecision) {
    // pi is 3.14159265358979 in the table; 5*pi/2 and 2*pi miss the poles by a few units
    // in the 15th digit, and the digits of the value depend on every bit of that miss.
    // In double these would read 120485303083558 and -154746581404481.
    EXPECT_EQ(EvalText("tan(5*pi/2)"), "123518740586991");
    EXPECT_EQ(EvalText("cotan(2*pi)"), "-154394290459083");
    EXPECT_EQ(EvalText("ctan(2*pi)+0"), "-154394290459083");
    EXPECT_TRUE(last.ok());
}

TEST_F(EngineTest, DivisionAndPowerNearZero) {
    const std::string divisionByZero = Cp("Ошибка: Деление на нуль");
    EXPECT_EQ(Eval("1/0"), 1.0);
    EXPECT_EQ(last.code, EngineErrorCode::Arithmetic);
    EXPECT_EQ(last.text, divisionByZero);
    Eval("1/0,0000000001");
    EXPECT_EQ(last.text, divisionByZero);
    Eval("1/0,000000002");
    EXPECT_EQ(last.text, "");
    EXPECT_EQ(Eval("0#0"), 1.0);
    EXPECT_EQ(Eval("0#2"), 0.0);
    EXPECT_EQ(last.text, "");
    epsilon = 0.0001;
    Eval("1/0,00001");
    EXPECT_EQ(last.text, divisionByZero);
}

TEST_F(EngineTest, FunctionsAndZeroSnapping) {
    EXPECT_EQ(Eval("cos(0)"), 1.0);
    EXPECT_EQ(Eval("sin(pi)"), 0.0);
    EXPECT_EQ(Eval("ln(1)"), 0.0);
    EXPECT_TRUE(WithinUlps(Eval("log(1000)"), 3.0)); // log10 may miss 3 by one bit
    EXPECT_EQ(EvalText("log(1000)"), "3");
    EXPECT_EQ(Eval("exp(0)"), 1.0);
    EXPECT_EQ(Eval("abs(-2,5)"), 2.5);
    EXPECT_EQ(Eval("sqrt(16)"), 4.0);
    EXPECT_EQ(EvalText("atan(1)*4"), "3.14159265358979");
    EXPECT_EQ(EvalText("arctan(1)"), "0.785398163397448");
    EXPECT_EQ(EvalText("tan(1)"), "1.5574077246549");
    EXPECT_EQ(EvalText("cotan(1)"), "0.642092615934331");
    EXPECT_EQ(EvalText("ch(1)"), "1.54308063481524");
    EXPECT_EQ(EvalText("sh(1)"), "1.1752011936438");
    EXPECT_EQ(EvalText("th(1)"), "0.761594155955765");
    EXPECT_DOUBLE_EQ(static_cast<double>(Eval("cosh(1)")), std::cosh(1.0)); // cosh is in double
    EXPECT_EQ(EvalText("cos(x)#2@+sin(x)#2@", {{"x", "0.3"}}), "1");
    // Numbers are not snapped, function results are.
    EXPECT_EQ(Eval("0,0000000001"), 1e-10);
    EXPECT_EQ(Eval("abs(0,000000001)"), 0.0);
    EXPECT_EQ(Eval("abs(0,000000004)"), 4e-9);
    EXPECT_EQ(last.text, "");
}

TEST_F(EngineTest, DomainChecksReportTheirMessages) {
    const std::pair<const char*, const char*> cases[] = {
        {"ln(0)", "Ошибка: нуль в аргументе логарифма"},
        {"log(0,0000000001)", "Ошибка: нуль в аргументе логарифма"},
        {"cotan(0)", "Ошибка: ноль в аргументе котангенса"},
        {"cotan(pi)", "Ошибка: Pi в аргументе котангенса"},
        {"ctan(-pi)", "Ошибка: Pi в аргументе котангенса"},
        {"tan(pi/2)", "Ошибка: Pi/2 в аргументе тангенса"},
        {"tan(-pi/2)", "Ошибка: Pi/2 в аргументе тангенса"},
        {"tan(3*pi/2)", "Ошибка: 3*Pi/2 в аргументе тангенса"},
        {"1/0+ln(0)", "Ошибка: Деление на нуль"},
        {"ln(0)+zz", "Ошибка: нуль в аргументе логарифма"},
    };
    for (const auto& [formula, message] : cases) {
        EXPECT_EQ(Eval(formula), formula[0] == '1' ? 1.0 + 1.0 : 1.0) << formula;
        EXPECT_EQ(last.code, EngineErrorCode::Arithmetic) << formula;
        EXPECT_EQ(last.text, Cp(message)) << formula;
        EXPECT_EQ(last.missingName, "") << formula;
    }
    // Further multiples are not guarded.
    for (const char* formula : {"cotan(2*pi)", "tan(5*pi/2)", "ln(-1)+1"}) {
        Eval(formula);
        EXPECT_EQ(last.text, "") << formula;
    }
}

TEST_F(EngineTest, UnknownTextsAreMissingVariables) {
    for (const char* formula : {"2*-3", "2x", "y=cos(x)", "pI", "(())"}) {
        Eval(formula);
        EXPECT_EQ(last.code, EngineErrorCode::VariableTable) << formula;
        EXPECT_EQ(last.text, Cp("Ошибка: нет такой переменной:")) << formula;
    }
    Eval("2*-3");
    EXPECT_EQ(last.missingName, "2*");
    Eval("a+b*c", {{"b", "1"}});
    EXPECT_EQ(last.missingName, "a");
}

TEST_F(EngineTest, UpIsTheAtomicFunction) {
    EXPECT_EQ(UpFunction(0), 1.0);
    EXPECT_EQ(UpFunction(0.5), 0.5);
    EXPECT_EQ(UpFunction(-0.5), 0.5);
    EXPECT_NEAR(UpFunction(0.75), 5.0 / 72, 1e-15);
    EXPECT_NEAR(UpFunction(0.25), 67.0 / 72, 1e-15);
    EXPECT_EQ(UpFunction(1), 0.0);
    EXPECT_EQ(UpFunction(-1), 0.0);
    EXPECT_EQ(UpFunction(2), 0.0);
    for (double x = 0.01; x < 1; x += 0.037) {
        EXPECT_NEAR(UpFunction(x) + UpFunction(x - 1), 1.0, 1e-14) << x;
        EXPECT_NEAR(UpFunction(x), UpFunction(-x), 1e-15) << x;
    }
    EXPECT_EQ(EvalText("up(t-1)*g", {{"t", "1.25"}}),
              platform::FloatToStr(UpFunction(0.25) * 9.81));
    EXPECT_EQ(Eval("up(0.99999999999)"), 0.0); // snapped
}

TEST_F(EngineTest, RepeatedEvaluationsGiveTheSameValuesAndMessages) {
    Expression expression;
    expression.SetFormula("zz+ln(x)+1/y");
    expression.SetVariable("x", "0");
    expression.SetVariable("y", "0");
    for (int i = 0; i < 2; ++i) {
        Keep(expression.Evaluate(epsilon));
        EXPECT_EQ(last.text, Cp("Ошибка: нет такой переменной:"));
        EXPECT_EQ(last.missingName, "zz");
    }
    expression.SetVariable("zz", "0");
    for (int i = 0; i < 2; ++i) {
        Keep(expression.Evaluate(epsilon));
        EXPECT_EQ(last.text, Cp("Ошибка: нуль в аргументе логарифма"));
        EXPECT_EQ(last.missingName, "");
    }
    expression.SetVariable("x", "0,000001");
    expression.SetVariable("y", "2");
    const double expected = std::log(*TextToNumber("0.000001")) + 0.5;
    EXPECT_TRUE(WithinUlps(Keep(expression.Evaluate(epsilon)), expected));
    EXPECT_EQ(last.text, "");
    // The same argument under a wider epsilon fails the domain check.
    epsilon = 0.0001;
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 1.5);
    EXPECT_EQ(last.text, Cp("Ошибка: нуль в аргументе логарифма"));
    epsilon = 1e-9;
    EXPECT_TRUE(WithinUlps(Keep(expression.Evaluate(epsilon)), expected));
    EXPECT_EQ(last.text, "");
}

TEST_F(EngineTest, SquaresEqualThePowerInDouble) {
    Expression expression;
    expression.SetFormula("a#2");
    for (const char* a : {"3", "1.5", "-7", "0.1", "1.25", "16777217", "123456.789", "1,1",
                          "100000000000000000000000000000000000000000", "0,00001"}) {
        expression.SetVariable("a", a);
        const double base = static_cast<double>(*TextToNumber(a));
        // The square step is one multiplication; pow may round its last bit otherwise.
        EXPECT_DOUBLE_EQ(static_cast<double>(Keep(expression.Evaluate(epsilon))),
                         std::pow(base, 2.0))
            << a;
    }
}
