#include "protocol/Sections.h"
#include "protocol/Frames.h"
#include "protocol/QuestSections.h"
#include "protocol/ResultItems.h"

#include <gtest/gtest.h>

TEST(SectionsTest, ExtractSectionTakesAndRemovesTheFirstOccurrence) {
    std::string payload = "<NAME>a</NAME><QUEST>q<1></QUEST><NAME>b</NAME>";
    EXPECT_EQ(ExtractSection(payload, "QUEST"), "q<1>");
    EXPECT_EQ(payload, "<NAME>a</NAME><NAME>b</NAME>");
    EXPECT_EQ(ExtractSection(payload, "NAME"), "a");
    EXPECT_EQ(ExtractSection(payload, "NAME"), "b");
    EXPECT_EQ(payload, "");
    EXPECT_EQ(ExtractSection(payload, "IMAGE"), "");
}

TEST(SectionsTest, ExtractSectionWithoutItsClosingTagGivesEmptyText) {
    std::string openAtStart = "<IMAGE>LINE(1,2,3,4);";
    EXPECT_EQ(ExtractSection(openAtStart, "IMAGE"), "");
    EXPECT_EQ(openAtStart, "LINE(1,2,3,4);"); // the opening tag's bytes go
    std::string openLater = "xxxxxxxxxx<IMAGE>LINE";
    EXPECT_EQ(ExtractSection(openLater, "IMAGE"), "");
    EXPECT_EQ(openLater, "xxxxxxxxxx<IMAGE>LINE");
    std::string closeFirst = "</NAME>x<NAME>y";
    EXPECT_EQ(ExtractSection(closeFirst, "NAME"), "");
    EXPECT_EQ(closeFirst, "</NAME>x<NAME>y");
}

TEST(SectionsTest, WrittenSectionsReadBackInAnyOrder) {
    std::string payload =
        WriteSection("NAME", "k1") + WriteSection("CAPTION", "<b>") + WriteSection("QUEST", "");
    EXPECT_EQ(payload, "<NAME>k1</NAME><CAPTION><b></CAPTION><QUEST></QUEST>");
    EXPECT_EQ(ExtractSection(payload, "QUEST"), "");
    EXPECT_EQ(ExtractSection(payload, "CAPTION"), "<b>");
    EXPECT_EQ(ExtractSection(payload, "NAME"), "k1");
    EXPECT_EQ(payload, "");
}

// The task message the server sends and the tools build is read back whole by the
// client; a task without an animation carries no ANIMATE section at all.
TEST(SectionsTest, AQuestMessageCarriesEverySectionOfTheTask) {
    const QuestSections task{"\xCA-1", "F = 1", "SIZE(10,10);", "R", "SCENE;", "F; a = -3..3;"};
    const std::string message = BuildQuestMessage(task);
    EXPECT_EQ(ReadTag(message), "QUEST");
    const QuestSections read = ReadQuestSections(message);
    EXPECT_EQ(read.name, task.name);
    EXPECT_EQ(read.quest, task.quest);
    EXPECT_EQ(read.image, task.image);
    EXPECT_EQ(read.request, task.request);
    EXPECT_EQ(read.animate, task.animate);
    EXPECT_EQ(read.variables, task.variables);

    const std::string still = BuildQuestMessage({"k1", "q", "", "R", "", ""});
    EXPECT_EQ(still.find("VARIABLES"), std::string::npos);
    EXPECT_EQ(still.find("ANIMATE"), std::string::npos);
    EXPECT_EQ(ReadQuestSections(still).request, "R");
    EXPECT_FALSE(ReadQuestSections(still).namesDeclared) << "an older server's task";
    EXPECT_EQ(still.find("DRAWING"), std::string::npos);
    QuestSections drawn = task;
    drawn.drawing = true;
    EXPECT_TRUE(ReadQuestSections(BuildQuestMessage(drawn)).drawing);
    EXPECT_FALSE(read.drawing);
    EXPECT_TRUE(read.namesDeclared);
    // The rows' units go when a row has one, and whether they are required with them.
    EXPECT_EQ(read.units, "");
    QuestSections withUnits = task;
    withUnits.units = "\xEA\xCD;;";
    withUnits.unitsRequired = true;
    const QuestSections unitsRead = ReadQuestSections(BuildQuestMessage(withUnits));
    EXPECT_EQ(unitsRead.units, withUnits.units);
    EXPECT_TRUE(unitsRead.unitsRequired);
    withUnits.units = ";;";
    EXPECT_EQ(BuildQuestMessage(withUnits).find("UNITS"), std::string::npos);

    // A task that declares no names says so with an empty section.
    QuestSections none{"k1", "q", "", "R", "", ""};
    none.namesDeclared = true;
    const std::string noNames = BuildQuestMessage(none);
    EXPECT_NE(noNames.find("<VARIABLES></VARIABLES>"), std::string::npos);
    EXPECT_TRUE(ReadQuestSections(noNames).namesDeclared);
    EXPECT_EQ(ReadQuestSections(noNames).variables, "");
}

// The answers go as items " NAME @=answer;", read back by the requested names in order: a
// ";" inside an answer stays, a missing item is missing, and a name that holds another
// name's text does not take that item.
TEST(SectionsTest, SubmittedAnswersReadBackByTheirNames) {
    const std::vector<ResultItem> items = {{"X!A", " 1 ;2"}, {"Y", "(3)+1"}, {"X", ""}};
    const std::string payload = WriteResultPayload(items);
    EXPECT_EQ(payload, " X!A @= 1 ;2; Y @=(3)+1; X @=;");
    using Answers = std::vector<std::optional<std::string>>;
    EXPECT_EQ(ReadAnswers(payload, {"X!A", "Y", "X"}), (Answers{" 1 ;2", "(3)+1", ""}));
    EXPECT_EQ(ReadAnswers(" X @=7;", {"X!A", "Y", "X"}),
              (Answers{std::nullopt, std::nullopt, "7"}));
    EXPECT_EQ(ReadAnswers("", {"a"}), (Answers{std::nullopt}));
    EXPECT_EQ(WriteResultPayload({}), "");
    EXPECT_EQ(NameFieldText("R!B"), " R!B @=");
}

// A drawn answer goes after the rows as " @DRAW=" and its entries: the last row ends where
// it starts, an empty drawing is still told, and a flood of entries is cut.
TEST(SectionsTest, TheDrawingItemFollowsTheRows) {
    using Answers = std::vector<std::optional<std::string>>;
    using Entries = std::optional<std::vector<std::string>>;
    const std::vector<std::string> names = {"X!A", "Y"};
    const std::string payload =
        WriteResultPayload({{"X!A", "1"}, {"Y", "2"}},
                           std::vector<std::string>{"force 1 2 90 F", "moment 3 4 cw M 5"});
    EXPECT_EQ(payload, " X!A @=1; Y @=2; @DRAW=force 1 2 90 F;moment 3 4 cw M 5;");
    EXPECT_EQ(ReadAnswers(payload, names), (Answers{"1", "2"}));
    EXPECT_EQ(ReadDrawingEntries(payload, names),
              (Entries{{"force 1 2 90 F", "moment 3 4 cw M 5"}}));
    EXPECT_EQ(ReadDrawingEntries(" X!A @=1; Y @=2;", names), std::nullopt);
    const std::string empty = WriteResultPayload({{"X!A", "1"}}, std::vector<std::string>{});
    EXPECT_EQ(ReadAnswers(empty, names), (Answers{"1", std::nullopt}));
    EXPECT_EQ(ReadDrawingEntries(empty, names), (Entries{std::vector<std::string>{}}));
    EXPECT_EQ(ReadDrawingEntries(" @DRAW=;; ;force 1 2 0 F", {}), (Entries{{"force 1 2 0 F"}}));
    // The opener inside a row's answer is part of the answer when a later row follows.
    EXPECT_EQ(ReadAnswers(" X!A @=a @DRAW=b; Y @=2;", names), (Answers{"a @DRAW=b", "2"}));
    std::string flood(" @DRAW=");
    for (int i = 0; i < 1000; ++i)
        flood += "force 0 0 0 F;";
    EXPECT_EQ(ReadDrawingEntries(flood, {})->size(), kMaxDrawingEntries);
}
