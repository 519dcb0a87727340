#include "tasklayout/QuestTextLayout.h"

namespace {

// The scan of one line over the text left to lay out (positions from 0 here).
class LineScan {
public:
    LineScan(std::string& text, int limit, const MarkedLineMeasure& measure)
        : text_(text), limit_(limit), measure_(measure) {}

    // The number of bytes that make the next line.
    std::size_t NextLineLength() {
        std::size_t i = 0;       // scan position
        std::size_t breakAt = 0; // bytes up to the last accepted break
        bool accepted = false;   // whether a break was accepted on this line
        for (;;) {
            bool forced = false;
            while (i < text_.size() && text_[i] != ' ') {
                if (text_[i] == '|') {
                    forced = true;
                    break;
                }
                ++i;
            }
            if (forced) {
                text_.erase(i, 1);
                // A "|" before any break of the line: the line is already fresh, so the
                // mark only joins the word's parts and the scan goes on.
                if (!accepted)
                    continue;
                return breakAt;
            }
            const bool last = i + 1 >= text_.size();
            const int width = measure_(std::string_view(text_).substr(0, i + 1)).width;
            if (width + kQuestTextLeft < limit_ && !last) {
                breakAt = i + 1;
                accepted = true;
                ++i;
                continue;
            }
            if (last)
                return text_.size();
            return accepted ? breakAt : 1;
        }
    }

private:
    std::string& text_;
    int limit_;
    const MarkedLineMeasure& measure_;
};

} // namespace

QuestTextLayout LayoutQuestText(std::string_view questText, int imageWidth,
                                const MarkedLineMeasure& measure) {
    std::string text(questText.substr(0, kMaxQuestTextBytes));
    text += ' ';
    QuestTextLayout layout;
    int y = kQuestTextTop;
    LineScan scan(text, imageWidth - 60, measure);
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
