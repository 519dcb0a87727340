#include "eqedit/EvaluatorNormalise.h"

#include "eqedit/EvaluatorMessages.h"

#include <string_view>

namespace eqedit {

namespace {

bool IsMarker(char c) {
    return c == '#' || c == '!' || c == '@';
}

// Of two different markers side by side only the second has an effect: drops the first
// one of each such pair until none is left.
void DropMarkerPairs(std::string& text) {
    static constexpr std::string_view kPairs[] = {"!@", "!#", "@!", "@#", "#!", "#@"};
    bool found = true;
    while (found) {
        found = false;
        for (std::string_view pair : kPairs) {
            const std::size_t at = text.find(pair);
            if (at != std::string::npos) {
                text.erase(at, 1);
                found = true;
            }
        }
    }
}

// Drops each marker that sets the level already in force; tells whether it dropped any.
bool DropRepeatedLevels(std::string& text) {
    char level = '@';
    bool dropped = false;
    for (std::size_t i = 0; i < text.size();) {
        if (IsMarker(text[i]) && text[i] == level) {
            text.erase(i, 1);
            dropped = true;
            continue;
        }
        if (IsMarker(text[i]))
            level = text[i];
        ++i;
    }
    return dropped;
}

bool IsBoundary(char c) {
    return std::string_view("+-*/()^@#").find(c) != std::string_view::npos;
}

} // namespace

std::string& Filter(std::string& text) {
    do
        DropMarkerPairs(text);
    while (DropRepeatedLevels(text));
    return text;
}

platform::Status SetIndexOrder(std::string& text) {
    bool superscript = false;
    bool subscript = false;
    std::size_t lastHash = std::string::npos;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '#' && superscript)
            return Failed(messages::SuperscriptUnbound(i + 1));
        if (c == '!' && subscript)
            return Failed(messages::SubscriptUnbound(i + 1));
        if (c == '#') {
            lastHash = i;
            superscript = true;
        } else if (c == '@') {
            lastHash = std::string::npos;
            superscript = subscript = false;
        } else if (c == '!') {
            subscript = true;
        }
        if (c != '!' || lastHash == std::string::npos) {
            ++i;
            continue;
        }
        // The subscript runs to the next marker or the end; it moves in front of the "#".
        std::size_t end = text.find_first_of("!#@", i + 1);
        if (end == std::string::npos)
            end = text.size();
        const std::string subscriptText = text.substr(i, end - i);
        text.erase(i, subscriptText.size());
        text.insert(lastHash, subscriptText);
        lastHash = std::string::npos;
        // Everything up to `end` has been seen already (the moved "#" included).
        i = end;
    }
    return platform::Done{};
}

void ReplaceName(std::string& text, const std::string& name, const std::string& replacement,
                 const std::string& baseReplacement) {
    const std::size_t k = name.size();
    if (k == 0)
        return;
    for (std::size_t i = 0; i + k <= text.size();) {
        const bool atStart = i == 0;
        const bool atEnd = i + k == text.size();
        if (text.compare(i, k, name) != 0 || (!atStart && !IsBoundary(text[i - 1])) ||
            (!atEnd && !IsBoundary(text[i + k]))) {
            ++i;
            continue;
        }
        const bool powerBase =
            !atEnd && (text[i + k] == '#' || text[i + k] == '^') && (atStart || text[i - 1] != '^');
        const std::string& inserted = powerBase ? baseReplacement : replacement;
        text.replace(i, k, inserted);
        i += inserted.size();
    }
}

} // namespace eqedit
