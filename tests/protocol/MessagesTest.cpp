#include "protocol/Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Each written frame, byte for byte, and the kind its receiver reads it as; a tag that
// differs in letter case, or is a prefix of a known one, is no message of that kind.
TEST(MessagesTest, EveryMessageIsWrittenAsTheProtocolSaysAndReadBackByItsKind) {
    const struct {
        std::string frame;
        std::string expected;
        MessageKind kind;
    } cases[] = {
        {WriteLogin({"Guest", "wuzo"}), "<LOGIN:10>Guest;wuzo", MessageKind::Login},
        {WriteTaskListRequest(), "<GETQUESTLIST:1>1", MessageKind::GetQuestList},
        {WriteTaskRequest("\xC7\xE0\xE4\xE0\xF7\xE0 1"), "<GETQUEST:8>\xC7\xE0\xE4\xE0\xF7\xE0 1",
         MessageKind::GetQuest},
        {WriteSubmission(" X @=1;"), "<SETRESULTQUEST:7> X @=1;", MessageKind::SetResultQuest},
        {WriteText("a>b:c"), "<MESSAGE:5>a>b:c", MessageKind::Text},
        {WriteRelog(), "<RELOG:0>", MessageKind::Relog},
        {WriteTaskList({{"<STATICA>", "t1", "One"}}),
         "<QUESTLIST:46><STATICA><NAME>t1</NAME><CAPTION>One</CAPTION>", MessageKind::QuestList},
        {BuildQuestMessage({"t", "", "", "", "", "", false}),
         "<QUEST:63><NAME>t</NAME><QUEST></QUEST><IMAGE></IMAGE><REQUEST></REQUEST>",
         MessageKind::Quest},
        {WriteFeatures({{{"bye", ""}, {"version", "2"}}}), "<FEATURES:13>bye;version=2",
         MessageKind::Features},
        {WriteBye({"stopping", "x;y"}), "<BYE:12>stopping;x;y", MessageKind::Bye},
        {WriteDevice("a1B2"), "<DEVICE:4>a1B2", MessageKind::Device},
        {"<Message:2>hi", "<Message:2>hi", MessageKind::Unknown},
        {"<QUESTLISTS:0>", "<QUESTLISTS:0>", MessageKind::Unknown},
        {"<:0>", "<:0>", MessageKind::Unknown},
        {"", "", MessageKind::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.frame, c.expected);
        EXPECT_EQ(KindOf(c.frame), c.kind) << c.frame;
    }
    EXPECT_EQ(PayloadOf("<MESSAGE:5>a>b:c"), "a>b:c");
    EXPECT_EQ(PayloadOf("<RELOG:0>"), "");
    const std::vector<QuestListEntry> list =
        ParseQuestList(std::string(PayloadOf(WriteTaskList({{"<DINAMIK>", "n", "c"}}))));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].sheet, kSheetDynamics);
    EXPECT_EQ(list[0].name, "n");
}

TEST(MessagesTest, LoginsAndByesSplitAtTheirFirstSemicolon) {
    const struct {
        std::string payload;
        std::string first;
        std::string second;
    } logins[] = {
        {"Guest;wuzo", "Guest", "wuzo"},
        {"Guest;a;b", "Guest", "a;b"},
        {"Guest", "Guest", ""},
        {";pw", "", "pw"},
        {"", "", ""},
    };
    for (const auto& c : logins) {
        const LoginMessage login = ReadLogin(c.payload);
        EXPECT_EQ(login.user, c.first) << c.payload;
        EXPECT_EQ(login.password, c.second) << c.payload;
    }
    const struct {
        std::string payload;
        std::string reason;
        std::string text;
    } byes[] = {
        {"stopping;\xD1\xE5\xF0\xE2\xE5\xF0;x", "stopping", "\xD1\xE5\xF0\xE2\xE5\xF0;x"},
        {"evicted", "evicted", ""},
        {std::string(40, 'r') + ";t", std::string(32, 'r'), "t"},
        {"x;" + std::string(5000, 't'), "x", std::string(4096, 't')},
    };
    for (const auto& c : byes) {
        const ByeMessage bye = ReadBye(c.payload);
        EXPECT_EQ(bye.reason, c.reason);
        EXPECT_EQ(bye.text, c.text);
    }
}

// Words the receiver cannot use (empty, too long, other bytes, repeated) are passed by;
// reading stops after the word and byte limits, whatever the sender wrote.
TEST(MessagesTest, FeaturesAreReadWithinTheirLimits) {
    const struct {
        std::string payload;
        std::vector<std::pair<std::string, std::string>> words;
    } cases[] = {
        {"history;drawing;bye", {{"history", ""}, {"drawing", ""}, {"bye", ""}}},
        {"client=vekta 1.2;bye=", {{"client", "vekta 1.2"}, {"bye", ""}}},
        {";;bye;;", {{"bye", ""}}},
        {"bye;bye=2;BYE", {{"bye", ""}, {"BYE", ""}}},
        {"a b;\xE0;x.y;ok", {{"ok", ""}}},
        {std::string(33, 'w') + ";" + std::string(32, 'v'), {{std::string(32, 'v'), ""}}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadFeatures(c.payload).words, c.words) << c.payload;
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "w" + std::to_string(i) + ";";
    EXPECT_EQ(ReadFeatures(many).words.size(), Features::kMaxFeatureWords);
    const Features read = ReadFeatures(std::string(2000, 'a') + ";bye");
    EXPECT_FALSE(read.Has("bye")); // beyond the bytes read
    const Features offered = ReadFeatures("bye;version=2");
    EXPECT_TRUE(offered.Has("bye"));
    EXPECT_EQ(offered.ValueOf("version"), "2");
    EXPECT_EQ(offered.ValueOf("history"), "");
    // A device token is letters and digits within its length; anything else is no token.
    EXPECT_EQ(ReadDevice("a1B2"), "a1B2");
    EXPECT_EQ(ReadDevice(std::string(64, 'f')), std::string(64, 'f'));
    for (const std::string& bad : {std::string(65, 'f'), std::string(""), std::string("ab;c"),
                                   std::string("a-b"), std::string("ab\n")})
        EXPECT_EQ(ReadDevice(bad), "") << bad;
    EXPECT_EQ(ReadFeatures("bye;device=" + std::string(32, 'c')).ValueOf("device"),
              std::string(32, 'c'));
}
