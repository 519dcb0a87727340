#include "protocol/Frames.h"

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

// Floods that a hostile server can send: everything that fits is queued, the queue and
// the buffer stay within their bounds, and what does not fit waits for room.
TEST(FramesTest, AFloodOfTinyFramesFillsTheQueueToItsBoundAndTheRestWaits) {
    FrameReceiver receiver;
    std::string burst;
    for (std::size_t i = 0; i < FrameQueue::kMaxMessages + 5; ++i)
        burst += "<ZZ:1>x";
    const auto result = receiver.Receive(burst);
    EXPECT_TRUE(result.queueFull);
    EXPECT_EQ(static_cast<std::size_t>(result.framesQueued), FrameQueue::kMaxMessages);
    EXPECT_EQ(receiver.MessageQueue().size(), FrameQueue::kMaxMessages);
    EXPECT_EQ(receiver.MessageQueue().Bytes(), 7 * FrameQueue::kMaxMessages);
    EXPECT_EQ(receiver.ReceiveBuffer().size(), 5u * 7);

    receiver.MessageQueue().pop_front();
    const auto next = receiver.Receive("");
    EXPECT_EQ(next.framesQueued, 1);
    EXPECT_TRUE(next.queueFull);
    EXPECT_EQ(receiver.MessageQueue().size(), FrameQueue::kMaxMessages);
}

TEST(FramesTest, TheQueueHoldsAtMostItsBoundInBytes) {
    FrameReceiver receiver;
    const std::string payload(FrameReceiver::MaxPayloadLength, 'q');
    const std::string frame = "<QUEST:" + std::to_string(payload.size()) + ">" + payload;
    int queued = 0;
    bool full = false;
    for (int i = 0; i < 5 && !full; ++i) {
        const auto result = receiver.Receive(frame);
        queued += result.framesQueued;
        full = result.queueFull;
    }
    EXPECT_TRUE(full);
    EXPECT_EQ(queued, static_cast<int>(FrameQueue::kMaxBytes / frame.size()));
    EXPECT_LE(receiver.MessageQueue().Bytes(), FrameQueue::kMaxBytes);
}

TEST(FramesTest, JunkIsSkippedInOnePassAndLeavesOnlyAPossibleHeaderBehind) {
    const std::vector<std::string> floods = {
        std::string(512 * 1024, '<'),
        std::string(512 * 1024, 'z'),
        [] {
            std::string s;
            while (s.size() < 512 * 1024)
                s += "<AB:1x>"; // refused at the "x"
            return s;
        }(),
    };
    for (const std::string& flood : floods) {
        FrameReceiver receiver;
        const auto result = receiver.Receive(flood);
        EXPECT_GT(result.headersRefused, 0);
        EXPECT_EQ(result.framesQueued, 0);
        EXPECT_LE(receiver.ReceiveBuffer().size(),
                  static_cast<std::size_t>(FrameReceiver::MaxTagLength + 1));
        receiver.ResetStream();
        receiver.Receive("<MESSAGE:2>ok");
        EXPECT_EQ(Queued(receiver), std::vector<std::string>{"<MESSAGE:2>ok"});
    }
}

TEST(FramesTest, ALargePayloadInChunksIsQueuedWholeOnce) {
    FrameReceiver receiver;
    std::string payload(1024 * 1024, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>("<>:x"[i % 4]);
    const std::string frame = BuildFrame("QUESTLIST", payload) + "<RELOG:0>";
    int queued = 0;
    for (std::size_t at = 0; at < frame.size(); at += 4096)
        queued += receiver.Receive(std::string_view(frame).substr(at, 4096)).framesQueued;
    EXPECT_EQ(queued, 2);
    EXPECT_EQ(receiver.MessageQueue().front(), BuildFrame("QUESTLIST", payload));
    EXPECT_TRUE(receiver.ReceiveBuffer().empty());
}
