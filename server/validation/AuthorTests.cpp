#include "validation/AuthorTests.h"

#include "course/VariantText.h"
#include "judging/TaskJudging.h"
#include "platform/Trim.h"

#include "platform/Cp1251.h"
#include "protocol/ResultItems.h"

#include <optional>

namespace {

// The verdict a word names, in any case of its letters.
std::optional<answers::Verdict> VerdictNamed(std::string_view cp1251Word) {
    std::string word(cp1251Word);
    for (char& c : word)
        if (static_cast<unsigned char>(c) >= 0xC0 && static_cast<unsigned char>(c) <= 0xDF)
            c = static_cast<char>(c + 0x20); // CP1251 capitals lie 0x20 below their small letters
    for (answers::Verdict verdict :
         {answers::Verdict::Right, answers::Verdict::Wrong, answers::Verdict::NotAccepted})
        if (word == platform::Utf8ToCp1251(answers::VerdictWord(verdict)))
            return verdict;
    return std::nullopt;
}

// The verdict's text with the hint code in brackets taken off its end ("неверно (sign)");
// false when the brackets hold no hint code.
bool TakeHintCode(std::string_view& verdictText, std::optional<answers::Hint>& hint) {
    const std::size_t open = verdictText.rfind('(');
    if (verdictText.empty() || verdictText.back() != ')' || open == std::string_view::npos)
        return true;
    hint = answers::ReadHintCode(verdictText.substr(open + 1, verdictText.size() - open - 2));
    verdictText = platform::TrimWhitespace(verdictText.substr(0, open));
    return hint.has_value();
}

} // namespace

AuthorTests ReadAuthorTests(std::string_view cp1251Section) {
    AuthorTests read;
    while (!cp1251Section.empty()) {
        const std::size_t end = cp1251Section.find('\n');
        const std::string_view line = platform::TrimWhitespace(cp1251Section.substr(0, end));
        cp1251Section.remove_prefix(end == std::string_view::npos ? cp1251Section.size() : end + 1);
        if (line.empty())
            continue;
        const std::size_t equals = line.find('=');
        const std::size_t arrow = line.rfind("->");
        std::optional<answers::Verdict> verdict;
        std::optional<answers::Hint> hint;
        if (equals != std::string_view::npos && arrow != std::string_view::npos && equals < arrow) {
            std::string_view verdictText = platform::TrimWhitespace(line.substr(arrow + 2));
            if (TakeHintCode(verdictText, hint))
                verdict = VerdictNamed(verdictText);
        }
        if (!verdict) {
            read.problems.push_back("TESTS: not NAME = ANSWER -> верно/неверно/не принято: " +
                                    platform::Cp1251ToUtf8(line));
            continue;
        }
        read.tests.push_back(
            {std::string(line), std::string(platform::TrimWhitespace(line.substr(0, equals))),
             std::string(platform::TrimWhitespace(line.substr(equals + 1, arrow - equals - 1))),
             *verdict, hint});
    }
    return read;
}

namespace {

// The verdict's word and, when there is one, why (UTF-8): "got "неверно" (…)".
std::string Got(answers::Verdict verdict, const std::string& reason) {
    std::string got = "got \"" + std::string(answers::VerdictWord(verdict)) + "\"";
    if (!reason.empty())
        got += " (" + reason + ")";
    return got;
}

// A drawing test judged on the variant: empty when it gets its verdict, else why not.
std::string RunDrawingTest(const AuthorTest& test, const TaskVariant& variant) {
    if (!variant.task.AsksForDrawing())
        return "the task has no DRAW section";
    // The drawing is read as the wire carries it.
    const std::vector<std::string> entries =
        ReadDrawingEntries(std::string(kDrawingItemOpener) +
                               FillPlaceholders(test.answer, variant.values, '.').text,
                           {})
            .value_or(std::vector<std::string>{});
    drawing::DrawingRead drawn = drawing::ReadDrawnEntries(entries);
    if (!drawn.problem.empty())
        return "the drawing cannot be read: " + drawn.problem;
    for (drawing::DrawnObject& object : drawn.objects)
        object.magnitude = WithParameterValues(object.magnitude, variant.values);
    const TaskDrawingJudgement judged = JudgeTaskDrawing(variant.task, drawn.objects);
    if (!judged.problem.empty())
        return judged.problem;
    if (judged.judgement.verdict == test.expected)
        return {};
    std::string findings;
    for (const std::string& message : FindingMessages(variant.task, judged.judgement))
        findings += (findings.empty() ? "" : "; ") + message;
    return Got(judged.judgement.verdict, findings);
}

} // namespace

std::vector<std::string> RunAuthorTests(const AuthorTests& tests, const TaskVariant& variant) {
    std::vector<std::string> failures;
    for (const AuthorTest& test : tests.tests) {
        const std::string line = "TESTS: " + platform::Cp1251ToUtf8(test.line) + ": ";
        if (test.name == "DRAW") {
            if (const std::string failure = RunDrawingTest(test, variant); !failure.empty())
                failures.push_back(line + failure);
            continue;
        }
        const int row = RowOf(variant.task, test.name);
        if (row < 0 || static_cast<std::size_t>(row) >= variant.task.answers.size()) {
            failures.push_back(line + "no reference answer for " +
                               platform::Cp1251ToUtf8(test.name));
            continue;
        }
        // Judged with hints, whatever the course says, so that a test may name its hint.
        answers::JudgeOptions options = JudgeOptionsOf(variant.task, static_cast<std::size_t>(row));
        options.hints = true;
        const answers::Judgement judgement = answers::JudgeAnswer(
            variant.task.answers[static_cast<std::size_t>(row)],
            WithParameterValues(test.answer, variant.values), variant.task.variables, options);
        if (judgement.verdict == test.expected && (!test.hint || judgement.hint == *test.hint))
            continue;
        if (judgement.verdict == test.expected) {
            const std::string got = answers::HintCode(judgement.hint);
            failures.push_back(line + (got.empty() ? "got no hint" : "got hint \"" + got + "\""));
            continue;
        }
        failures.push_back(
            line + Got(judgement.verdict, answers::Reason(judgement, answers::TextStyle::Unicode)));
    }
    return failures;
}
