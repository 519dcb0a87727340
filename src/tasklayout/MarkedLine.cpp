#include "tasklayout/MarkedLine.h"

#include <algorithm>

namespace {

constexpr std::string_view kSymbolTag = "<sym>";
constexpr std::string_view kCloseTagStart = "</";

// Cuts everything up to and including the first `mark` off the front; nothing when absent.
void CutThrough(std::string_view& text, std::string_view mark) {
    const std::size_t at = text.find(mark);
    if (at != std::string_view::npos)
        text.remove_prefix(at + 1);
}

// Sets the canvas's font for a piece, gives the piece to `use`, and puts the font back.
template <typename Use>
void WithPieceFont(platform::Canvas& canvas, const MarkedPiece& piece, Use use) {
    const platform::Font saved = canvas.GetFont();
    canvas.SetFont(piece.symbol ? QuestSymbolFont() : QuestBaseFont());
    use();
    canvas.SetFont(saved);
}

} // namespace

std::vector<MarkedPiece> SplitMarkedLine(std::string_view line) {
    std::vector<MarkedPiece> pieces;
    for (;;) {
        const std::size_t open = line.find('<');
        if (open == std::string_view::npos) {
            pieces.push_back({line, false});
            return pieces;
        }
        pieces.push_back({line.substr(0, open), false});
        line.remove_prefix(open);
        if (line.find('>') == std::string_view::npos &&
            line.find(kCloseTagStart) == std::string_view::npos) {
            pieces.push_back({line, false}); // a "<" that opens nothing: plain text
            return pieces;
        }
        if (line.starts_with(kSymbolTag)) {
            line.remove_prefix(kSymbolTag.size());
            const std::size_t close = line.find(kCloseTagStart);
            pieces.push_back(
                {close == std::string_view::npos ? line.substr(0, 0) : line.substr(0, close),
                 true});
        }
        // Whatever the tag, its content ends at the first byte of the next "</", and the
        // closing tag at the next ">".
        const std::size_t close = line.find(kCloseTagStart);
        if (close != std::string_view::npos)
            line.remove_prefix(close + 1);
        CutThrough(line, ">");
    }
}

platform::Font QuestBaseFont() {
    platform::Font font;
    font.name = "MS Sans Serif";
    font.size = 10;
    font.color = platform::kBlack;
    return font;
}

platform::Font QuestSymbolFont() {
    platform::Font font = QuestBaseFont();
    font.name = "Symbol";
    font.size += 1;
    font.color = platform::Rgb(0, 0, 255);
    return font;
}

LineExtent MeasureMarkedLine(platform::Canvas& canvas, std::string_view line) {
    LineExtent extent;
    for (const MarkedPiece& piece : SplitMarkedLine(line)) {
        WithPieceFont(canvas, piece, [&] {
            extent.width += canvas.TextWidth(piece.text);
            extent.height = std::max(extent.height, canvas.TextHeight(piece.text));
        });
    }
    return extent;
}

void DrawMarkedLine(platform::Canvas& canvas, std::string_view line, int x, int y) {
    for (const MarkedPiece& piece : SplitMarkedLine(line)) {
        if (piece.text.empty())
            continue;
        WithPieceFont(canvas, piece, [&] {
            canvas.TextOut(x, piece.symbol ? y - kSymbolRaise : y, piece.text);
            x += canvas.TextWidth(piece.text);
        });
    }
}
