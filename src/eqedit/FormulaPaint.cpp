// Painting of the formula editor: the visible text with its levels and Greek letters on
// a white field, and the caret sized to the level of the character before it.

#include "eqedit/EditModel.h"
#include "eqedit/FormulaMeasure.h"

#include <algorithm>
#include <array>

namespace eqedit {

namespace {

const char* const kSymbolFontName = "Symbol";

// A selected formula: white glyphs on the selection's dark blue.
constexpr platform::Color kSelectionColor = platform::Rgb(0, 0, 128);

// Where the glyphs of a level (and a caret after them) go: top-aligned superscripts,
// subscripts whose bottom lines up with the bottom of a baseline character; and how high
// a caret there is.
struct LevelPlace {
    int top = 0;
    int height = 0;
};

// Measured once a paint; the canvas is left in the font of the baseline.
std::array<LevelPlace, 3> LevelPlaces(platform::Canvas& canvas, const platform::Font& font) {
    std::array<LevelPlace, 3> places;
    for (State level : {stSuperscript, stSubscript, stBaseline}) {
        SetLevelFont(canvas, font, level);
        places[level].height = canvas.TextHeight("0");
    }
    const int fullHeight = places[stBaseline].height;
    places[stSubscript].top = fullHeight - places[stSubscript].height;
    return places;
}

void DrawGlyph(platform::Canvas& canvas, const platform::Font& font, const WalkStep& step, int x,
               int glyphTop, int baselineHeight) {
    if (step.greek) {
        canvas.SetFontName(kSymbolFontName);
        canvas.TextOut(x, glyphTop, step.glyph);
        canvas.SetFontName(font.name);
    } else if (step.level == stBaseline && step.glyph == "*") {
        // Lowered so that it sits at mid-height like a multiplication dot.
        canvas.TextOut(x, baselineHeight / 4 + glyphTop, step.glyph);
    } else {
        canvas.TextOut(x, glyphTop, step.glyph);
    }
}

} // namespace

CaretShape EditModel::Paint(platform::Canvas& bitmap) const {
    bitmap.SetBrushStyle(platform::BrushStyle::Solid);
    bitmap.SetBrushColor(platform::kWhite);
    bitmap.FillRect(0, 0, width_, height_);
    const std::array<LevelPlace, 3> places = LevelPlaces(bitmap, font_);
    const int baselineHeight = places[stBaseline].height;
    if (selected_) {
        bitmap.SetBrushColor(kSelectionColor);
        bitmap.FillRect(0, 0,
                        std::min(width_, EqWidth(visibleText_,
                                                 GetFirstCaretState(visibleText_, firstVisible_))),
                        baselineHeight);
    }

    CaretShape caret{caretX_, 0, caretWidth_, baselineHeight};
    FragmentWalk walk(GetFirstCaretState(visibleText_, firstVisible_));
    int x = 0;
    for (int i = 1; i <= static_cast<int>(visibleText_.size()); ++i) {
        const WalkStep step = walk.Next(visibleText_[static_cast<std::size_t>(i - 1)]);
        if (step.drawn) {
            SetLevelFont(bitmap, font_, step.level);
            if (selected_)
                bitmap.SetFontColor(platform::kWhite);
            DrawGlyph(bitmap, font_, step, x, places[step.level].top, baselineHeight);
            x += glyphs_.Of(step);
        }
        if (x == caretX_ && firstVisible_ + i - 1 == caretPos_) {
            caret.y = places[walk.Level()].top;
            caret.height = places[walk.Level()].height;
        }
    }
    return caret;
}

} // namespace eqedit
