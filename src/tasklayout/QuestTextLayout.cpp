#include "tasklayout/QuestTextLayout.h"

namespace {

// Whether the visible pieces of a longer line go on from those of a shorter one: the same
// pieces, the last of them perhaps longer, then perhaps more. Its width then is no less.
bool PiecesGoOn(std::string_view shorter, std::string_view longer) {
    if (longer.substr(0, shorter.size()).find('<') == std::string_view::npos)
        return true; // no markup: the longer plain text starts with the shorter one
    const std::vector<MarkedPiece> before = SplitMarkedLine(shorter);
    const std::vector<MarkedPiece> after = SplitMarkedLine(longer);
    if (after.size() < before.size())
        return false;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const bool last = i + 1 == before.size();
        const MarkedPiece& was = before[i];
        const MarkedPiece& is = after[i];
        if (is.symbol != was.symbol || is.text.data() != was.text.data() ||
            (last ? is.text.size() < was.text.size() : is.text.size() != was.text.size()))
            return false;
    }
    return true;
}

// The scan of one line over the text left to lay out (positions from 0 here). The line may
// end after any space up to the first "|" met after one; it ends before the first of
// those ends whose line is too wide. A line's width grows as words are added to it
// (kerning never takes back a whole glyph), so the ends are measured only around the
// place where the line's width is guessed to reach the limit, and an end in the middle of
// markup that hides what a shorter line showed is measured on its own.
class LineScan {
public:
    LineScan(std::string& text, int imageWidth, const MarkedLineMeasure& measure)
        : text_(text), limit_(imageWidth - 60), imageWidth_(imageWidth), measure_(measure) {}

    // The number of bytes that make the next line.
    std::size_t NextLineLength() {
        // A "|" in the line's first word only joins its parts: the line is already fresh.
        std::size_t i = 0;
        while (text_[i] != ' ') {
            if (text_[i] == '|')
                text_.erase(i, 1);
            else
                ++i;
        }
        ends_.clear();
        endsAtBar_ = false;
        endsKnown_ = false;
        scanned_ = i;
        const std::size_t fitting = FittingEnds();
        if (fitting < ends_.size())
            return fitting == 0 ? 1 : ends_[fitting - 1];
        // Every end fits: the last word goes onto the line while the line shows whole, or a
        // "|" ends it.
        if (endsAtBar_) {
            text_.erase(barAt_, 1);
            return ends_.back();
        }
        if (LastLineShows())
            return text_.size();
        return ends_.empty() ? 1 : ends_.back();
    }

private:
    // Whether the line may end at the k-th end (from 0); finds the ends as they are asked
    // for. The space that ends the text is no end: the last word always goes on the line.
    bool HasEnd(std::size_t k) {
        while (ends_.size() <= k && !endsKnown_) {
            if (scanned_ + 1 >= text_.size()) {
                endsKnown_ = true;
                break;
            }
            ends_.push_back(scanned_ + 1);
            scanned_ = text_.find_first_of(" |", scanned_ + 1); // the text ends with a space
            if (text_[scanned_] == '|') {
                endsAtBar_ = true;
                barAt_ = scanned_;
                endsKnown_ = true;
            }
        }
        return k < ends_.size();
    }

    std::string_view Line(std::size_t k) const {
        return std::string_view(text_).substr(0, ends_[k]);
    }

    bool Fits(std::size_t k) {
        const int width = measure_(Line(k)).width;
        widthPerByte_ = static_cast<double>(width) / static_cast<double>(ends_[k]);
        return width + kQuestTextLeft < limit_;
    }

    // The text's last word may reach past the limit, but not past the picture's right
    // edge, where it would be cut off: it then goes onto a line of its own, and is cut
    // one byte a line while even that is too wide, as any other word.
    bool LastLineShows() const {
        const std::string_view line = std::string_view(text_).substr(0, text_.size() - 1);
        return line.empty() || kQuestTextLeft + measure_(line).width <= imageWidth_;
    }

    bool GuessedToFit(std::size_t k) const {
        return widthPerByte_ * static_cast<double>(ends_[k]) + kQuestTextLeft < limit_;
    }

    // The number of leading ends whose lines fit, before the first that does not.
    std::size_t FittingEnds() {
        std::size_t fitting = 0; // the ends before this one are known to fit
        while (HasEnd(fitting)) {
            // The last end guessed to fit, over ends whose widths grow one after another.
            std::size_t guess = fitting;
            while (widthPerByte_ > 0 && HasEnd(guess + 1) && GuessedToFit(guess + 1) &&
                   PiecesGoOn(Line(guess), Line(guess + 1)))
                ++guess;
            if (Fits(guess)) {
                fitting = guess + 1;
                continue;
            }
            while (guess > fitting && !Fits(guess - 1))
                --guess;
            return guess;
        }
        return fitting;
    }

    std::string& text_;
    int limit_;
    int imageWidth_;
    const MarkedLineMeasure& measure_;
    std::vector<std::size_t> ends_; // the line's possible ends, as lengths
    std::size_t scanned_ = 0;       // the last space or "|" looked at
    bool endsKnown_ = false;        // every end of the line is in ends_
    bool endsAtBar_ = false;        // ... and a "|" follows the last
    std::size_t barAt_ = 0;
    double widthPerByte_ = 0; // of the line measured last, for guessing
};

} // namespace

QuestTextLayout LayoutQuestText(std::string_view questText, int imageWidth,
                                const MarkedLineMeasure& measure) {
    std::string text(questText.substr(0, kMaxQuestTextBytes));
    text += ' ';
    QuestTextLayout layout;
    int y = kQuestTextTop;
    LineScan scan(text, imageWidth, measure);
    while (!text.empty() && layout.lines.size() < kMaxQuestLines) {
        const std::size_t length = scan.NextLineLength();
        if (length == 0)
            break;
        QuestLine line{text.substr(0, length), 0};
        y += measure(line.text).height;
        line.top = y;
        layout.lines.push_back(std::move(line));
        text.erase(0, length);
    }
    layout.height = y + kQuestTextBottomMargin;
    return layout;
}

QuestTextLayout LayoutQuestText(std::string_view questText, int imageWidth,
                                platform::Canvas& canvas) {
    return LayoutQuestText(questText, imageWidth, [&canvas](std::string_view line) {
        return MeasureMarkedLine(canvas, line);
    });
}

void DrawQuestText(platform::Canvas& canvas, const QuestTextLayout& layout) {
    for (const QuestLine& line : layout.lines)
        DrawMarkedLine(canvas, line.text, kQuestTextLeft, line.top);
}
