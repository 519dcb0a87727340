#include "engine/FormulaText.h"

#include "engine/EngineMessages.h"
#include "engine/MarkerPairs.h"

#include "platform/BracketDepth.h"
#include "platform/Convert.h"

#include <array>

namespace {

bool IsMarker(char c) {
    return c == '!' || c == '@' || c == '#';
}

const std::string* BracketError(std::string_view text) {
    const long balance = platform::BracketBalance(text);
    if (balance > 0)
        return &Messages().missingClosingBracket;
    if (balance < 0)
        return &Messages().missingOpeningBracket;
    return nullptr;
}

// A marker that repeats the level in force is redundant: a second "#" inside a
// superscript, a second "!" inside a subscript, any "@" on the baseline.
bool RemoveRepeatedLevels(std::string& text) {
    char level = '@';
    std::size_t kept = 0;
    for (char c : text) {
        if (IsMarker(c)) {
            if (c == level)
                continue;
            level = c;
        }
        text[kept++] = c;
    }
    const bool changed = kept != text.size();
    text.resize(kept);
    return changed;
}

bool IsNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == ',' || c == '-' ||
           c == platform::DecimalChar();
}

std::string_view DropTrailingBaseline(std::string_view text) {
    if (!text.empty() && text.back() == '@')
        text.remove_suffix(1);
    return text;
}

} // namespace

CleanedText CleanFormula(std::string_view source) {
    CleanedText result;
    result.bracketError = BracketError(source);
    if (result.bracketError != nullptr)
        return result;
    std::string& text = result.text;
    text.reserve(source.size());
    for (char c : source)
        if (c != ' ')
            text += c;
    for (bool changed = true; changed;) {
        changed = RemoveMarkerPairs(text);
        changed = RemoveRepeatedLevels(text) || changed;
        if (!text.empty() && IsMarker(text.back()))
            text.pop_back();
    }
    return result;
}

bool IsNumberText(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : DropTrailingBaseline(text))
        if (!IsNumberChar(c))
            return false;
    return true;
}

platform::Result<long double> TextToNumber(std::string_view text) {
    if (text.empty())
        return 0.0L;
    const std::string_view rest = DropTrailingBaseline(text);
    if (rest.empty())
        return platform::Failure{Messages().emptyOperand};
    if (!IsNumberText(rest))
        return 0.0L;
    std::string number(rest);
    const char separator = platform::DecimalChar();
    for (char& c : number)
        if (c == '.' || c == ',')
            c = separator;
    return platform::ReadFloat(number);
}

std::uint8_t FunctionCode(std::string_view name) {
    struct Entry {
        std::string_view name;
        std::uint8_t code;
    };
    static constexpr std::array<Entry, 19> table = {{
        {"cos", fnCos},     {"sin", fnSin},   {"tan", fnTan}, {"cotan", fnCotan},
        {"ctan", fnCotan},  {"log", fnLog},   {"ln", fnLn},   {"exp", fnExp},
        {"abs", fnAbs},     {"sqrt", fnSqrt}, {"up", fnUp},   {"atan", fnAtan},
        {"arctan", fnAtan}, {"cosh", fnCosh}, {"ch", fnCosh}, {"sinh", fnSinh},
        {"sh", fnSinh},     {"tanh", fnTanh}, {"th", fnTanh},
    }};
    if (name.size() > 6)
        return fnNone;
    char lower[6];
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const std::string_view lowered(lower, name.size());
    for (const Entry& entry : table)
        if (entry.name == lowered)
            return entry.code;
    return fnNone;
}
