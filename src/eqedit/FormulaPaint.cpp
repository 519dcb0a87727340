// Painting of the formula editor: the visible text with its levels and Greek letters on
// a white field, and the caret sized to the level of the character before it.

#include "eqedit/EditModel.h"
#include "eqedit/FormulaMeasure.h"

namespace eqedit {

namespace {

const char* const kSymbolFontName = "Symbol";

// Sets the canvas to the font of a level and returns the y at which its glyphs (and a
// caret after them) go: top-aligned superscripts, subscripts whose bottom lines up with
// the bottom of a baseline character.
int SetPaintLevel(platform::Canvas& canvas, const platform::Font& font, State level) {
    SetLevelFont(canvas, font, stBaseline);
    if (level == stBaseline)
        return 0;
    const int fullHeight = canvas.TextHeight("0");
    canvas.SetFontSize(LevelFontSize(font, level));
    return level == stSubscript ? fullHeight - canvas.TextHeight("0") : 0;
}

void DrawGlyph(platform::Canvas& canvas, const platform::Font& font, const WalkStep& step, int x,
               int glyphTop) {
    if (step.greek) {
        canvas.SetFontName(kSymbolFontName);
        canvas.TextOut(x, glyphTop, step.glyph);
        canvas.SetFontName(font.name);
    } else if (step.level == stBaseline && step.glyph == "*") {
        // Lowered so that it sits at mid-height like a multiplication dot.
        canvas.TextOut(x, canvas.TextHeight("0") / 4 + glyphTop, step.glyph);
    } else {
        canvas.TextOut(x, glyphTop, step.glyph);
    }
}

} // namespace

CaretShape EditModel::Paint(platform::Canvas& bitmap) const {
    bitmap.SetBrushStyle(platform::BrushStyle::Solid);
    bitmap.SetBrushColor(platform::kWhite);
    bitmap.FillRect(0, 0, width_, height_);
    bitmap.SetFont(font_);

    CaretShape caret{caretX_, 0, caretWidth_, bitmap.TextHeight("0")};
    FragmentWalk walk(GetFirstCaretState(visibleText_, firstVisible_));
    int x = 0;
    for (int i = 1; i <= static_cast<int>(visibleText_.size()); ++i) {
        const WalkStep step = walk.Next(visibleText_[static_cast<std::size_t>(i - 1)]);
        if (step.drawn) {
            DrawGlyph(bitmap, font_, step, x, SetPaintLevel(bitmap, font_, step.level));
            x += StepWidth(measure_, font_, step);
        }
        if (x == caretX_ && firstVisible_ + i - 1 == caretPos_) {
            caret.y = SetPaintLevel(bitmap, font_, walk.Level());
            caret.height = bitmap.TextHeight("0");
        }
    }
    return caret;
}

} // namespace eqedit
