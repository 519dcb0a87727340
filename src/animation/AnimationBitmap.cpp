#include "animation/AnimationBitmap.h"

#include "platform/RecordingCanvas.h"

#include <QColor>

namespace animation {

namespace {

// Pen, brush (colour first, so that a clear style stays clear), font and position.
void CopyCanvasState(const platform::Canvas& from, platform::Canvas& to) {
    to.SetPenColor(from.PenColor());
    to.SetPenWidth(from.PenWidth());
    to.SetPenStyle(from.PenStyle());
    to.SetBrushColor(from.BrushColor());
    to.SetBrushStyle(from.GetBrushStyle());
    to.SetFont(from.GetFont());
    to.MoveTo(from.PenX(), from.PenY());
}

} // namespace

AnimationBitmap::AnimationBitmap(std::function<void()> present) : present_(std::move(present)) {
    Resize(1, 1);
}

AnimationBitmap::~AnimationBitmap() = default;

void AnimationBitmap::Resize(int width, int height) {
    // The painter leaves the old image before it is replaced; its state waits meanwhile.
    platform::RecordingCanvas state;
    if (canvas_)
        CopyCanvasState(*canvas_, state);
    canvas_.reset();
    width_ = width;
    height_ = height;
    image_ = platform::SurfaceImage(width, height, ratio_);
    image_.fill(Qt::white);
    canvas_ = std::make_unique<platform::QtCanvas>(&image_);
    CopyCanvasState(state, *canvas_);
}

void AnimationBitmap::SetPixelRatio(qreal ratio) {
    if (ratio == ratio_)
        return;
    ratio_ = ratio;
    Resize(width_, height_);
}

void AnimationBitmap::Present() {
    if (present_)
        present_();
}

} // namespace animation
