#include "app/SolutionContent.h"

#include "answers/Evaluate.h"
#include "answers/Read.h"
#include "app/AnswerReading.h"
#include "platform/Cp1251.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace {

// A name of the notation as the reading writes it; the server's text when it is no name.
std::string NameReading(const std::string& cp1251) {
    if (const std::optional<std::string> key = answers::NameKey(cp1251))
        return answers::NameText(*key);
    return platform::Cp1251ToUtf8(cp1251);
}

// "(8)/2 ≈ 4": the reading, and the value when the formula holds no name but the
// constants and it is not the same text; the server's text when it does not read.
std::string AnswerReadingText(const std::string& cp1251) {
    const AnswerReading reading = ReadAnswerRow(cp1251, RowNames{});
    if (!reading.formula)
        return cp1251.empty() ? std::string("—") : platform::Cp1251ToUtf8(cp1251);
    std::string text = reading.line;
    std::vector<double> constants;
    for (const std::string& name : reading.formula->names) {
        if (!answers::IsConstantName(name))
            return text;
        constants.push_back(answers::ConstantValue(name));
    }
    const answers::Value value = answers::Evaluate(*reading.formula, constants);
    if (value.error != nullptr || !std::isfinite(value.value))
        return text;
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value.value, std::chars_format::general, 4);
    if (error != std::errc())
        return text;
    std::string number(buffer, end);
    for (char& c : number)
        if (c == '.')
            c = ',';
    if (number != text)
        text += " ≈ " + number;
    return text;
}

} // namespace

SolutionContent ReadSolutionContent(const SolutionMessage& solution) {
    SolutionContent content;
    for (const SolutionRow& row : solution.rows)
        content.rows.push_back({NameReading(row.name), AnswerReadingText(row.answer)});
    content.drawing = !solution.draw.empty() || !solution.drawn.empty();
    if (!content.drawing)
        return content;
    drawing::DrawSection section = drawing::ReadDrawSection(solution.draw);
    content.expected = std::move(section.expected);
    for (const drawing::Expectation& expectation : content.expected)
        for (const drawing::ExpectedObject& object : expectation.objects)
            if (!object.magnitude.empty())
                content.magnitudes.push_back(
                    {answers::NameText(object.name), AnswerReadingText(object.magnitude)});
    // The drawing as it was sent: entries each ended by ";".
    std::vector<std::string> entries;
    std::string_view rest = solution.drawn;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(';'), rest.size());
        if (end > 0)
            entries.emplace_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    drawing::DrawingRead drawn = drawing::ReadDrawnEntries(entries);
    content.drawn = std::move(drawn.objects);
    if (!section.problems.empty())
        content.problem = section.problems.front();
    else if (!drawn.problem.empty())
        content.problem = "ваш рисунок: " + drawn.problem;
    return content;
}
