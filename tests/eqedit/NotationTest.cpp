#include "eqedit/Notation.h"
#include "FakeCanvas.h"
#include "eqedit/FormulaMeasure.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

using namespace eqedit;

namespace {

struct Glyph {
    std::string text;
    State level;
    bool greek;
    bool operator==(const Glyph&) const = default;
};

std::vector<Glyph> Glyphs(const std::string& text, State start = stBaseline) {
    std::vector<Glyph> glyphs;
    FragmentWalk walk(start);
    for (char c : text) {
        const WalkStep step = walk.Next(c);
        if (step.drawn)
            glyphs.push_back({step.glyph, step.level, step.greek});
    }
    return glyphs;
}

} // namespace

TEST(Notation, LevelAtIsDecidedByTheNearestMarkerAtOrBeforeThePosition) {
    EXPECT_EQ(LevelAt("", 0), stBaseline);
    EXPECT_EQ(LevelAt("", 3), stBaseline);
    EXPECT_EQ(LevelAt("x!1", 0), stBaseline);
    EXPECT_EQ(LevelAt("x!1", 1), stBaseline);
    EXPECT_EQ(LevelAt("x!1", 2), stSubscript); // just after the marker
    EXPECT_EQ(LevelAt("a#2@b", 3), stSuperscript);
    EXPECT_EQ(LevelAt("a#2@b", 4), stBaseline);
    EXPECT_EQ(LevelAt("dfgh@e!33#4", 9), stSubscript);
    EXPECT_EQ(LevelAt("dfgh@e!33#4", 11), stSuperscript);
    // Levels do not nest and nothing has to be closed.
    EXPECT_EQ(LevelAt("  R!A#2", 7), stSuperscript);
    // A position past the end reads as the end.
    EXPECT_EQ(LevelAt("x#2", 99), stSuperscript);
    EXPECT_EQ(LevelAt("x#2", -1), stBaseline);
}

TEST(Notation, EqLengthCountsGlyphsOnly) {
    EXPECT_EQ(EqLength(""), 0);
    EXPECT_EQ(EqLength(" W!Ra"), 4);
    EXPECT_EQ(EqLength("~p"), 1);
    EXPECT_EQ(EqLength("a#@b"), 2);
    EXPECT_EQ(EqLength(" y = cos(x#2@) + tan(z!1@)"), 22);
    EXPECT_EQ(EqLength("~"), 0);
}

TEST(Notation, ChangeLetterRemapsSixLowercaseKeysOnly) {
    const std::pair<char, const char*> table[] = {{'f', "j"}, {'j', "q"}, {'q', "x"},
                                                  {'u', "y"}, {'x', "c"}, {'y', "u"}};
    for (auto [key, drawn] : table)
        EXPECT_EQ(ChangeLetter(key), drawn) << key;
    EXPECT_EQ(ChangeLetter('p'), "p");
    EXPECT_EQ(ChangeLetter('w'), "w");
    EXPECT_EQ(ChangeLetter('F'), "F"); // capitals are not remapped
    EXPECT_EQ(ChangeLetter('1'), "1");
}

TEST(Notation, GreekKeysAreEveryLetterKeyOnceWithTheLetterDrawn) {
    const std::vector<GreekKey>& keys = GreekKeys();
    EXPECT_EQ(keys.size(), 52u); // a..z and A..Z; digits and signs give no Greek letter
    std::string seen;
    for (const GreekKey& entry : keys) {
        EXPECT_EQ(seen.find(entry.key), std::string::npos) << entry.key;
        seen += entry.key;
    }
    const std::pair<char, const char*> table[] = {{'a', "α"}, {'b', "β"}, {'f', "φ"}, {'j', "θ"},
                                                  {'q', "ξ"}, {'t', "τ"}, {'w', "ω"}, {'W', "Ω"},
                                                  {'F', "Φ"}, {'V', "ς"}};
    for (auto [key, letter] : table) {
        const auto at = std::find_if(keys.begin(), keys.end(),
                                     [key](const GreekKey& entry) { return entry.key == key; });
        ASSERT_NE(at, keys.end()) << key;
        EXPECT_EQ(at->letter, letter) << key;
    }
    EXPECT_EQ(keys.front().key, 'a');
    EXPECT_EQ(keys[26].key, 'A');
}

TEST(Notation, WalkCutsTextIntoGlyphsOfOneLevel) {
    EXPECT_TRUE(Glyphs("").empty());
    EXPECT_TRUE(Glyphs("~").empty());
    EXPECT_EQ(Glyphs("R!A#2"), (std::vector<Glyph>{{"R", stBaseline, false},
                                                   {"A", stSubscript, false},
                                                   {"2", stSuperscript, false}}));
    // Redundant markers change nothing.
    EXPECT_EQ(Glyphs("a#@b"), Glyphs("ab"));
    // The Greek flag survives markers and a second prefix changes nothing.
    EXPECT_EQ(Glyphs("~#p"), (std::vector<Glyph>{{"p", stSuperscript, true}}));
    EXPECT_EQ(Glyphs("~~f"), (std::vector<Glyph>{{"j", stBaseline, true}}));
    EXPECT_EQ(Glyphs("~Fa"),
              (std::vector<Glyph>{{"F", stBaseline, true}, {"a", stBaseline, false}}));
    // A fragment that starts inside a subscript.
    EXPECT_EQ(Glyphs("1@b", stSubscript),
              (std::vector<Glyph>{{"1", stSubscript, false}, {"b", stBaseline, false}}));
}

TEST(Notation, EqWidthSumsGlyphsInTheFontsOfTheirLevels) {
    FakeCanvas canvas;
    platform::Font font;
    font.size = 14; // 7 pixels a glyph, 5 in the small levels
    EXPECT_EQ(EqWidth(canvas, font, "", stBaseline), 0);
    EXPECT_EQ(EqWidth(canvas, font, "ab", stBaseline), 14);
    EXPECT_EQ(EqWidth(canvas, font, "a#@b", stBaseline), 14);
    EXPECT_EQ(EqWidth(canvas, font, "x#2", stBaseline), 12);
    EXPECT_EQ(EqWidth(canvas, font, "x#2", stSubscript), 10);
    EXPECT_EQ(EqWidth(canvas, font, "~p!~w", stBaseline), 12);
    // A tiny font still gives drawable small levels.
    font.size = 3;
    EXPECT_EQ(LevelFontSize(font, stSuperscript), 1);
    EXPECT_EQ(LevelFontSize(font, stBaseline), 3);
}
