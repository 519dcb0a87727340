// Server bytes, cut at places the input chooses, through the frame receiver, the task
// list and the reference server's session; and typed server addresses.

#include "app/ServerAddress.h"
#include "protocol/Frames.h"
#include "protocol/Messages.h"
#include "protocol/QuestList.h"
#include "protocol/Sections.h"
#include "session/ServerSession.h"
#include "support/MemorySessionHost.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = size == 0 ? 0 : data[0] % size;

    // A small queue, so that the input can fill it: what does not fit waits, and
    // every bound holds.
    FrameReceiver receiver(FrameQueue(64, 256 * 1024));
    receiver.Receive(std::string_view(input).substr(0, cut));
    receiver.Receive(std::string_view(input).substr(cut));
    if (receiver.MessageQueue().size() > 64 || receiver.MessageQueue().Bytes() > 256 * 1024)
        __builtin_trap();
    for (const std::string& message : receiver.MessageQueue()) {
        std::string payload = ReadPayload(message);
        ParseQuestList(payload);
        ExtractSection(payload, "IMAGE");
        ExtractSection(payload, ReadTag(message));
        // The typed readers keep their bounds whatever the payload.
        const Features features = ReadFeatures(PayloadOf(message));
        if (features.words.size() > Features::kMaxFeatureWords)
            __builtin_trap();
        const ByeMessage bye = ReadBye(PayloadOf(message));
        if (bye.reason.size() > ByeMessage::kMaxReasonBytes ||
            bye.text.size() > ByeMessage::kMaxByeTextBytes)
            __builtin_trap();
        const HistoryMessage history = ReadHistory(PayloadOf(message));
        if (history.entries.size() > HistoryMessage::kMaxEntries ||
            history.task.size() > HistoryMessage::kMaxTaskBytes)
            __builtin_trap();
        const SolutionMessage solution = ReadSolution(PayloadOf(message));
        if (solution.rows.size() > SolutionMessage::kMaxRows ||
            solution.task.size() > SolutionMessage::kMaxTaskBytes ||
            solution.draw.size() > SolutionMessage::kMaxDrawBytes)
            __builtin_trap();
        for (const HistoryEntry& entry : history.entries)
            if (entry.answers.size() > HistoryMessage::kMaxAnswersBytes ||
                entry.verdicts.size() > HistoryMessage::kMaxVerdictsBytes)
                __builtin_trap();
    }

    static const TaskBank bank = [] {
        TaskBank b;
        b.tasks.push_back(ParseTaskFile("<CAPTION>c</CAPTION>", "<STATICA>", "t"));
        return b;
    }();
    MemorySessionHost host;
    ServerSession session(bank, host);
    session.Receive(input);

    ParseServerAddress(input);
    return 0;
}
