#include "app/Frames.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> Queued(FrameReceiver& receiver) {
    return {receiver.MessageQueue().begin(), receiver.MessageQueue().end()};
}

} // namespace

TEST(FramesTest, BuildsFramesWithByteLengths) {
    EXPECT_EQ(BuildFrame("GETQUESTLIST", "1"), "<GETQUESTLIST:1>1");
    EXPECT_EQ(BuildFrame("LOGIN", "Guest;wuzo"), "<LOGIN:10>Guest;wuzo");
    EXPECT_EQ(BuildFrame("GETQUEST", "\xC7\xE0\xE4\xE0\xF7\xE0 1"),
              "<GETQUEST:8>\xC7\xE0\xE4\xE0\xF7\xE0 1");
    EXPECT_EQ(BuildFrame("RELOG", ""), "<RELOG:0>");
}

TEST(FramesTest, ReadsTagsAndPayloads) {
    EXPECT_EQ(ReadTag("<QUESTLIST:3>a:b"), "QUESTLIST");
    EXPECT_EQ(ReadPayload("<MESSAGE:5>a>b:c"), "a>b:c");
    EXPECT_EQ(ReadTag("<RELOG:0>"), "RELOG");
    EXPECT_EQ(ReadPayload("<RELOG:0>"), "");
}

TEST(FramesTest, AFrameArrivingOneByteAtATimeIsQueuedWithItsLastByte) {
    FrameReceiver receiver;
    const std::string frame = "<MESSAGE:11>Hello<:>\nok";
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) {
        receiver.Receive(frame.substr(i, 1));
        ASSERT_TRUE(receiver.MessageQueue().empty()) << i;
    }
    EXPECT_EQ(receiver.Receive(frame.substr(frame.size() - 1)).framesQueued, 1);
    EXPECT_EQ(Queued(receiver), std::vector<std::string>{frame});
    EXPECT_TRUE(receiver.ReceiveBuffer().empty());
    EXPECT_EQ(receiver.FrameLength(), 0);
}

TEST(FramesTest, EveryCompleteFrameOfAChunkIsQueuedAndTheRestWaits) {
    FrameReceiver receiver;
    const auto result = receiver.Receive("<RELOG:0><MESSAGE:2>hi<QUEST:4>ab");
    EXPECT_EQ(result.framesQueued, 2);
    EXPECT_EQ(Queued(receiver), (std::vector<std::string>{"<RELOG:0>", "<MESSAGE:2>hi"}));
    EXPECT_EQ(receiver.ReceiveBuffer(), "<QUEST:4>ab");
    receiver.Receive("cd<X:0>");
    EXPECT_EQ(Queued(receiver).back(), "<X:0>");
    EXPECT_EQ(Queued(receiver).size(), 4u);
}

TEST(FramesTest, TagsUpTo17BytesAreAcceptedLongerOnesRefused) {
    FrameReceiver receiver;
    EXPECT_EQ(receiver.Receive("<ABCDEFGHIJKLMNOPQ:1>x").framesQueued, 1);
    const auto refused = receiver.Receive("<ABCDEFGHIJKLMNOPQR:1>x<MESSAGE:1>y");
    EXPECT_EQ(refused.headersRefused, 1);
    EXPECT_EQ(refused.framesQueued, 1);
    EXPECT_EQ(Queued(receiver).back(), "<MESSAGE:1>y");
}

TEST(FramesTest, RefusedHeadersAreDroppedUpToTheNextBracketOnce) {
    const std::vector<std::string> badHeads = {
        "garbage",                    // first byte not "<"
        "<MSG>x:1",                   // ">" before ":"
        "<MSG:>",                     // empty length
        "<MSG:1x>",                   // not decimal
        "<MSG:+1>",                   // a sign is no digit
        "<MSG:16777217>",             // over 16 MiB
        "<NO COLON IN SIGHT AT ALL>", // ":" cannot come within 19 bytes
    };
    for (const std::string& bad : badHeads) {
        FrameReceiver receiver;
        const auto result = receiver.Receive(bad + "<MESSAGE:2>ok");
        EXPECT_EQ(result.headersRefused, 1) << bad;
        EXPECT_EQ(Queued(receiver), std::vector<std::string>{"<MESSAGE:2>ok"}) << bad;
        EXPECT_EQ(receiver.Receive("").headersRefused, 0) << bad; // never reported again
    }
}

TEST(FramesTest, IncompleteHeadersWaitWithoutAReport) {
    FrameReceiver receiver;
    for (const char* piece : {"<", "QUESTLIST", ":", "16777", "216"}) {
        const auto result = receiver.Receive(piece);
        EXPECT_EQ(result.headersRefused, 0) << piece;
        EXPECT_EQ(result.framesQueued, 0) << piece;
    }
    EXPECT_EQ(receiver.Receive(">").headersRefused, 0);
    EXPECT_EQ(receiver.PayloadLength(), 16777216);
}

TEST(FramesTest, BytesBeyondTheDeclaredLengthStartTheNextFrame) {
    FrameReceiver receiver;
    receiver.Receive("<MESSAGE:2>okEXTRA<RELOG:0>");
    EXPECT_EQ(Queued(receiver), (std::vector<std::string>{"<MESSAGE:2>ok", "<RELOG:0>"}));
}

TEST(FramesTest, ResetStreamForgetsAFrameCutOffByADisconnection) {
    FrameReceiver receiver;
    receiver.Receive("<MESSAGE:40>cut");
    receiver.Receive("<RELOG:0>"); // read as the cut frame's payload
    EXPECT_TRUE(receiver.MessageQueue().empty());
    receiver.ResetStream();
    receiver.Receive("<RELOG:0>");
    EXPECT_EQ(Queued(receiver), std::vector<std::string>{"<RELOG:0>"});
}

TEST(FramesTest, ExtractSectionTakesAndRemovesTheFirstOccurrence) {
    std::string payload = "<NAME>a</NAME><QUEST>q<1></QUEST><NAME>b</NAME>";
    EXPECT_EQ(ExtractSection(payload, "QUEST"), "q<1>");
    EXPECT_EQ(payload, "<NAME>a</NAME><NAME>b</NAME>");
    EXPECT_EQ(ExtractSection(payload, "NAME"), "a");
    EXPECT_EQ(ExtractSection(payload, "NAME"), "b");
    EXPECT_EQ(payload, "");
    EXPECT_EQ(ExtractSection(payload, "IMAGE"), "");
}

TEST(FramesTest, ExtractSectionWithoutItsClosingTagGivesEmptyText) {
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
