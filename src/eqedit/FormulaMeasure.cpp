#include "eqedit/FormulaMeasure.h"

#include <algorithm>

namespace eqedit {

namespace {
const char* const kSymbolFontName = "Symbol";
}

int LevelFontSize(const platform::Font& font, State level) {
    if (level == stBaseline)
        return font.size;
    return std::max(1, font.size - kLevelSizeStep);
}

void SetLevelFont(platform::Canvas& canvas, const platform::Font& font, State level) {
    canvas.SetFont(font);
    canvas.SetFontSize(LevelFontSize(font, level));
}

int StepWidth(platform::Canvas& canvas, const platform::Font& font, const WalkStep& step) {
    if (!step.drawn)
        return 0;
    SetLevelFont(canvas, font, step.level);
    if (!step.greek)
        return canvas.TextWidth(step.glyph);
    canvas.SetFontName(kSymbolFontName);
    const int width = canvas.TextWidth(step.glyph);
    canvas.SetFontName(font.name);
    return width;
}

int EqWidth(platform::Canvas& canvas, const platform::Font& font, std::string_view text,
            State level) {
    FragmentWalk walk(level);
    int width = 0;
    for (char c : text)
        width += StepWidth(canvas, font, walk.Next(c));
    return width;
}

} // namespace eqedit
