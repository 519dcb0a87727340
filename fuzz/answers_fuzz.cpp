// Any bytes as a student's answer: the reader ends with a reading or a problem, the
// reading and the problem can be written in both styles, and the judge ends with a
// verdict, never a crash, a hang or an unbounded allocation.

#include "answers/Judge.h"
#include "answers/NotationText.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const std::vector<answers::DeclaredName> names = {
        {"m", 0.5, 5}, {"v!C", -3, 3}, {"~w", 0.5, 5}, {"x", -2, 2}};
    const answers::ReadResult read = answers::Read(text, answers::NamesOf(names), {"X!A"});
    if (read.formula) {
        answers::ReadingText(*read.formula, answers::TextStyle::Unicode);
        answers::ReadingText(*read.formula, answers::TextStyle::Cp1251Words);
        // What the client sends for the answer reads back the same.
        const answers::ReadResult again = answers::Read(
            answers::NotationText(*read.formula, {{"X!A", "2#3@"}}), answers::NamesOf(names));
        using Code = answers::Problem::Code;
        if (read.Accepted() && !again.formula && again.problem->code != Code::TooLong &&
            again.problem->code != Code::TooDeep)
            __builtin_trap();
    }
    if (read.problem)
        answers::Describe(*read.problem, answers::TextStyle::Cp1251Words);
    const answers::Judgement judgement = answers::Judge("m*v!C#2@/2+sin(x)", text, names, {});
    answers::Reason(judgement, answers::TextStyle::Unicode);
    return 0;
}
