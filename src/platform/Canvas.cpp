#include "platform/Canvas.h"

namespace platform {

int PointsForPixelHeight(int pixels) {
    return (pixels * 72 + 48) / 96;
}

void Canvas::SetPenWidth(int width) {
    if (width >= 0)
        penWidth_ = width;
}

void Canvas::SetBrushColor(Color color) {
    brushColor_ = color;
    if (brushStyle_ == BrushStyle::Clear)
        brushStyle_ = BrushStyle::Solid;
}

void Canvas::SetBrushStyle(BrushStyle style) {
    brushStyle_ = style;
    if (style == BrushStyle::Clear)
        brushColor_ = kWhite;
}

void Canvas::MoveTo(int x, int y) {
    SetPenPosition(x, y);
}

} // namespace platform
