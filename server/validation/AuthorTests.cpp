#include "validation/AuthorTests.h"

#include "course/VariantText.h"
#include "judging/Submission.h"
#include "judging/TaskJudging.h"
#include "judging/VerdictMessage.h"
#include "platform/Trim.h"

#include "platform/Cp1251.h"
#include "protocol/ResultItems.h"

#include <algorithm>
#include <map>
#include <optional>

namespace {

using platform::TrimWhitespace;

std::string LowerCase(std::string_view cp1251Text) {
    std::string word(cp1251Text);
    for (char& c : word)
        if (static_cast<unsigned char>(c) >= 0xC0 && static_cast<unsigned char>(c) <= 0xDF)
            c = static_cast<char>(c + 0x20); // CP1251 capitals lie 0x20 below their small letters
        else if (static_cast<unsigned char>(c) == 0xA8)
            c = static_cast<char>(0xB8); // Ё, ё
    return word;
}

// The verdict a word names, in any case of its letters; a carried verdict's rows go to
// `carriedFrom`.
std::optional<answers::Verdict> VerdictNamed(std::string_view cp1251Word,
                                             std::vector<std::string>& carriedFrom) {
    const std::string word = LowerCase(cp1251Word);
    const std::string carried = platform::Utf8ToCp1251(kCarriedVerdict);
    if (word.starts_with(carried)) {
        std::string_view names = cp1251Word.substr(carried.size());
        while (!names.empty()) {
            const std::size_t comma = names.find(',');
            if (const std::string_view name = TrimWhitespace(names.substr(0, comma)); !name.empty())
                carriedFrom.emplace_back(name);
            names.remove_prefix(comma == std::string_view::npos ? names.size() : comma + 1);
        }
        if (carriedFrom.empty())
            return std::nullopt;
        return answers::Verdict::Wrong;
    }
    for (answers::Verdict verdict :
         {answers::Verdict::Right, answers::Verdict::Wrong, answers::Verdict::NotAccepted})
        if (word == platform::Utf8ToCp1251(answers::VerdictWord(verdict)))
            return verdict;
    return std::nullopt;
}

// "a = 4; b = 8": the rows given, in order; nullopt when a part is not NAME = ANSWER. A
// drawing's entries are ";"-ended themselves: "DRAW = ..." is one part whole.
std::optional<std::vector<std::pair<std::string, std::string>>> GivenRows(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> rows;
    const bool drawing = TrimWhitespace(text.substr(0, text.find('='))) == "DRAW";
    while (!text.empty()) {
        const std::size_t end = drawing ? std::string_view::npos : text.find(';');
        const std::string_view part = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t equals = part.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        rows.emplace_back(TrimWhitespace(part.substr(0, equals)),
                          TrimWhitespace(part.substr(equals + 1)));
    }
    if (rows.empty())
        return std::nullopt;
    return rows;
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
        const std::size_t arrow = line.rfind("->");
        AuthorTest test{std::string(line), {}, {}, {}, answers::Verdict::Right, {}};
        std::optional<answers::Verdict> verdict;
        std::optional<std::vector<std::pair<std::string, std::string>>> rows;
        std::optional<answers::Hint> hint;
        if (arrow != std::string_view::npos) {
            std::string_view verdictText = TrimWhitespace(line.substr(arrow + 2));
            if (TakeHintCode(verdictText, hint))
                verdict = VerdictNamed(verdictText, test.carriedFrom);
            rows = GivenRows(line.substr(0, arrow));
        }
        if (!verdict || !rows) {
            read.problems.push_back("TESTS: not NAME = ANSWER -> верно/неверно/не принято: " +
                                    platform::Cp1251ToUtf8(line));
            continue;
        }
        test.expected = *verdict;
        test.name = rows->back().first;
        test.answer = rows->back().second;
        rows->pop_back();
        test.earlier = std::move(*rows);
        test.hint = hint;
        read.tests.push_back(std::move(test));
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

// Whether a judged answer has the verdict a test expects, a carried one from the same rows.
bool HasVerdict(const JudgedAnswer& judged, const AuthorTest& test) {
    if (judged.judgement.verdict != test.expected ||
        judged.carriedFrom.size() != test.carriedFrom.size())
        return false;
    return std::all_of(
        test.carriedFrom.begin(), test.carriedFrom.end(), [&](const std::string& name) {
            return std::any_of(judged.carriedFrom.begin(), judged.carriedFrom.end(),
                               [&](const std::string& carried) {
                                   return answers::NameKey(carried) == answers::NameKey(name);
                               });
        });
}

// A test of answer rows judged on the variant as a submission of those rows: empty when the
// tested row gets its verdict, else why not.
std::string RunRowTest(const AuthorTest& test, const TaskVariant& variant) {
    // Judged with hints, whatever the course says, so that a test may name its hint.
    BankTask task = variant.task;
    task.hints = true;
    std::vector<std::pair<std::string, std::string>> given = test.earlier;
    given.emplace_back(test.name, test.answer);
    // What each row sends so far: an earlier row's name in a later answer stands for it, as
    // the client puts it in; a row not given stays a name, which the judge does not take.
    std::vector<std::string> sent(task.answerNames);
    std::map<std::size_t, std::string> answers;
    int row = -1;
    for (const auto& [name, answer] : given) {
        row = RowOf(task, name);
        if (row < 0 || static_cast<std::size_t>(row) >= task.answers.size())
            return "no reference answer for " + platform::Cp1251ToUtf8(name);
        const auto k = static_cast<std::size_t>(row);
        const std::string withValues = WithParameterValues(answer, variant.values);
        sent[k] = WithEarlierRows(task, k, withValues, sent).value_or(withValues);
        answers[k] = sent[k];
    }
    std::vector<std::string> rows(task.answerNames.size());
    for (const auto& [k, answer] : answers)
        rows[k] = answer;
    const SubmissionVerdict verdict = JudgeAnswers(task, rows, AnswerJudge{});
    const JudgedAnswer& judged = verdict.answers.at(static_cast<std::size_t>(row));
    if (HasVerdict(judged, test)) {
        if (!test.hint || judged.judgement.hint == *test.hint)
            return {};
        const std::string got = answers::HintCode(judged.judgement.hint);
        return got.empty() ? "got no hint" : "got hint \"" + got + "\"";
    }
    std::string got = "got \"" + platform::Cp1251ToUtf8(VerdictText(judged)) + "\"";
    if (const std::string reason = answers::Reason(judged.judgement, answers::TextStyle::Unicode);
        !reason.empty())
        got += " (" + reason + ")";
    return got;
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
        if (const std::string failure = RunRowTest(test, variant); !failure.empty())
            failures.push_back(line + failure);
    }
    return failures;
}
