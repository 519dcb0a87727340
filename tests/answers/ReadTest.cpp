// What an answer reads as, from the answer rows' notation and from natural typing, and
// the value it has.

#include "answers/Read.h"
#include "answers/Evaluate.h"
#include "answers/NotationText.h"
#include "answers/Quantity.h"
#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace answers;
using platform::Cp1251ToUtf8;
using platform::Utf8ToCp1251;

namespace {

const std::vector<std::string> kNames = {"v!C", "F", "l",  "a",    "b",  "x",  "m",
                                         "q",   "R", "~w", "a!~t", "~W", "~f", "~j"};

// The reading of a text that must be readable with the names above.
std::string Reading(const std::string& text, TextStyle style = TextStyle::Unicode) {
    const ReadResult read = Read(Utf8ToCp1251(text), kNames);
    EXPECT_TRUE(read.Accepted()) << text << ": "
                                 << (read.problem ? Describe(*read.problem, TextStyle::Unicode)
                                                  : std::string());
    return read.formula ? ReadingText(*read.formula, style) : std::string();
}

// The value of a readable text at v_C = 3, x = 2, ω = 0.5 and every other name 1.
Value ValueOf(const std::string& text) {
    const ReadResult read = Read(text, kNames);
    EXPECT_TRUE(read.formula) << text;
    if (!read.formula)
        return {0, "unreadable"};
    std::vector<double> values;
    for (const std::string& key : read.formula->names)
        values.push_back(key == "v!C"          ? 3
                         : key == "x"          ? 2
                         : key == "~w"         ? 0.5
                         : IsConstantName(key) ? ConstantValue(key)
                                               : 1);
    return Evaluate(*read.formula, values);
}

} // namespace

TEST(ReadTest, TheNotationOfTheAnswerRowsReadsAsTheStudentSawIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"2v!C", "2·v_C"},
        {"2*v!C@", "2·v_C"},
        {"x#2a@", "x^(2·a)"},
        {"x#2@+1", "x^2+1"},
        {"x#2", "x^2"},          // a superscript left open ends with the text
        {"x#(a+b)@", "x^(a+b)"}, // the student's own brackets stay
        {"x#-1@", "x^(-1)"},
        {"x#@", "x"}, // an empty superscript raises nothing
        {"q*l#2@/2+F*l", "q·l^2/2+F·l"},
        {"~w", "ω"},
        {"a!~t*~w", "a_τ·ω"},
        {"~p*R", "π·R"},
        {"  R  *  x ", "R·x"},
    };
    for (const auto& [text, reading] : cases)
        EXPECT_EQ(Reading(text), reading) << text;
}

TEST(ReadTest, NaturalTypingReadsWithEveryProductShown) {
    const std::pair<const char*, const char*> cases[] = {
        {"2v_C", "2·v_C"},
        {"v_C*2^0.5", "v_C·2^0.5"},
        {"x^(2a)", "x^(2·a)"},
        {"x^-1", "x^(-1)"},
        {"x^2a", "x^2·a"},
        {"0,75*F*l", "0,75·F·l"}, // a decimal comma stays a comma
        {"0.75·F·l", "0.75·F·l"},
        {"2(a+b)", "2·(a+b)"},
        {"(a+b)(a-b)", "(a+b)·(a-b)"},
        {"(a+b)x", "(a+b)·x"},
        {"2sin(x)", "2·sin(x)"},
        {"SQRT(2)v_C", "SQRT(2)·v_C"},
        {"2*-3", "2·(-3)"},
        {"-x^2", "-x^2"},
        {"a--b", "a-(-b)"},
        {"+a", "a"},
        {"2^3^2", "2^(3^2)"}, // powers chain from the right, and the reading says so
        {"2#2@#3@", "2^(2^3)"},
        {"x^-2^2", "x^(-2^2)"},
        {"(x^2)^3", "(x^2)^3"},
        {"1,6E-19", "1,6·10^(-19)"}, // a number with its power of ten
        {"5e0", "5·10^0"},
        {"3.33333333333333E-7", "3,33333333333333·10^(-7)"},
        {"2e+05x", "2·10^5·x"},
        {"q/1.6e-19", "q/(1,6·10^(-19))"},
        {"2exp(x)", "2·exp(x)"},
        {"log(x)+LOG(x)+lg(x)", "lg(x)+lg(x)+lg(x)"}, // base 10, said so
        {".5x", ".5·x"},
        {"pi*g*PI*Pi", "pi·g·PI·Pi"},
        {"sin(30°)", "sin(30°)"}, // an angle in degrees
        {"2cos(60 deg)", "2·cos(60°)"},
        {"1,5deg*x", "1,5°·x"},
        {"90 °-x", "90°-x"},
    };
    for (const auto& [text, reading] : cases)
        EXPECT_EQ(Reading(text), reading) << text;
}

TEST(ReadTest, AMessageWritesGreekLettersByTheirRussianNames) {
    EXPECT_EQ(Cp1251ToUtf8(Reading("~w*R", TextStyle::Cp1251Words)), "омега·R");
    EXPECT_EQ(Cp1251ToUtf8(Reading("a!~t+~W+~f+~j", TextStyle::Cp1251Words)),
              "a_тау+Омега+фи+тета");
    EXPECT_EQ(Cp1251ToUtf8(NameText("~D!~j", TextStyle::Cp1251Words)), "Дельта_тета");
    EXPECT_EQ(NameText("~f"), "φ");
    EXPECT_EQ(NameText("~j"), "θ");
    // Cyrillic names pass through both styles.
    const std::string cyrillic = Utf8ToCp1251("Сила");
    const ReadResult read = Read("2" + cyrillic, {cyrillic});
    ASSERT_TRUE(read.Accepted());
    EXPECT_EQ(ReadingText(*read.formula), "2·Сила");
    EXPECT_EQ(ReadingText(*read.formula, TextStyle::Cp1251Words), "2\xB7" + cyrillic);
}

TEST(ReadTest, NamesAreTheSameWhicheverWayTheSubscriptIsWritten) {
    EXPECT_EQ(NameKey("v!C"), "v!C");
    EXPECT_EQ(NameKey("v!C@"), "v!C");
    EXPECT_EQ(NameKey("v_C"), "v!C");
    EXPECT_EQ(NameKey(" ~w "), "~w");
    EXPECT_EQ(NameKey("a!~t"), "a!~t");
    EXPECT_EQ(NameKey("2x"), std::nullopt);
    EXPECT_EQ(NameKey("a+b"), std::nullopt);
    EXPECT_EQ(NameKey(""), std::nullopt);
    // A declared name in either form admits both.
    EXPECT_TRUE(Read("v_C+v!C", {"v!C"}).Accepted());
    EXPECT_TRUE(Read("v_C+v!C", {"v_C"}).Accepted());
    // The names of earlier rows are readable; a formula lists each name once.
    const ReadResult read = Read("2*X!A+X_A*Y!A", {}, {"X!A", "Y!A"});
    ASSERT_TRUE(read.Accepted());
    EXPECT_EQ(read.formula->names, (std::vector<std::string>{"X!A", "Y!A"}));
    // A known name E (or e) wins over the power of ten; the other letter stays a power.
    EXPECT_EQ(ReadingText(*Read("2E-3+2e-3", {"E"}).formula), "2·E-3+2·10^(-3)");
    EXPECT_EQ(ReadingText(*Read("2E-3", {}, {"E"}).formula), "2·E-3");
    EXPECT_EQ(ReadingText(*Read("2e", {"e"}).formula), "2·e");
    EXPECT_EQ(ReadingText(*Read("2E1", {"E1"}).formula), "2·E1");
    EXPECT_EQ(ReadingText(*Read("2E1", {"E!1"}).formula), "2·10^1");
}

TEST(ReadTest, ValuesFollowTheEnginesRules) {
    const std::pair<const char*, double> cases[] = {
        {"2+3*4", 14},
        {"2-3-4", -5},
        {"2/4/2", 0.25},
        {"2^3^2", 512},
        {"2#3@#2@", 512},
        {"2v!C", 6},
        {"2(x+1)", 6},
        {"(x+1)(x-1)", 3},
        {"1.6E-19*10^19", 1.6},
        {"log(1000)-lg(100)", 1},
        {"exp(-25)*exp(25)", 1},
        {"1/(1e-10)*1e-10", 1},
        {"0,5x", 1},
        {"-x^2", -4},
        {"x^-1", 0.5},
        {"COS(0)", 1},
        {"sin(pi)", 0},
        {"0^0", 1},
        {"up(0.5)", 0.5},
        {"sqrt(x)^2", 2},
        {"2*~w", 1},
        {"ch(0)+th(0)", 1},
        {"ctan(pi/4)", 1},
        {"arctan(1)*4", 3.141592653589793},
        {"sin(30\xB0)", 0.5},
        {"cos(60deg)", 0.5},
        {"180 \xB0", 3.141592653589793},
        {"2*90 deg", 3.141592653589793},
        {"-45\xB0*4", -3.141592653589793},
    };
    for (const auto& [text, expected] : cases) {
        const Value value = ValueOf(text);
        EXPECT_EQ(value.error, nullptr) << text;
        EXPECT_NEAR(value.value, expected, 1e-12) << text;
    }
    const std::pair<const char*, const char*> failures[] = {
        {"1/0", "деление на нуль"},
        {"1/(x-x)", "деление на нуль"},
        {"ln(x-x)", "нуль в аргументе логарифма"},
        {"cotan(0)", "ноль в аргументе котангенса"},
        {"tan(pi/2)", "Pi/2 в аргументе тангенса"},
        {"sqrt(-x)", "отрицательное число в аргументе корня"},
        {"ln(-x)", "отрицательное число в аргументе логарифма"},
        {"1/(0.1*3-0.3)", "деление на нуль"},
        {"lg(cos(pi/2))", "нуль в аргументе логарифма"},
        {"1e400", "значение не является конечным числом"},
        {"exp(-800)", "значение слишком мало для вычисления"}, // its digits are lost
        {"0.5^2000", "значение слишком мало для вычисления"},
        {"1e-200*1e-200", "значение слишком мало для вычисления"},
        {"10^400", "значение не является конечным числом"},
        {"1/0+ln(0)", "деление на нуль"}, // the first error stays
    };
    for (const auto& [text, error] : failures) {
        const Value value = ValueOf(text);
        ASSERT_NE(value.error, nullptr) << text;
        EXPECT_STREQ(value.error, error) << text;
    }
}

namespace {

// A random answer as a student might type it, in both notations; not always readable.
std::string RandomAnswer(std::mt19937& random, int depth) {
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    static const char* const operands[] = {"2",  "0,5", "3.25", "10", "v_C",  "v!C@", "F",
                                           "l",  "a",   "x",    "~w", "a!~t", "a_~t", "pi",
                                           "~p", "g",   "m",    "R",  "q",    "~W",   "Z"};
    static const char* const functions[] = {"sin", "cos", "sqrt", "exp", "ln", "log", "abs"};
    static const char* const operators[] = {"+", "-", "*", "/", "\xB7", ""};
    if (depth <= 0 || pick(4) == 0)
        return operands[pick(std::size(operands))];
    const auto inner = [&] { return RandomAnswer(random, depth - 1); };
    switch (pick(7)) {
    case 0:
    case 1:
        return inner() + operators[pick(std::size(operators))] + inner();
    case 2:
        return "(" + inner() + ")";
    case 3:
        return std::string(functions[pick(std::size(functions))]) + "(" + inner() + ")";
    case 4: {
        const std::size_t form = pick(3);
        const std::string exponent = form == 0   ? operands[pick(std::size(operands))]
                                     : form == 1 ? "-" + std::string(operands[pick(3)])
                                                 : "(" + inner() + ")";
        return operands[pick(std::size(operands))] + std::string("^") + exponent;
    }
    case 5:
        return std::string(operands[pick(std::size(operands))]) + "#" + inner() + "@";
    default:
        return "-" + inner();
    }
}

bool SameValue(const Value& a, const Value& b) {
    if (a.error != nullptr || b.error != nullptr)
        return a.error != nullptr && b.error != nullptr && std::string(a.error) == b.error;
    return a.value == b.value || (std::isnan(a.value) && std::isnan(b.value));
}

} // namespace

// What the answer rows send is the reading written back in the notation: read again with
// the same names it reads the same and has the same value; an earlier row's name written as
// that row's text reads as that text in brackets.
TEST(ReadTest, AReadingWrittenBackInTheNotationReadsTheSame) {
    std::vector<std::string> texts = {
        "2v!C",         "x#2a@",        "x#2@+1",       "x#2",
        "x#(a+l)@",     "x#-1@",        "q*l#2@/2+F*l", "a!~t*~w",
        "~p*R",         "  R  *  x ",   "v_C*2^0.5",    "x^(2a)",
        "x^-1",         "x^2a",         "0,75*F*l",     "2(a+b)",
        "(a+x)(a-x)",   "(a+l)x",       "2sin(x)",      "2^2^3",
        "2#2@#3@",      "2#3@#2@",      "-x^2",         "a-(l-x)",
        "sin(30\xB0)",  "2cos(60deg)",  "a/(l*x)",      "a/l/x",
        "-(-a)",        "a*-l",         "x#v!C@",       "x^v_C",
        "x#a#2@@",      "x#2#3@",       "(x#2@)#3@",    "sqrt(a#2@-a!~t#2@)",
        "x^(v_C+a_~t)", "COS(x)^2",     "2-3-4",        "a-l+x",
        "-a-l",         "1,6e-19*q",    "x/1e3",        "1e3^2",
        "2^-1,5E+2",    "lg(x)+log(x)", "2^(2^3)",      "(2^2)^3",
        "x^2^a!~t",
    };
    std::mt19937 random(28);
    for (int k = 0; k < 1000; ++k)
        texts.push_back(RandomAnswer(random, 4));
    const std::vector<std::string> declared = {"v!C", "F", "l",  "a",    "x", "m",
                                               "q",   "R", "~w", "a!~t", "~W"};
    int checked = 0, substituted = 0;
    for (const std::string& text : texts) {
        const ReadResult read = Read(text, declared, {"Z"});
        if (!read.Accepted())
            continue;
        ++checked;
        const std::string reading = ReadingText(*read.formula);
        const bool holdsZ = reading.find('Z') != std::string::npos;
        if (!holdsZ) {
            const std::string written = NotationText(*read.formula);
            const ReadResult again = Read(written, declared);
            ASSERT_TRUE(again.Accepted()) << text << " -> " << written;
            EXPECT_EQ(ReadingText(*again.formula), reading) << text << " -> " << written;
            EXPECT_TRUE(SameValue(ValueOf(written), ValueOf(text))) << text << " -> " << written;
            continue;
        }
        // Z, an earlier row, holds one of the readable answers above.
        std::size_t pick = static_cast<std::size_t>(checked) % 39;
        while (!Read(texts[pick], declared).Accepted())
            ++pick;
        const ReadResult earlierRead = Read(texts[pick], declared);
        const std::string earlierText = NotationText(*earlierRead.formula);
        const std::string written = NotationText(*read.formula, {{"Z", earlierText}});
        const ReadResult again = Read(written, declared);
        ASSERT_TRUE(again.Accepted()) << text << " -> " << written;
        std::string expected = reading;
        const std::string inBrackets = "(" + ReadingText(*earlierRead.formula) + ")";
        for (std::size_t at = expected.find('Z'); at != std::string::npos;
             at = expected.find('Z', at + inBrackets.size()))
            expected.replace(at, 1, inBrackets);
        EXPECT_EQ(ReadingText(*again.formula), expected) << text << " -> " << written;
        ++substituted;
    }
    EXPECT_GT(checked, 400) << substituted;
    EXPECT_GT(substituted, 50);
}

TEST(ReadTest, AQuantityReadsWithItsUnitAndItsSIValue) {
    struct Case {
        const char* text;
        const char* rowUnit; // "" for a row without one
        const char* line;
    };
    const Case cases[] = {
        {"-5 кН", "кН", "-5 кН = -5000 Н"},
        {"-5", "кН", "-5 кН = -5000 Н"}, // a bare number in the row's unit
        {"-5кН", "Н", "-5 кН = -5000 Н"},
        {"5 Н", "кН", "5 Н"},
        {"36 км/ч", "м/с", "36 км/ч = 10 м/с"},
        {"30°", "рад", "30° = 0,523599 рад"},
        {"2x кН", "кН", "2·x кН"}, // a formula shows no SI value
        {"5m", "кг", "5·m кг"},    // a declared name is no unit
        {"0,002 МН", "Н", "0,002 МН = 2000 Н"},
        {"1,5E-7 м", "м", "1,5·10^(-7) м"},
        {"15 мм", "м", "15 мм = 0,015 м"},
    };
    for (const Case& c : cases) {
        const std::optional<UnitRead> row = ReadUnit(Utf8ToCp1251(c.rowUnit));
        const QuantityRead read = ReadAnswerQuantity(Utf8ToCp1251(c.text), {kNames, {}});
        EXPECT_EQ(QuantityReadingText(read, row && row->unit ? &*row->unit : nullptr), c.line)
            << c.text;
    }
    // Units as symbols, products, quotients and powers; anything else is no unit.
    for (const char* unit : {"кН·м", "м/с^2", "рад/с^2", "кН/м", "об/мин", "kN*m", "Hz", "rpm"})
        EXPECT_TRUE(ReadUnit(Utf8ToCp1251(unit)) && ReadUnit(Utf8ToCp1251(unit))->unit) << unit;
    for (const char* shapeless : {"", "м/", "2 м", "м^", "м+с", "*м"})
        EXPECT_FALSE(ReadUnit(Utf8ToCp1251(shapeless))) << shapeless;
    EXPECT_EQ(ShortNumber(1.5e-7), "1,5E-7");
    EXPECT_EQ(ShortNumber(-5000), "-5000");
    EXPECT_EQ(ShortNumber(2.5e12), "2,5E12");
}
