#include "protocol/QuestList.h"
#include "protocol/Sections.h"

#include "protocol/Frames.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace {

// The task list read the plain way: cut the tag off the front, then ExtractSection the
// NAME and the CAPTION from the rest. ParseQuestList must read every payload alike.
std::vector<QuestListEntry> ReadPlainly(std::string payload) {
    std::vector<QuestListEntry> entries;
    std::array<int, 3> nextNumber = {1, 1, 1};
    int sheet = kSheetKinematics;
    while (!payload.empty() && entries.size() < static_cast<std::size_t>(kMaxQuestLinks)) {
        const std::size_t close = payload.find('>');
        if (close == std::string::npos)
            break;
        const std::string tag = payload.substr(0, close + 1);
        payload.erase(0, close + 1);
        QuestListEntry entry;
        entry.sheetTagRecognised = tag == "<STATICA>" || tag == "<KINEMATIK>" || tag == "<DINAMIK>";
        if (entry.sheetTagRecognised)
            sheet = tag == "<STATICA>"     ? kSheetStatics
                    : tag == "<KINEMATIK>" ? kSheetKinematics
                                           : kSheetDynamics;
        entry.sheet = sheet;
        entry.name = ExtractSection(payload, "NAME");
        entry.caption = ExtractSection(payload, "CAPTION");
        entry.number = nextNumber[static_cast<std::size_t>(sheet)]++;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string Describe(const std::vector<QuestListEntry>& entries) {
    std::string text;
    for (const QuestListEntry& e : entries)
        text += std::to_string(e.sheet) + (e.sheetTagRecognised ? "+" : "-") + "[" + e.name + "][" +
                e.LinkCaption() + "] ";
    return text;
}

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

TEST(QuestListTest, ReadsEveryPayloadAsThePlainReadingDoes) {
    // Pieces that make tags, sections, sections cut in two (so that cutting a section
    // out can join a new tag), stray closing tags and junk.
    const std::vector<std::string> pieces = {
        "<STATICA>",  "<KINEMATIK>", "<DINAMIK>", "<NAME>", "</NAME>", "<CAPTION>",
        "</CAPTION>", "<NA",         "ME>",       "</CAP",  "TION>",   "<",
        ">",          "a",           "\n",        "</",
    };
    std::mt19937 random(2026);
    for (int round = 0; round < 4000; ++round) {
        std::string payload;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i)
            payload += pieces[random() % pieces.size()];
        ASSERT_EQ(Describe(ParseQuestList(payload)), Describe(ReadPlainly(payload))) << payload;
    }
}

TEST(QuestListTest, AHugeListGivesAtMost1024LinksWithTheirOwnTexts) {
    std::string huge;
    for (int i = 0; huge.size() < 4 * 1024 * 1024; ++i)
        huge +=
            Entry(i % 2 ? "<STATICA>" : "<DINAMIK>", "n" + std::to_string(i), std::string(30, 'c'));
    std::string padded = Entry("<STATICA>", "first", "A") + std::string(4 * 1024 * 1024, '>');
    for (const std::string& payload : {huge, padded}) {
        const auto entries = ParseQuestList(payload);
        ASSERT_EQ(entries.size(), static_cast<std::size_t>(kMaxQuestLinks));
        EXPECT_EQ(entries[0].name, payload == huge ? "n0" : "first");
    }
    EXPECT_EQ(ParseQuestList(huge)[1023].name, "n1023");
}

TEST(QuestListTest, AnOverlongCaptionIsCutForItsLink) {
    const std::string fits(QuestListEntry::kMaxShownCaption, 'c');
    const auto entries =
        ParseQuestList(Entry("<STATICA>", "a", fits) +
                       Entry("<STATICA>", "b", fits + "d" + std::string(16384, 'e')));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].LinkCaption(), "1. " + fits);
    EXPECT_EQ(entries[1].LinkCaption(), "2. " + fits + "...");
    EXPECT_EQ(entries[1].caption.size(), fits.size() + 16385); // the entry keeps it whole
}
