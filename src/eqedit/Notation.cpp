#include "eqedit/Notation.h"

#include "platform/SymbolFont.h"

#include <algorithm>

namespace eqedit {

bool IsLevelMarker(char c) {
    return c == kSuperscriptMarker || c == kBaselineMarker || c == kSubscriptMarker;
}

bool IsReserved(char c) {
    return IsLevelMarker(c) || c == kGreekPrefix;
}

bool SubscriptHolds(char c) {
    const auto code = static_cast<unsigned char>(c);
    return (code >= '0' && code <= '9') || (code >= 'a' && code <= 'z') ||
           (code >= 'A' && code <= 'Z') || code >= 0xC0 || code == 0xA8 || code == 0xB8 ||
           c == kGreekPrefix;
}

State LevelOfMarker(char c) {
    switch (c) {
    case kSuperscriptMarker:
        return stSuperscript;
    case kSubscriptMarker:
        return stSubscript;
    default:
        return stBaseline;
    }
}

State LevelAt(std::string_view formula, int index) {
    const int last = std::min(index, static_cast<int>(formula.size()));
    for (int i = last; i >= 1; --i) {
        const char c = formula[static_cast<std::size_t>(i - 1)];
        if (IsLevelMarker(c))
            return LevelOfMarker(c);
    }
    return stBaseline;
}

int EqLength(std::string_view text) {
    return static_cast<int>(
        std::count_if(text.begin(), text.end(), [](char c) { return !IsReserved(c); }));
}

std::string ChangeLetter(char key) {
    // The Symbol font puts these six letters at other codes than their Latin keys.
    switch (key) {
    case 'f':
        return "j";
    case 'j':
        return "q";
    case 'q':
        return "x";
    case 'u':
        return "y";
    case 'x':
        return "c";
    case 'y':
        return "u";
    default:
        return std::string(1, key);
    }
}

namespace {

bool IsGreekLetter(char32_t c) {
    return c >= U'\u0391' && c <= U'\u03FF';
}

void AddGreekKeys(char first, char last, std::vector<GreekKey>& keys) {
    for (char key = first; key <= last; ++key) {
        const std::string shown = ChangeLetter(key);
        if (shown.size() == 1 &&
            IsGreekLetter(platform::SymbolFontToUnicode(static_cast<unsigned char>(shown[0]))))
            keys.push_back({key, platform::SymbolTextToUtf8(shown)});
    }
}

} // namespace

const std::vector<GreekKey>& GreekKeys() {
    static const std::vector<GreekKey> keys = [] {
        std::vector<GreekKey> all;
        AddGreekKeys('a', 'z', all);
        AddGreekKeys('A', 'Z', all);
        return all;
    }();
    return keys;
}

WalkStep FragmentWalk::Next(char c) {
    WalkStep step;
    if (IsLevelMarker(c)) {
        level_ = LevelOfMarker(c);
    } else if (c == kGreekPrefix) {
        greekFlag_ = true;
    } else {
        step.drawn = true;
        step.greek = greekFlag_;
        step.glyph = greekFlag_ ? ChangeLetter(c) : std::string(1, c);
        greekFlag_ = false;
    }
    step.level = level_;
    return step;
}

} // namespace eqedit
