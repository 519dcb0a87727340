#pragma once

#include "eqedit/Notation.h"
#include "platform/Canvas.h"

#include <string_view>

namespace eqedit {

// The superscript and subscript levels are drawn this many points smaller.
constexpr int kLevelSizeStep = 4;

// The font size of a level; never below one point, so that a tiny control font still
// gives a font that can be drawn.
int LevelFontSize(const platform::Font& font, State level);

// Sets the canvas to the font of a level: the control's font itself on the baseline,
// the reduced size on the other two.
void SetLevelFont(platform::Canvas& canvas, const platform::Font& font, State level);

// The width of one step of a walk: its glyph in the font of its level, a Greek letter
// in "Symbol". Reserved characters have no width.
int StepWidth(platform::Canvas& canvas, const platform::Font& font, const WalkStep& step);

// The width in pixels of a fragment drawn from the starting level `level`; each glyph
// is measured by itself.
int EqWidth(platform::Canvas& canvas, const platform::Font& font, std::string_view text,
            State level);

} // namespace eqedit
