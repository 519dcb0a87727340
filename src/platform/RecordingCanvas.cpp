#include "platform/RecordingCanvas.h"

namespace platform {

void RecordingCanvas::Record(CanvasCall::Kind kind, int x1, int y1, int x2, int y2,
                             std::string_view text) {
    ++count_;
    if (calls_.size() >= keepAtMost)
        return;
    CanvasCall call;
    call.kind = kind;
    call.x1 = x1;
    call.y1 = y1;
    call.x2 = x2;
    call.y2 = y2;
    call.text = text;
    call.penColor = PenColor();
    call.penWidth = PenWidth();
    call.penStyle = PenStyle();
    call.brushColor = BrushColor();
    call.brushStyle = GetBrushStyle();
    call.font = GetFont();
    calls_.push_back(std::move(call));
}

void RecordingCanvas::LineTo(int x, int y) {
    Record(CanvasCall::Kind::Line, PenX(), PenY(), x, y, {});
    SetPenPosition(x, y);
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Record(CanvasCall::Kind::Rectangle, x1, y1, x2, y2, {});
}

void RecordingCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Record(CanvasCall::Kind::Ellipse, x1, y1, x2, y2, {});
}

void RecordingCanvas::FillRect(int x1, int y1, int x2, int y2) {
    Record(CanvasCall::Kind::FillRect, x1, y1, x2, y2, {});
}

void RecordingCanvas::TextOut(int x, int y, std::string_view text) {
    Record(CanvasCall::Kind::Text, x, y, x, y, text);
}

int RecordingCanvas::TextWidth(std::string_view text) {
    return static_cast<int>(text.size()) * charWidth;
}

int RecordingCanvas::TextHeight(std::string_view) {
    return charHeight;
}

void RecordingCanvas::Clear() {
    calls_.clear();
    count_ = 0;
}

} // namespace platform
