// What keeps an answer from being read, where, and what the student is told.

#include "answers/Read.h"

#include <gtest/gtest.h>

using namespace answers;
using Code = Problem::Code;

namespace {

const std::vector<std::string> kNames = {"m", "v!C", "x", "~w", "R", "a", "b"};

} // namespace

TEST(ProblemTest, AnUnreadableAnswerSaysWhatIsWrongAndAtWhichCharacter) {
    struct Case {
        std::string text;
        Code code;
        std::size_t position;
    };
    const Case cases[] = {
        {"", Code::Empty, 0},
        {"  #@ ", Code::Empty, 0},
        {"(1+2", Code::MissingClose, 0},
        {"2*(a+(b)", Code::MissingClose, 2},
        {"1+2)", Code::MissingOpen, 3},
        {"()", Code::EmptyBrackets, 1},
        {"sqrt()", Code::EmptyBrackets, 5},
        {"2+", Code::MissingOperand, 2},
        {"*2", Code::MissingOperand, 0},
        {"2**3", Code::MissingOperand, 2},
        {"(2+)", Code::MissingOperand, 3},
        {"m(a+b)", Code::MissingOperator, 1}, // a name before a bracket is no product
        {"(a+b)2", Code::MissingOperator, 5}, // nor a bracket before a number
        {"2 3", Code::MissingOperator, 2},
        {"x#2@a", Code::MissingOperator, 4},
        {"1,2,3", Code::BadNumber, 3},
        {"2.", Code::BadNumber, 1},
        {"2$", Code::BadCharacter, 1},
        {"a=b", Code::BadCharacter, 1},
        {"~", Code::BadGreek, 0},
        {"2~1", Code::BadGreek, 1},
        {"2!3", Code::IndexWithoutName, 1},
        {"v_", Code::IndexWithoutName, 1},
        {"sin x", Code::FunctionBracket, 0},
        {"2*sqrt", Code::FunctionBracket, 2},
    };
    for (const Case& c : cases) {
        const ReadResult read = Read(c.text, kNames);
        ASSERT_TRUE(read.problem) << c.text;
        EXPECT_FALSE(read.formula) << c.text;
        EXPECT_TRUE(IsUnreadable(*read.problem)) << c.text;
        EXPECT_EQ(read.problem->code, c.code) << c.text;
        EXPECT_EQ(read.problem->position, c.position) << c.text;
    }
    EXPECT_EQ(Describe(*Read("(1+2", kNames).problem, TextStyle::Unicode),
              "не хватает закрывающей скобки (знак 1)");
    EXPECT_EQ(Describe(*Read("", kNames).problem, TextStyle::Unicode), "нет ответа");
    EXPECT_EQ(Describe(*Read("(2+)", kNames).problem, TextStyle::Unicode),
              "не хватает числа или обозначения (знак 4)");
}

TEST(ProblemTest, ALetterRunThatIsNoKnownNameIsNeverGuessed) {
    const std::pair<const char*, const char*> cases[] = {
        {"mg", "mg: нет такого обозначения; возможно, m*g?"},
        {"2mv_C", "mv_C: нет такого обозначения; возможно, m*v_C?"},
        {"~wR", "ωR: нет такого обозначения; возможно, ω*R?"},
        {"x2", "x2: нет такого обозначения; возможно, x*2?"},
        {"mmx+1", "mmx: нет такого обозначения; возможно, m*m*x?"},
        {"k*m", "k: нет такого обозначения"},
        {"sinx", "sinx: нет такого обозначения"},
        {"M", "M: нет такого обозначения"}, // names keep their case
        {"v_D", "v_D: нет такого обозначения"},
        {"vC", "vC: нет такого обозначения; возможно, v_C?"}, // the "_" left out
        {"2vC", "vC: нет такого обозначения; возможно, v_C?"},
    };
    for (const auto& [text, message] : cases) {
        const ReadResult read = Read(text, kNames);
        ASSERT_TRUE(read.problem) << text;
        EXPECT_FALSE(IsUnreadable(*read.problem)) << text;
        EXPECT_EQ(Describe(*read.problem, TextStyle::Unicode), message) << text;
        // The answer still has a reading: it may be sent, and is shown as read.
        EXPECT_TRUE(read.formula) << text;
        EXPECT_FALSE(read.Accepted()) << text;
    }
    // A syntax problem after an unknown name is the one told: it stops sending.
    EXPECT_EQ(Read("mg+(", kNames).problem->code, Code::MissingOperand);
    // A declared name of several letters is one name.
    EXPECT_TRUE(Read("mg", {"mg"}).Accepted());
    EXPECT_EQ(ReadingText(*Read("2mg", {"mg", "m", "g"}).formula), "2·mg");
}

TEST(ProblemTest, ReadingIsBoundedAndEndsOnAnyInput) {
    EXPECT_EQ(Read(std::string(MaxAnswerBytes + 1, '1'), kNames).problem->code, Code::TooLong);
    EXPECT_TRUE(Read(std::string(MaxAnswerBytes, '1'), kNames).Accepted());
    const std::string deep = std::string(200, '(') + "1" + std::string(200, ')');
    EXPECT_EQ(Read(deep, kNames).problem->code, Code::TooDeep);
    EXPECT_EQ(Read(std::string(500, '-') + "1", kNames).problem->code, Code::TooDeep);
    const std::string exponents = [] {
        std::string text = "x";
        for (int k = 0; k < 300; ++k)
            text += "^(x";
        return text + std::string(300, ')');
    }();
    EXPECT_EQ(Read(exponents, kNames).problem->code, Code::TooDeep);
    // Powers chain from the right, so a long chain of them is deep.
    std::string powers = "x";
    for (int k = 0; k < 600; ++k)
        powers += k % 2 == 0 ? "^x" : "#x@";
    EXPECT_EQ(Read(powers, kNames).problem->code, Code::TooDeep);
    // A long flat chain is not deep.
    std::string chain = "x";
    for (int k = 0; k < 600; ++k)
        chain += "+x";
    EXPECT_TRUE(Read(chain, kNames).Accepted());
    // Every byte value on its own ends with a reading or a problem.
    for (int c = 0; c < 256; ++c) {
        const ReadResult read = Read(std::string(1, static_cast<char>(c)) + "x", kNames);
        EXPECT_TRUE(read.formula || read.problem) << c;
    }
}
