// Client bytes, cut at a place the input chooses, through a logged-in session of the
// reference server with a judged task open: every frame is answered or refused, and
// every answer text is judged to a verdict, never a crash or a hang.

#include "judging/Submission.h"
#include "judging/VerdictMessage.h"
#include "session/ServerSession.h"
#include "support/MemorySessionHost.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TaskBank bank = [] {
        TaskBank b;
        b.tasks.push_back(ParseTaskFile("<REQUEST>X!A;~w;</REQUEST><ANSWER>q*l+F;2;</ANSWER>"
                                        "<VARIABLES>q;l = -2..2;F;</VARIABLES>",
                                        "<STATICA>", "t"));
        return b;
    }();
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = size == 0 ? 0 : data[0] % size;

    MemorySessionHost host;
    host.accounts = {{"Guest", "wuzo"}};
    ServerSession session(bank, host);
    session.Receive("<LOGIN:10>Guest;wuzo<GETQUEST:1>t");
    session.Receive(std::string_view(input).substr(0, cut));
    session.Receive(std::string_view(input).substr(cut));

    const AnswerJudge judge;
    VerdictMessage(JudgeSubmission(&bank.tasks[0], input, judge));
    return 0;
}
