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
        {WriteHistoryRequest("t1"), "<GETHISTORY:2>t1", MessageKind::GetHistory},
        {WriteHistory({"t1", {{"2026-12-07T10:15:30Z", " X @=1;", "X: ok", "1 of 1"}}}),
         "<HISTORY:89><TASK:2>t1<TIME:20>2026-12-07T10:15:30Z<ANSWERS:7> X @=1;"
         "<VERDICTS:5>X: ok<SCORE:6>1 of 1",
         MessageKind::History},
        {WriteSolutionRequest("t1"), "<GETSOLUTION:2>t1", MessageKind::GetSolution},
        {WriteSolution({"t1", "L;", {{"X", "2*a"}}, "", ""}),
         "<SOLUTION:42><TASK:2>t1<IMAGE:2>L;<ROW:1>X<ANSWER:3>2*a", MessageKind::Solution},
        {WriteSolutionReady("t1"), "<SOLUTIONREADY:2>t1", MessageKind::SolutionReady},
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

// HISTORY from a server that cannot be trusted: what is well formed before the first damage
// is kept, texts are cut to their limits, unknown and misplaced fields are passed by, and
// no more submissions are read than the limit, whatever the lengths claim.
TEST(MessagesTest, HistoryIsReadWithinItsLimits) {
    using H = HistoryMessage;
    const HistoryEntry one{"2026-12-07T10:15:30.250Z", " X @=a;b; Y @=2;", "X: +", "2,4 of 3"};
    const std::string good = std::string(PayloadOf(WriteHistory({"beam", {one, one}})));
    const std::string entryTail = "<ANSWERS:7> X @=1;<VERDICTS:0><SCORE:0>";
    const struct {
        std::string payload;
        std::string task;
        std::size_t entries;
        std::string lastAnswers;
    } cases[] = {
        {good, "beam", 2, one.answers},
        {good + "<TIME:1", "beam", 2, one.answers},                // a header cut short
        {good.substr(0, good.size() - 3), "beam", 2, one.answers}, // a text cut short
        {"<TASK:1>t<TIME:0>" + entryTail, "t", 1, " X @=1;"},
        {"<TASK:1>t<ANSWERS:1>x<TIME:0><NOTE:3>abc", "t", 1, ""}, // before TIME, unknown
        {"<TASK:1>t<TIME:0><TASK:1>u", "t", 1, ""},               // TASK only first
        {"<TASK:99999999>t", "", 0, ""},                          // longer than the rest
        {"<TASK:123456789>t", "", 0, ""},                         // too many digits
        {"<TASK:-1>t", "", 0, ""},
        {"<TASK:>t", "", 0, ""},
        {"<:1>t<TIME:0>", "", 0, ""},
        {"TASK:1>t", "", 0, ""},
        {"<TASK>1:t", "", 0, ""},
        {"<TASK:1>t<TIME:0>garbage<TIME:0>", "t", 1, ""},
        {"", "", 0, ""},
    };
    for (const auto& c : cases) {
        const HistoryMessage read = ReadHistory(c.payload);
        EXPECT_EQ(read.task, c.task) << c.payload;
        ASSERT_EQ(read.entries.size(), c.entries) << c.payload;
        if (c.entries > 0) {
            EXPECT_EQ(read.entries.back().answers, c.lastAnswers) << c.payload;
        }
    }
    const HistoryMessage back = ReadHistory(good);
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.entries[0].time, one.time);
    EXPECT_EQ(back.entries[0].verdicts, one.verdicts);
    EXPECT_EQ(back.entries[1].score, one.score);

    HistoryMessage huge{std::string(1000, 'n'), {}};
    for (int i = 0; i < 80; ++i)
        huge.entries.push_back({std::string(100, 't'), std::string(20000, 'a'),
                                std::string(5000, 'v'), std::string(100, 's')});
    const HistoryMessage cut = ReadHistory(PayloadOf(WriteHistory(huge)));
    EXPECT_EQ(cut.task.size(), H::kMaxTaskBytes);
    ASSERT_EQ(cut.entries.size(), H::kMaxEntries);
    EXPECT_EQ(cut.entries[0].time.size(), H::kMaxTimeBytes);
    EXPECT_EQ(cut.entries[0].answers.size(), H::kMaxAnswersBytes);
    EXPECT_EQ(cut.entries[0].verdicts.size(), H::kMaxVerdictsBytes);
    EXPECT_EQ(cut.entries.back().score.size(), H::kMaxScoreBytes);
}

// A solution is read as HISTORY is: an ANSWER belongs to the ROW just before it, and
// nothing the sender writes runs past the reader's limits.
TEST(MessagesTest, SolutionIsReadWithinItsLimits) {
    using S = SolutionMessage;
    const S one{"beam", "LINE(0,0,9,9);", {{"X!A", "-5"}, {"Y!A", "a;b"}}, "PIN(1,2,A);", "x;"};
    const std::string good = std::string(PayloadOf(WriteSolution(one)));
    const struct {
        std::string payload;
        std::size_t rows;
        std::string lastAnswer;
        std::string draw;
    } cases[] = {
        {good, 2, "a;b", "PIN(1,2,A);"},
        {good.substr(0, good.find("<DRAW:")), 2, "a;b", ""},    // a task without a drawing
        {good + "<ROW:1", 2, "a;b", "PIN(1,2,A);"},             // a header cut short
        {"<ANSWER:1>1<ROW:1>X<NOTE:1>n<ANSWER:1>2", 1, "", ""}, // an answer only after its row
        {"<ROW:1>X<ROW:1>Y<ANSWER:1>2", 2, "2", ""},
        {"<ROW:1>X<ANSWER:1>1<ANSWER:1>2", 1, "1", ""}, // a second answer is not the row's
        {"<ROW:99999999>X", 0, "", ""},
        {"", 0, "", ""},
    };
    for (const auto& c : cases) {
        const S read = ReadSolution(c.payload);
        ASSERT_EQ(read.rows.size(), c.rows) << c.payload;
        if (c.rows > 0) {
            EXPECT_EQ(read.rows.back().answer, c.lastAnswer) << c.payload;
        }
        EXPECT_EQ(read.draw, c.draw) << c.payload;
    }
    const S back = ReadSolution(good);
    EXPECT_EQ(back.task, one.task);
    EXPECT_EQ(back.image, one.image);
    EXPECT_EQ(back.rows[0].name, "X!A");
    EXPECT_EQ(back.drawn, one.drawn);
    EXPECT_EQ(ReadSolutionReady(std::string(1000, 'n')).size(), S::kMaxTaskBytes);

    S huge{std::string(1000, 'n'), std::string(300000, 'i'), {}, std::string(20000, 'd'), ""};
    for (int i = 0; i < 80; ++i)
        huge.rows.push_back({std::string(300, 'r'), std::string(5000, 'a')});
    const S cut = ReadSolution(PayloadOf(WriteSolution(huge)));
    EXPECT_EQ(cut.task.size(), S::kMaxTaskBytes);
    EXPECT_EQ(cut.image.size(), S::kMaxImageBytes);
    ASSERT_EQ(cut.rows.size(), S::kMaxRows);
    EXPECT_EQ(cut.rows[0].name.size(), S::kMaxNameBytes);
    EXPECT_EQ(cut.rows.back().answer.size(), S::kMaxAnswerBytes);
    EXPECT_EQ(cut.draw.size(), S::kMaxDrawBytes);
}
