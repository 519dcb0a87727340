#include "course/AnswerRules.h"

#include "answers/Read.h"
#include "platform/Cp1251.h"
#include "platform/Trim.h"

#include <optional>

namespace {

using platform::TrimWhitespace;

// The row of a requested name, by its key ("R_B" is "R!B"); -1 when none.
int RowNamed(std::string_view name, const std::vector<std::string>& requested) {
    const std::optional<std::string> key = answers::NameKey(name);
    for (std::size_t row = 0; key && row < requested.size(); ++row)
        if (answers::NameKey(requested[row]) == key)
            return static_cast<int>(row);
    return -1;
}

// The items of a list separated by `separator`, trimmed; a blank rest is no item.
std::vector<std::string_view> Items(std::string_view list, char separator) {
    std::vector<std::string_view> items;
    while (!TrimWhitespace(list).empty()) {
        const std::size_t end = list.find(separator);
        items.push_back(TrimWhitespace(list.substr(0, end)));
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    }
    return items;
}

} // namespace

FeedbackLines ReadFeedbackLines(std::string_view cp1251Section) {
    FeedbackLines read;
    while (!cp1251Section.empty()) {
        const std::size_t end = cp1251Section.find('\n');
        const std::string_view line = TrimWhitespace(cp1251Section.substr(0, end));
        cp1251Section.remove_prefix(end == std::string_view::npos ? cp1251Section.size() : end + 1);
        if (line.empty())
            continue;
        const std::size_t equals = line.find('=');
        const std::size_t arrow = line.find("->", equals == std::string_view::npos ? 0 : equals);
        FeedbackLine feedback{std::string(line), {}, {}, {}};
        if (equals != std::string_view::npos && arrow != std::string_view::npos) {
            feedback.name = TrimWhitespace(line.substr(0, equals));
            feedback.answer = TrimWhitespace(line.substr(equals + 1, arrow - equals - 1));
            feedback.text = TrimWhitespace(line.substr(arrow + 2));
        }
        if (feedback.name.empty() || feedback.answer.empty() || feedback.text.empty()) {
            read.problems.push_back("FEEDBACK: not NAME = ANSWER -> text: " +
                                    platform::Cp1251ToUtf8(line));
            continue;
        }
        read.lines.push_back(std::move(feedback));
    }
    return read;
}

CarryRules ReadCarryRules(std::string_view cp1251Section,
                          const std::vector<std::string>& requestedNames) {
    CarryRules read;
    for (const std::string_view item : Items(cp1251Section, ';')) {
        const std::string told = "CARRY: " + platform::Cp1251ToUtf8(item) + ": ";
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos) {
            read.problems.push_back(told + "not ROW: NAME, NAME");
            continue;
        }
        CarryRule rule{std::string(TrimWhitespace(item.substr(0, colon))), {}};
        const int row = RowNamed(rule.row, requestedNames);
        if (row < 0) {
            read.problems.push_back(told + platform::Cp1251ToUtf8(rule.row) +
                                    " is not a requested name");
            continue;
        }
        std::string wrong;
        for (const std::string_view name : Items(item.substr(colon + 1), ',')) {
            const int from = RowNamed(name, requestedNames);
            if (from < 0 || from >= row)
                wrong += (wrong.empty() ? "" : ", ") + platform::Cp1251ToUtf8(name);
            else
                rule.from.emplace_back(name);
        }
        if (!wrong.empty())
            read.problems.push_back(told + wrong + " is not a row requested before " +
                                    platform::Cp1251ToUtf8(rule.row));
        else if (rule.from.empty())
            read.problems.push_back(told + "names no earlier row");
        else
            read.rules.push_back(std::move(rule));
    }
    return read;
}
