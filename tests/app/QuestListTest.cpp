#include "app/QuestList.h"

#include <gtest/gtest.h>

namespace {

std::string Entry(const std::string& tag, const std::string& name, const std::string& caption) {
    return tag + "<NAME>" + name + "</NAME><CAPTION>" + caption + "</CAPTION>";
}

} // namespace

TEST(QuestListTest, NumbersRestartOnEverySheet) {
    const auto entries =
        ParseQuestList(Entry("<STATICA>", "s1", "A") + Entry("<STATICA>", "s2", "B") +
                       Entry("<DINAMIK>", "d1", "C") + Entry("<STATICA>", "s3", "D"));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].LinkCaption(), "1. A");
    EXPECT_EQ(entries[1].LinkCaption(), "2. B");
    EXPECT_EQ(entries[2].LinkCaption(), "1. C");
    EXPECT_EQ(entries[2].sheet, kSheetDynamics);
    EXPECT_EQ(entries[3].LinkCaption(), "3. D");
    EXPECT_EQ(entries[3].name, "s3");
}

TEST(QuestListTest, SectionsComeInEitherOrderAndNamesKeepTheirBytes) {
    const auto entries =
        ParseQuestList("<KINEMATIK><CAPTION>\xCA\xE8\xED</CAPTION><NAME>\xE7\xE0\xE4 7</NAME>");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "\xE7\xE0\xE4 7");
    EXPECT_EQ(entries[0].caption, "\xCA\xE8\xED");
    EXPECT_EQ(entries[0].sheet, kSheetKinematics);
}

TEST(QuestListTest, UnknownTagsStayOnTheCurrentSheet) {
    const auto entries =
        ParseQuestList(Entry("\n<STATICA>", "a", "A") + Entry("<DINAMIK>", "b", "B") +
                       Entry("\r\n<DINAMIK>", "c", "C"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_FALSE(entries[0].sheetTagRecognised);
    EXPECT_EQ(entries[0].sheet, kSheetKinematics); // no valid tag came before it
    EXPECT_TRUE(entries[1].sheetTagRecognised);
    EXPECT_FALSE(entries[2].sheetTagRecognised);
    EXPECT_EQ(entries[2].sheet, kSheetDynamics);
    EXPECT_EQ(entries[2].LinkCaption(), "2. C");
}

TEST(QuestListTest, AMissingSectionTakesTheNextEntrysSection) {
    const auto entries =
        ParseQuestList("<STATICA><CAPTION>A</CAPTION>" + Entry("<STATICA>", "b", "B"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "b");
    EXPECT_EQ(entries[0].caption, "A");
    EXPECT_EQ(entries[1].name, "");
    EXPECT_EQ(entries[1].caption, "B");
}

TEST(QuestListTest, ReadingEndsAtARestWithoutBracketAndAt1024Links) {
    EXPECT_EQ(ParseQuestList(Entry("<STATICA>", "a", "A") + "trailing bytes").size(), 1u);
    std::string many;
    for (int i = 0; i < 1100; ++i)
        many += Entry("<DINAMIK>", std::to_string(i), "T");
    const auto entries = ParseQuestList(many);
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(kMaxQuestLinks));
    EXPECT_EQ(entries.back().number, 1024);
}
