#include "eqedit/LineWidths.h"

#include "eqedit/FormulaMeasure.h"

#include <algorithm>

namespace eqedit {

void GlyphWidths::SetFont(const platform::Font& font) {
    font_ = font;
    Forget();
}

void GlyphWidths::Forget() {
    for (auto& level : widths_)
        for (auto& face : level)
            face.fill(-1);
}

int GlyphWidths::Of(const WalkStep& step) {
    if (!step.drawn)
        return 0;
    const auto byte = static_cast<unsigned char>(step.glyph.at(0));
    int& width = widths_[step.level == stBaseline ? 0 : 1][step.greek ? 1 : 0][byte];
    if (width < 0)
        width = StepWidth(canvas_, font_, step);
    return width;
}

int GlyphWidths::Of(char c, State level, bool greek) {
    WalkStep step;
    step.drawn = true;
    step.level = level;
    step.greek = greek;
    step.glyph = greek ? ChangeLetter(c) : std::string(1, c);
    return Of(step);
}

LineWidths::LineWidths(std::string_view text, GlyphWidths& glyphs) : glyphs_(&glyphs), text_(text) {
    const auto length = text.size();
    sums_.assign(length + 1, 0);
    firstGlyph_.assign(length + 1, static_cast<int>(length));
    lastPrefix_.assign(length, -1);
    levels_.assign(length, stBaseline);
    FragmentWalk walk(stBaseline);
    int prefix = -1; // the last Greek prefix since the last glyph
    for (std::size_t i = 0; i < length; ++i) {
        const WalkStep step = walk.Next(text[i]);
        sums_[i + 1] = sums_[i] + glyphs.Of(step);
        levels_[i] = step.level;
        if (text[i] == kGreekPrefix) {
            prefix = static_cast<int>(i);
        } else if (step.drawn) {
            lastPrefix_[i] = prefix;
            prefix = -1;
        }
    }
    for (std::size_t i = length; i-- > 0;)
        firstGlyph_[i] = IsReserved(text[i]) ? firstGlyph_[i + 1] : static_cast<int>(i);
}

int LineWidths::Width(int from, int to) const {
    const int length = static_cast<int>(text_.size());
    from = std::max(from, 0);
    to = std::min(to, length);
    if (from >= to)
        return 0;
    const int first = firstGlyph_[static_cast<std::size_t>(from)];
    if (first >= to)
        return 0;
    const auto at = static_cast<std::size_t>(first);
    const bool greek = lastPrefix_[at] >= from;
    return glyphs_->Of(text_[at], levels_[at], greek) + sums_[static_cast<std::size_t>(to)] -
           sums_[at + 1];
}

int LineWidths::FittingCount(int from, int most, int limit) const {
    // Widths only grow with the count: the greatest count that fits is found by halving.
    if (limit < 0)
        return 0;
    int low = 0;
    int high = std::max(0, most);
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (Width(from, from + middle) <= limit)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

} // namespace eqedit
