#include "course/TaskParameters.h"

#include "course/NumberText.h"
#include "platform/Trim.h"

#include "answers/Evaluate.h"
#include "answers/Read.h"
#include "platform/Cp1251.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <random>

namespace {

std::optional<double> Number(std::string_view text) {
    text = platform::TrimWhitespace(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t end; (end = text.find(separator)) != std::string_view::npos;) {
        parts.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    parts.push_back(text);
    return parts;
}

// "8..14" or "8..14 step 2": every value from the low end by the step up to the high end
// (a step that misses the high end by rounding still reaches it).
std::optional<std::vector<double>> Range(std::string_view text, std::string& problem) {
    const std::size_t dots = text.find("..");
    std::string_view rest = text.substr(dots + 2);
    double step = 1;
    if (const std::size_t stepAt = rest.find("step"); stepAt != std::string_view::npos) {
        const std::optional<double> written = Number(rest.substr(stepAt + 4));
        if (!written || !(*written > 0)) {
            problem = "the step is not a number above 0";
            return std::nullopt;
        }
        step = *written;
        rest = rest.substr(0, stepAt);
    }
    const std::optional<double> low = Number(text.substr(0, dots));
    const std::optional<double> high = Number(rest);
    if (!low || !high || *high < *low) {
        problem = "a range is two numbers, the low one first";
        return std::nullopt;
    }
    const double count = std::floor((*high - *low) / step + 1e-9) + 1;
    if (count > static_cast<double>(kMaxParameterValues)) {
        problem = "a range may hold at most " + std::to_string(kMaxParameterValues) + " values";
        return std::nullopt;
    }
    std::vector<double> values;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
        values.push_back(*low + static_cast<double>(i) * step);
    return values;
}

// "30, 45, 60" or one number; nullopt when an item is not a number.
std::optional<std::vector<double>> List(std::string_view text) {
    std::vector<double> values;
    for (std::string_view item : Split(text, ',')) {
        const std::optional<double> value = Number(item);
        if (!value)
            return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

std::vector<std::string> Keys(const std::vector<TaskParameter>& parameters) {
    std::vector<std::string> keys;
    for (const TaskParameter& parameter : parameters)
        keys.push_back(parameter.key);
    return keys;
}

// What keeps a formula over the earlier parameters from being read, or empty.
std::string FormulaProblem(std::string_view formula, const std::vector<TaskParameter>& earlier) {
    const answers::ReadResult read = answers::Read(formula, Keys(earlier));
    if (!read.problem)
        return {};
    return answers::Describe(*read.problem, answers::TextStyle::Unicode);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where a comma stands between two digits ("1,5"): a decimal comma in a list whose items a
// comma and a space separate. npos when there is none.
std::size_t DecimalComma(std::string_view text) {
    for (std::size_t at = 1; at + 1 < text.size(); ++at)
        if (text[at] == ',' && IsDigit(text[at - 1]) && IsDigit(text[at + 1]))
            return at;
    return std::string_view::npos;
}

// The definition with its decimal commas made decimal points, and the message that tells
// the first of them ("... пишите 1.5"), or the definition as it is and no message.
std::string WithDecimalPoints(std::string_view definition, std::string& problem) {
    std::string text(definition);
    const std::size_t first = DecimalComma(text);
    if (first == std::string::npos)
        return text;
    std::size_t from = first, to = first + 1;
    while (from > 0 && IsDigit(text[from - 1]))
        --from;
    while (to < text.size() && IsDigit(text[to]))
        ++to;
    std::string number = text.substr(from, to - from);
    number[first - from] = '.';
    problem = "десятичная запятая? в списке значений запятая разделяет значения, пишите " + number;
    for (std::size_t at = first; at != std::string::npos; at = DecimalComma(text))
        text[at] = '.';
    return text;
}

// Where the next item's name starts when an item holds a second "=" (the ";" between two
// items left out: "F = 8..14 step 2 a = 30, 45"), or npos.
std::size_t NextItemStart(std::string_view item) {
    const std::size_t first = item.find('=');
    const std::size_t second = first == std::string_view::npos ? first : item.find('=', first + 1);
    if (second == std::string_view::npos)
        return std::string_view::npos;
    std::size_t end = second;
    while (end > first + 1 && (item[end - 1] == ' ' || item[end - 1] == '\t'))
        --end;
    std::size_t start = end;
    while (start > first + 1 && item[start - 1] != ' ' && item[start - 1] != '\t')
        --start;
    return start > first + 1 && start < end ? start : std::string_view::npos;
}

// Reads one "NAME = DEFINITION" item into `parameters`, or tells why it cannot.
std::string ReadItem(std::string_view item, std::vector<TaskParameter>& parameters) {
    const std::size_t equals = item.find('=');
    if (equals == std::string_view::npos)
        return "not NAME = VALUES";
    TaskParameter parameter;
    parameter.name = std::string(platform::TrimWhitespace(item.substr(0, equals)));
    const std::optional<std::string> key = answers::NameKey(parameter.name);
    if (!key || answers::IsConstantName(*key))
        return "\"" + platform::Cp1251ToUtf8(parameter.name) + "\" cannot be a parameter's name";
    parameter.key = *key;
    for (const TaskParameter& earlier : parameters)
        if (earlier.key == parameter.key)
            return "\"" + platform::Cp1251ToUtf8(parameter.name) + "\" is defined twice";
    // A decimal comma is told, and read as the point it was meant to be, so that the slip
    // gives one message and not one in every place the parameter is used.
    std::string problem;
    const std::string written =
        WithDecimalPoints(platform::TrimWhitespace(item.substr(equals + 1)), problem);
    const std::string_view definition = written;
    const std::string decimalComma = problem;
    if (definition.find("..") != std::string_view::npos) {
        std::optional<std::vector<double>> values = Range(definition, problem);
        if (!values)
            return problem;
        parameter.values = std::move(*values);
    } else if (std::optional<std::vector<double>> values = List(definition)) {
        parameter.values = std::move(*values);
    } else {
        problem = FormulaProblem(definition, parameters);
        if (!problem.empty())
            return problem;
        parameter.formula = std::string(definition);
    }
    parameters.push_back(std::move(parameter));
    return decimalComma;
}

// An index in 0..count-1, every one equally likely: draws above the largest multiple of
// count are drawn again.
std::size_t Index(std::mt19937_64& generator, std::size_t count) {
    const std::uint64_t span = static_cast<std::uint64_t>(count);
    const std::uint64_t limit = std::mt19937_64::max() - std::mt19937_64::max() % span;
    std::uint64_t drawn = generator();
    while (drawn >= limit)
        drawn = generator();
    return static_cast<std::size_t>(drawn % span);
}

answers::Value Evaluate(const std::string& formula, const ParameterValues& known) {
    std::vector<std::string> keys;
    for (const ParameterValue& value : known)
        keys.push_back(value.key);
    const answers::ReadResult read = answers::Read(formula, keys);
    if (!read.Accepted())
        return {0, "не читается"};
    std::vector<double> values;
    for (const std::string& name : read.formula->names) {
        double value = answers::IsConstantName(name) ? answers::ConstantValue(name) : 0;
        for (const ParameterValue& parameter : known)
            if (parameter.key == name)
                value = parameter.value;
        values.push_back(value);
    }
    return answers::Evaluate(*read.formula, values);
}

} // namespace

TaskParameters ReadTaskParameters(std::string_view cp1251Section) {
    TaskParameters parameters;
    for (std::string_view item : Split(cp1251Section, ';')) {
        item = platform::TrimWhitespace(item);
        if (item.empty())
            continue;
        // Items that a missing ";" runs together are told once and read as if it were there.
        for (std::size_t next; (next = NextItemStart(item)) != std::string_view::npos;) {
            parameters.problems.push_back("PARAMETERS: " + platform::Cp1251ToUtf8(item) +
                                          ": \";\" is missing before \"" +
                                          platform::Cp1251ToUtf8(item.substr(next)) + "\"");
            const std::string_view before = platform::TrimWhitespace(item.substr(0, next));
            if (const std::string problem = ReadItem(before, parameters.items); !problem.empty())
                parameters.problems.push_back("PARAMETERS: " + platform::Cp1251ToUtf8(before) +
                                              ": " + problem);
            item = item.substr(next);
        }
        const std::string problem = ReadItem(item, parameters.items);
        if (!problem.empty())
            parameters.problems.push_back("PARAMETERS: " + platform::Cp1251ToUtf8(item) + ": " +
                                          problem);
    }
    return parameters;
}

DrawnValues DrawValues(const TaskParameters& parameters, std::uint64_t seed) {
    std::mt19937_64 generator(seed);
    DrawnValues drawn;
    for (const TaskParameter& parameter : parameters.items) {
        ParameterValue value{parameter.name, parameter.key, 0};
        if (parameter.formula.empty()) {
            value.value = parameter.values[Index(generator, parameter.values.size())];
        } else {
            const answers::Value computed = Evaluate(parameter.formula, drawn.values);
            if (computed.error != nullptr && drawn.problem.empty())
                drawn.problem = "PARAMETERS: " + platform::Cp1251ToUtf8(parameter.name) +
                                " has no value: " + computed.error;
            value.value = computed.value;
        }
        drawn.values.push_back(value);
    }
    return drawn;
}

namespace {

std::string JoinedValues(const ParameterValues& values, std::string (*number)(double)) {
    std::string text;
    for (const ParameterValue& value : values) {
        if (!text.empty())
            text += "; ";
        text += value.name + " = " + number(value.value);
    }
    return text;
}

std::string ShortNumber(double value) {
    return NumberText(value, -1, '.');
}

} // namespace

std::string ValuesText(const ParameterValues& values) {
    return JoinedValues(values, &ShortNumber);
}

std::string ExactValuesText(const ParameterValues& values) {
    return JoinedValues(values, &ExactNumberText);
}
