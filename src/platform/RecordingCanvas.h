#pragma once

#include "platform/Canvas.h"

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// One drawing call and the canvas state it was made with.
struct CanvasCall {
    enum class Kind { Line, Rectangle, Ellipse, FillRect, Text };
    Kind kind = Kind::Line;
    // A line runs from (x1, y1) to (x2, y2); text is drawn at (x1, y1).
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string text;
    Color penColor = kBlack;
    int penWidth = 1;
    int penStyle = kPenSolid;
    Color brushColor = kWhite;
    BrushStyle brushStyle = BrushStyle::Solid;
    Font font;
};

// A canvas that draws nothing and writes down every call, for tests of drawing logic and
// for fuzzing. Text is measured with a fixed-width fake: each byte is charWidth wide and a
// line is charHeight high. With a call limit set, calls beyond it are counted but not kept.
class RecordingCanvas : public Canvas {
public:
    int charWidth = 8;
    int charHeight = 16;
    std::size_t keepAtMost = static_cast<std::size_t>(-1);

    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void FillRect(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, std::string_view text) override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;

    const std::vector<CanvasCall>& Calls() const { return calls_; }
    std::size_t CallCount() const { return count_; }
    void Clear();

private:
    void Record(CanvasCall::Kind kind, int x1, int y1, int x2, int y2, std::string_view text);

    std::vector<CanvasCall> calls_;
    std::size_t count_ = 0;
};

} // namespace platform
