// What the calculator makes of a formula: the value text that replaces it, or the
// engine's message with the missing variable.

#include "calculator/Calculation.h"
#include "engine/Engine.h"
#include "platform/Convert.h"
#include "platform/Cp1251.h"

#include <gtest/gtest.h>

namespace {

class CalculationTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetDecimalChar('.'); }
    void TearDown() override { platform::SetDecimalChar('.'); }

    Expression packet;
};

struct Case {
    const char* formula;
    const char* result;  // "" when there is no value
    const char* message; // UTF-8
    const char* missing;
};

TEST_F(CalculationTest, ValuesAndMessages) {
    const Case cases[] = {
        {"2+3", "5", "", ""},
        {"cos(0)", "1", "", ""},
        {"~p", "3.14159265358979", "", ""},
        {"1/3", "0.333333333333333", "", ""},
        {"1/0", "", "Ошибка: Деление на нуль", ""},
        {"x+1", "", "Ошибка: нет такой переменной:", "x"},
        {"(1+2", "", "Ошибка: нехватает закрывающей скобки", ""},
        // A result in exponent form is read back, and "^" is a power read from the right.
        {"1E-8", "1E-8", "", ""},
        {"3.33333333333333E-7*3", "9.99999999999999E-7", "", ""},
        {"1.6e+2/2", "80", "", ""},
        {"2^2^3", "256", "", ""},
        {"2^-1+1", "1.5", "", ""},
        {"2#3@+1", "9", "", ""},
        {"y^2", "", "Ошибка: нет такой переменной:", "y"},
        // An angle in degrees, with its sign or "deg", goes in radians.
        {"sin(30\xB0)", "0.5", "", ""},
        {"2*cos(60 deg)", "1", "", ""},
        {"180\xB0", "3.14159265358979", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        const calculator::Calculation outcome = calculator::Calculate(packet, c.formula);
        EXPECT_EQ(outcome.shown, *c.result != '\0');
        EXPECT_EQ(outcome.resultText, c.result);
        EXPECT_EQ(outcome.errorText, platform::Utf8ToCp1251(c.message));
        EXPECT_EQ(outcome.missingName, c.missing);
    }
}

TEST_F(CalculationTest, EmptyFormulaGivesThePreviousValueAgain) {
    EXPECT_EQ(calculator::Calculate(packet, "").resultText, "0");
    calculator::Calculate(packet, "2*21");
    EXPECT_EQ(calculator::Calculate(packet, "").resultText, "42");
}

TEST_F(CalculationTest, ValueUsesTheSystemSeparator) {
    platform::SetDecimalChar(',');
    EXPECT_EQ(calculator::Calculate(packet, "1/4").resultText, "0,25");
    // What it prints, it reads again.
    const calculator::Calculation third = calculator::Calculate(packet, "1/3000000");
    EXPECT_EQ(third.resultText, "3,33333333333333E-7");
    EXPECT_EQ(calculator::Calculate(packet, third.resultText).resultText, third.resultText);
}

TEST_F(CalculationTest, ErrorWhileReadingTheFormulaComesBackWithItsMessage) {
    const calculator::Calculation outcome = calculator::Calculate(packet, "2*/3");
    EXPECT_FALSE(outcome.shown);
    EXPECT_EQ(outcome.errorText, platform::Utf8ToCp1251("Ошибка: пустой операнд в формуле"));
    EXPECT_EQ(outcome.missingName, "");
}

// Brackets nested too deep are refused while reading; a malformed number is found only
// while evaluating and is reported as a failed evaluation, whatever came before it.
TEST_F(CalculationTest, UnreadableTextWhileReadingOrEvaluating) {
    std::string deep = "1";
    for (int i = 0; i < 257; ++i)
        deep = "(" + deep + ")";
    const calculator::Calculation nested = calculator::Calculate(packet, deep);
    EXPECT_FALSE(nested.shown);
    EXPECT_EQ(nested.errorText,
              platform::Utf8ToCp1251(
                  "Ошибка: слишком глубокая вложенность скобок в формуле (более 256)"));
    for (const char* formula : {"1.2.3*2", "1/0+1.2.3"}) {
        const calculator::Calculation outcome = calculator::Calculate(packet, formula);
        EXPECT_FALSE(outcome.shown) << formula;
        EXPECT_EQ(outcome.errorText, platform::Utf8ToCp1251("Переполнение буфера...")) << formula;
        EXPECT_EQ(outcome.missingName, "") << formula;
    }
    EXPECT_EQ(calculator::Calculate(packet, "2+2").resultText, "4");
}

TEST(CalculatorBack, RemovesOneByteEvenOfAGreekLetter) {
    EXPECT_EQ(calculator::WithoutLastCharacter("2*~p"), "2*~");
    EXPECT_EQ(calculator::WithoutLastCharacter("x#2@"), "x#2");
    EXPECT_EQ(calculator::WithoutLastCharacter(""), "");
}

} // namespace
