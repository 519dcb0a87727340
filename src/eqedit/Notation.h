#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace eqedit {

// The level a glyph of a formula is drawn in. A marker sets an absolute level; levels
// do not nest.
enum State : unsigned char {
    stSuperscript = 0,
    stBaseline = 1,
    stSubscript = 2,
};

// The reserved characters of the formula text.
constexpr char kSuperscriptMarker = '#';
constexpr char kBaselineMarker = '@';
constexpr char kSubscriptMarker = '!';
constexpr char kGreekPrefix = '~';

bool IsLevelMarker(char c);
// A level marker or the Greek prefix: everything that is not drawn.
bool IsReserved(char c);
// Whether a subscript holds the character: a letter (Latin or Cyrillic), a digit or the
// Greek prefix, as answers read a name's subscript. Anything else typed in a subscript
// (an operator, a bracket, "^", a space) goes in on the baseline.
bool SubscriptHolds(char c);
// The level a marker sets; only meaningful for a level marker.
State LevelOfMarker(char c);

// The level in force at position `index` (counted from 1) of `formula`: the nearest
// marker at or before it decides; none, or position 0, gives the baseline. Positions
// past the end are read as the end.
State LevelAt(std::string_view formula, int index);

// The number of glyphs a text draws: every character but the reserved ones.
int EqLength(std::string_view text);

// The character of the "Symbol" font that shows the Greek letter typed as `key`.
std::string ChangeLetter(char key);

// A key that gives a Greek letter after the Greek prefix, and the letter (UTF-8).
struct GreekKey {
    char key;
    std::string letter;
};

// Every key that gives a Greek letter, small letters first, each in alphabetical order of
// its key; read from ChangeLetter and the "Symbol" font, so that it lists what the editor
// draws.
const std::vector<GreekKey>& GreekKeys();

// One step of the walk of a fragment of formula text.
struct WalkStep {
    bool drawn = false; // the character is a glyph
    State level = stBaseline;
    bool greek = false; // the glyph is a Greek letter (drawn in "Symbol")
    std::string glyph;  // what is drawn: the character, or ChangeLetter of it
};

// Walks a fragment left to right from a starting level: markers set the level, the
// Greek prefix raises a flag that survives markers and is cleared by the next glyph.
class FragmentWalk {
public:
    explicit FragmentWalk(State start) : level_(start) {}

    WalkStep Next(char c);
    State Level() const { return level_; }

private:
    State level_;
    bool greekFlag_ = false;
};

} // namespace eqedit
