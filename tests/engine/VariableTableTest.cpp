#include "EngineTestSupport.h"

#include <vector>

namespace {

std::vector<std::string> NamesOf(const TMyPacketData& table) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < table.Count(); ++i)
        names.push_back(table.NameAt(i));
    return names;
}

const std::vector<std::string> kConstants = {"pi", "Pi", "PI", "~p", "g"};

} // namespace

TEST_F(EngineTest, NewTableHoldsTheConstantsAsFifteenDigitTexts) {
    TMyPacketData table;
    EXPECT_EQ(NamesOf(table), kConstants);
    EXPECT_EQ(table.ValueAt(0), "3.14159265358979");
    EXPECT_EQ(table.ValueAt(4), "9.81");
    EXPECT_EQ(table.GetValue("pi"), TextToNumber("3.14159265358979"));
    EXPECT_EQ(table.GetValue("~p"), table.GetValue("PI"));
    EXPECT_EQ(platform::FloatToStr(table.GetValue("g")), "9.81");
    EXPECT_EQ(EngineStatus.ErrorText, "");
}

TEST_F(EngineTest, ConstantsFollowTheSystemSeparator) {
    platform::SetDecimalChar(',');
    EngineStatus.DecimalChar = ',';
    TMyPacketData table;
    EXPECT_EQ(table.ValueAt(0), "3,14159265358979");
    EXPECT_EQ(table.GetValue("pi"), TextToNumber("3.14159265358979"));
}

TEST_F(EngineTest, StoringReplacesAndMovesTheEntryToTheEnd) {
    TMyPacketData table;
    table.SetValue("x", "2");
    table.SetValue("y", "5");
    table.SetValue("x", "3");
    EXPECT_EQ(table.Count(), 7u);
    EXPECT_EQ(table.NameAt(5), "y");
    EXPECT_EQ(table.NameAt(6), "x");
    EXPECT_EQ(table.ValueAt(6), "3");
    EXPECT_EQ(table.GetValue("x"), 3.0L);
    table.RemoveValue("y");
    table.RemoveValue("nothing");
    EXPECT_EQ(table.Count(), 6u);
    EXPECT_EQ(EngineStatus.ErrorText, "");
}

TEST_F(EngineTest, NamesAreNormalised) {
    TMyPacketData table;
    table.SetValue("x@=", "4");
    EXPECT_EQ(table.NameAt(5), "x");
    EXPECT_EQ(table.GetValue("x ="), 4.0L);
    EXPECT_EQ(table.GetValue(" x"), 4.0L);
    EXPECT_EQ(TMyPacketData::NormaliseName("v!1@="), "v!1");
    EXPECT_EQ(TMyPacketData::NormaliseName("w#2@=="), "w#2");
    EXPECT_EQ(TMyPacketData::NormaliseName("a = b"), "ab");
    EXPECT_EQ(EngineStatus.ErrorText, "");
}

TEST_F(EngineTest, NamesAreCaseSensitiveAndMissingOnesReported) {
    TMyPacketData table;
    EXPECT_EQ(table.GetValue("pI"), 0.0L);
    EXPECT_EQ(EngineStatus.Code, 3);
    EXPECT_EQ(EngineStatus.ErrorText, Cp("Ошибка: нет такой переменной:"));
    EXPECT_EQ(EngineStatus.MissingName, "pI");
    // The first error of an evaluation stays.
    EXPECT_EQ(table.GetValue("other"), 0.0L);
    EXPECT_EQ(EngineStatus.MissingName, "pI");
}

TEST_F(EngineTest, EmptyNamesChangeNothingAndReportOnce) {
    const std::string emptyName = Cp("Ошибка: пустой параметр при обращении к таблице");
    TMyPacketData table;
    table.SetValue("=", "1");
    EXPECT_EQ(table.Count(), 5u);
    EXPECT_EQ(EngineStatus.Code, 3);
    EXPECT_EQ(EngineStatus.ErrorText, emptyName);
    ResetStatus();
    table.RemoveValue("");
    EXPECT_EQ(EngineStatus.ErrorText, emptyName);
    ResetStatus();
    EXPECT_EQ(table.GetValue(""), 0.0L);
    EXPECT_EQ(EngineStatus.ErrorText, emptyName);
    // A name with unbalanced brackets is empty too; its bracket message wins.
    ResetStatus();
    table.SetValue("x(", "1");
    EXPECT_EQ(table.Count(), 5u);
    EXPECT_EQ(EngineStatus.Code, 4);
    EXPECT_EQ(EngineStatus.ErrorText, Cp("Ошибка: нехватает закрывающей скобки"));
}

TEST_F(EngineTest, ValueTextsThatAreNotNumbersReadAsZero) {
    TMyPacketData table;
    table.SetValue("s", "\"text\"");
    table.SetValue("c", "2,5");
    table.SetValue("bad", "1.2.3");
    EXPECT_EQ(table.GetValue("s"), 0.0L);
    EXPECT_EQ(table.GetValue("c"), 2.5L);
    EXPECT_EQ(EngineStatus.ErrorText, "");
    for (int i = 0; i < 2; ++i) // the error comes again on every lookup
        EXPECT_EQ(ErrorOf([&] { table.GetValue("bad"); }),
                  "'1.2.3' is not a valid floating point value");
}

TEST_F(EngineTest, ResetAndAssignRestoreWholeTables) {
    TMyPacketData table;
    table.SetValue("x", "1");
    table.SetValue("pi", "3");
    table.ResetTable();
    EXPECT_EQ(NamesOf(table), kConstants);
    EXPECT_EQ(table.ValueAt(0), "3.14159265358979");

    TMyPacketData copy;
    copy.SetValue("t", "7");
    table.AssignTable(&copy);
    copy.SetValue("t", "8");
    EXPECT_EQ(table.GetValue("t"), 7.0L);
    table.AssignTable(nullptr);
    EXPECT_EQ(table.Count(), 6u);
    EXPECT_EQ(table.GetValue("t"), 7.0L);
}
