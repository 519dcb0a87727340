#include "EngineTestSupport.h"

#include <cmath>
#include <vector>

namespace {

std::vector<std::string> NamesOf(const VariableTable& table) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < table.Count(); ++i)
        names.push_back(table.NameAt(i));
    return names;
}

const std::vector<std::string> kConstants = {"pi", "Pi", "PI", "~p", "g"};

} // namespace

TEST_F(EngineTest, NewTableHoldsTheConstantsAsFifteenDigitTexts) {
    VariableTable table;
    EXPECT_EQ(NamesOf(table), kConstants);
    EXPECT_EQ(table.ValueAt(0), "3.14159265358979");
    EXPECT_EQ(table.ValueAt(4), "9.81");
    EXPECT_EQ(Keep(table.GetValue("pi")), static_cast<double>(*TextToNumber("3.14159265358979")));
    EXPECT_EQ(Keep(table.GetValue("~p")), Keep(table.GetValue("PI")));
    EXPECT_EQ(platform::FloatToStr(Keep(table.GetValue("g"))), "9.81");
    EXPECT_EQ(last.text, "");
}

TEST_F(EngineTest, ConstantsFollowTheSystemSeparator) {
    platform::SetDecimalChar(',');
    VariableTable table;
    EXPECT_EQ(table.ValueAt(0), "3,14159265358979");
    EXPECT_EQ(Keep(table.GetValue("pi")), static_cast<double>(*TextToNumber("3.14159265358979")));
}

TEST_F(EngineTest, StoringReplacesAndMovesTheEntryToTheEnd) {
    VariableTable table;
    table.SetValue("x", "2");
    table.SetValue("y", "5");
    table.SetValue("x", "3");
    EXPECT_EQ(table.Count(), 7u);
    EXPECT_EQ(table.NameAt(5), "y");
    EXPECT_EQ(table.NameAt(6), "x");
    EXPECT_EQ(table.ValueAt(6), "3");
    EXPECT_EQ(Keep(table.GetValue("x")), 3.0);
    table.RemoveValue("y");
    table.RemoveValue("nothing");
    EXPECT_EQ(table.Count(), 6u);
    EXPECT_EQ(last.text, "");
}

TEST_F(EngineTest, NamesAreNormalised) {
    VariableTable table;
    table.SetValue("x@=", "4");
    EXPECT_EQ(table.NameAt(5), "x");
    EXPECT_EQ(Keep(table.GetValue("x =")), 4.0);
    EXPECT_EQ(Keep(table.GetValue(" x")), 4.0);
    EXPECT_EQ(VariableTable::TableForm("v!1@=").text, "v!1");
    EXPECT_EQ(VariableTable::TableForm("w#2@==").text, "w#2");
    EXPECT_EQ(VariableTable::TableForm("a = b").text, "ab");
    EXPECT_EQ(last.text, "");
}

TEST_F(EngineTest, NamesAreCaseSensitiveAndMissingOnesReported) {
    VariableTable table;
    EXPECT_EQ(Keep(table.GetValue("pI")), 0.0);
    EXPECT_EQ(last.code, EngineErrorCode::VariableTable);
    EXPECT_EQ(last.text, Cp("Ошибка: нет такой переменной:"));
    EXPECT_EQ(last.missingName, "pI");
    // Each lookup reports its own error.
    EXPECT_EQ(Keep(table.GetValue("other")), 0.0);
    EXPECT_EQ(last.missingName, "other");
    EXPECT_EQ(last.Message(), Cp("Ошибка: нет такой переменной: other"));
}

TEST_F(EngineTest, EmptyNamesChangeNothingAndReportOnce) {
    const std::string emptyName = Cp("Ошибка: пустой параметр при обращении к таблице");
    VariableTable table;
    last = table.SetValue("=", "1");
    EXPECT_EQ(table.Count(), 5u);
    EXPECT_EQ(last.code, EngineErrorCode::VariableTable);
    EXPECT_EQ(last.text, emptyName);
    last = {};
    last = table.RemoveValue("");
    EXPECT_EQ(last.text, emptyName);
    last = {};
    EXPECT_EQ(Keep(table.GetValue("")), 0.0);
    EXPECT_EQ(last.text, emptyName);
    // A name with unbalanced brackets is empty too; its bracket message wins.
    last = {};
    last = table.SetValue("x(", "1");
    EXPECT_EQ(table.Count(), 5u);
    EXPECT_EQ(last.code, EngineErrorCode::Brackets);
    EXPECT_EQ(last.text, Cp("Ошибка: нехватает закрывающей скобки"));
}

TEST_F(EngineTest, ValueTextsThatAreNotNumbersReadAsZero) {
    VariableTable table;
    table.SetValue("s", "\"text\"");
    table.SetValue("c", "2,5");
    table.SetValue("bad", "1.2.3");
    EXPECT_EQ(Keep(table.GetValue("s")), 0.0);
    EXPECT_EQ(Keep(table.GetValue("c")), 2.5);
    EXPECT_EQ(last.text, "");
    for (int i = 0; i < 2; ++i) // the error comes again on every lookup
        EXPECT_EQ(UnreadableText(table.GetValue("bad").error),
                  "'1.2.3' is not a valid floating point value");
}

TEST_F(EngineTest, ResetAndAssignRestoreWholeTables) {
    VariableTable table;
    table.SetValue("x", "1");
    table.SetValue("pi", "3");
    table.ResetTable();
    EXPECT_EQ(NamesOf(table), kConstants);
    EXPECT_EQ(table.ValueAt(0), "3.14159265358979");

    VariableTable copy;
    copy.SetValue("t", "7");
    table.AssignTable(&copy);
    copy.SetValue("t", "8");
    EXPECT_EQ(Keep(table.GetValue("t")), 7.0);
    table.AssignTable(nullptr);
    EXPECT_EQ(table.Count(), 6u);
    EXPECT_EQ(Keep(table.GetValue("t")), 7.0);
}

TEST_F(EngineTest, NumbersStoredAsNumbersStayExactAndShowFifteenDigits) {
    VariableTable table;
    EXPECT_TRUE(table.SetNumber("x", 0.1 + 0.2).ok());
    EXPECT_EQ(Keep(table.GetValue("x")), 0.1 + 0.2);
    EXPECT_EQ(table.NameAt(5), "x");
    EXPECT_EQ(table.ValueAt(5), "0.3");
    // Storing moves the entry to the end, by number as by text.
    table.SetValue("y", "2");
    table.SetNumber("x", -1.0 / 3);
    EXPECT_EQ(table.NameAt(6), "x");
    EXPECT_EQ(table.ValueAt(6), "-0.333333333333333");
    table.SetValue("x", "4");
    EXPECT_EQ(Keep(table.GetValue("x")), 4.0);
    EXPECT_EQ(table.ValueAt(6), "4");
    // Unusable names are refused as when storing text.
    EXPECT_EQ(table.SetNumber("x(", 1).code, EngineErrorCode::Brackets);
    EXPECT_EQ(table.SetNumber("=", 1).code, EngineErrorCode::VariableTable);
    EXPECT_EQ(table.SetNumber("x@=", 7).code, EngineErrorCode::None);
    EXPECT_EQ(Keep(table.GetValue("x")), 7.0);
    EXPECT_EQ(table.Count(), 7u);
}

TEST_F(EngineTest, ValuesStoredBetweenEvaluationsAreSeenByTheNext) {
    Expression expression;
    expression.SetFormula("a*sin(w*t)+t+q");
    expression.SetVariable("a", "2");
    expression.SetNumber("w", 0.5);
    expression.SetNumber("t", 0);
    Keep(expression.Evaluate(epsilon));
    EXPECT_EQ(last.missingName, "q");
    // A name added after a failed lookup is found by the next evaluation.
    expression.SetNumber("q", 1);
    for (double t = 0; t < 3; t += 0.37) {
        expression.SetNumber("t", t);
        EXPECT_DOUBLE_EQ(Keep(expression.Evaluate(epsilon)), 2 * std::sin(0.5 * t) + t + 1) << t;
        EXPECT_TRUE(last.ok());
    }
    // Text and numbers replace each other.
    expression.SetVariable("t", "0");
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 1.0);
    expression.Variables().RemoveValue("q");
    Keep(expression.Evaluate(epsilon));
    EXPECT_EQ(last.missingName, "q");
}
