#pragma once

#include "eqedit/Notation.h"
#include "platform/Canvas.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace eqedit {

// The widths of the editor's glyphs in one control font, each measured once through the
// canvas: by the size of its level (the baseline, or the smaller two) and by whether it is
// drawn in "Symbol".
class GlyphWidths {
public:
    GlyphWidths(platform::Canvas& canvas, const platform::Font& font)
        : canvas_(canvas), font_(font) {
        Forget();
    }

    // A new control font: every width is measured again.
    void SetFont(const platform::Font& font);

    // The width of one step of a walk; reserved characters have none.
    int Of(const WalkStep& step);
    // The width of character `c` drawn at `level`, as a Greek letter or not.
    int Of(char c, State level, bool greek);

private:
    void Forget();

    platform::Canvas& canvas_;
    platform::Font font_;
    // [small level][Greek][byte of the glyph drawn]; -1 when not measured yet.
    std::array<std::array<std::array<int, 256>, 2>, 2> widths_{};
};

// The widths of the fragments of one formula text, from prefix sums over its glyphs, so
// that any fragment is measured in constant time. A fragment is walked from its own first
// character, at the level in force there: only its first glyph can differ from the walk of
// the whole text (a Greek prefix before the fragment does not reach it), and that one is
// taken apart.
class LineWidths {
public:
    LineWidths() = default;
    LineWidths(std::string_view text, GlyphWidths& glyphs);

    // The width of text[from, to) (positions from 0) walked from `from`; what lies past the
    // end of the text counts as nothing.
    int Width(int from, int to) const;
    // The greatest count of characters from `from`, at most `most`, whose width is at most
    // `limit`.
    int FittingCount(int from, int most, int limit) const;

private:
    GlyphWidths* glyphs_ = nullptr;
    std::string text_;
    std::vector<int> sums_;       // sums_[i]: the width of text[0, i) walked from 0
    std::vector<int> firstGlyph_; // the first glyph at or after each position
    // For a glyph: the last Greek prefix after the glyph before it (-1: none), and its level.
    std::vector<int> lastPrefix_;
    std::vector<State> levels_;
};

} // namespace eqedit
