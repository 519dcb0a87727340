#include "course/VariantText.h"

#include "course/NumberText.h"

#include "answers/Read.h"
#include "platform/Cp1251.h"

#include <optional>

namespace {

// Placeholders are short: a name and a format.
constexpr std::size_t kMaxPlaceholder = 40;

const ParameterValue* Find(const ParameterValues& values, std::string_view name) {
    const std::optional<std::string> key = answers::NameKey(name);
    if (!key)
        return nullptr;
    for (const ParameterValue& value : values)
        if (value.key == *key)
            return &value;
    return nullptr;
}

// The decimals of ".2"; -1 when the format is empty, nullopt when it is not a format.
std::optional<int> Decimals(std::string_view format) {
    if (format.empty())
        return -1;
    if (format.size() == 3 && format.substr(0, 2) == ":." && format[2] >= '0' && format[2] <= '9')
        return format[2] - '0';
    return std::nullopt;
}

bool IsLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// The length of the name that starts at `at` (a letter or "~" and a letter, more letters
// and digits, then a subscript after "!" or "_"), or 0.
std::size_t NameLength(std::string_view text, std::size_t at) {
    std::size_t end = at;
    if (end < text.size() && text[end] == '~')
        ++end;
    if (end >= text.size() || !IsLetter(static_cast<unsigned char>(text[end])))
        return 0;
    const auto wordChar = [&](std::size_t i) {
        const auto c = static_cast<unsigned char>(text[i]);
        return IsLetter(c) || IsDigit(c);
    };
    while (end < text.size() && wordChar(end))
        ++end;
    if (end + 1 < text.size() && (text[end] == '!' || text[end] == '_')) {
        ++end;
        while (end < text.size() && (wordChar(end) || text[end] == '~'))
            ++end;
    }
    return end - at;
}

} // namespace

FilledText FillPlaceholders(std::string_view cp1251Text, const ParameterValues& values,
                            char decimalChar) {
    FilledText filled;
    std::size_t at = 0;
    for (std::size_t open; (open = cp1251Text.find('{', at)) != std::string_view::npos;) {
        // Sought only as far as a placeholder reaches, so that many "{" cost no more
        // than the text is long.
        const std::size_t close = cp1251Text.substr(0, open + kMaxPlaceholder + 1).find('}', open);
        filled.text += cp1251Text.substr(at, open - at);
        at = open + 1;
        if (close == std::string_view::npos) {
            filled.text += '{';
            continue;
        }
        const std::string_view inside = cp1251Text.substr(open + 1, close - open - 1);
        const std::size_t colon = inside.find(':');
        const std::string_view name = inside.substr(0, colon);
        const std::optional<int> decimals =
            Decimals(colon == std::string_view::npos ? "" : inside.substr(colon));
        if (!decimals || !answers::NameKey(name)) {
            filled.text += '{';
            continue;
        }
        if (const ParameterValue* value = Find(values, name)) {
            filled.text += NumberText(value->value, *decimals, decimalChar);
        } else {
            filled.problems.push_back("{" + platform::Cp1251ToUtf8(inside) +
                                      "} names no parameter");
            filled.text += cp1251Text.substr(open, close - open + 1);
        }
        at = close + 1;
    }
    filled.text += cp1251Text.substr(at);
    return filled;
}

std::string WithParameterValues(std::string_view cp1251Formula, const ParameterValues& values) {
    std::string out;
    for (std::size_t at = 0; at < cp1251Formula.size();) {
        // Names are consumed whole, so a name found here starts after a non-letter.
        const std::size_t length = NameLength(cp1251Formula, at);
        if (length == 0) {
            out += cp1251Formula[at++];
            continue;
        }
        const std::string_view name = cp1251Formula.substr(at, length);
        if (const ParameterValue* value = Find(values, name))
            out += "(" + ExactNumberText(value->value) + ")";
        else
            out += name;
        at += length;
    }
    return out;
}
