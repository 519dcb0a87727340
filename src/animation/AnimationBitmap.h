#pragma once

#include "animation/AnimationPlayer.h"

#include "platform/QtCanvas.h"

#include <QImage>

#include <functional>
#include <memory>

namespace animation {

// The player's bitmap as a QImage with a canvas open on it for as long as it lives. A new
// bitmap is white. `present` is called with every finished frame. The bitmap holds
// PixelRatio() device pixels per drawing pixel (the screen's ratio), so that a dense screen
// shows its lines and text sharp; its size and all drawing are in drawing pixels.
class AnimationBitmap : public FrameSurface {
public:
    explicit AnimationBitmap(std::function<void()> present = {});
    ~AnimationBitmap() override;

    platform::Canvas& Canvas() override { return *canvas_; }
    void Resize(int width, int height) override;
    void Present() override;

    // A new ratio gives a new, white bitmap of the same size in drawing pixels.
    void SetPixelRatio(qreal ratio);
    qreal PixelRatio() const { return ratio_; }

    const QImage& Image() const { return image_; }

private:
    QImage image_;
    int width_ = 1;
    int height_ = 1;
    qreal ratio_ = 1.0;
    std::unique_ptr<platform::QtCanvas> canvas_;
    std::function<void()> present_;
};

} // namespace animation
