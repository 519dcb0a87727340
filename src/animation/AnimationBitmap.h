#pragma once

#include "animation/AnimationPlayer.h"

#include "platform/QtCanvas.h"

#include <QImage>

#include <functional>
#include <memory>

namespace animation {

// The player's bitmap as a QImage with a canvas open on it for as long as it lives. A new
// bitmap is white. `present` is called with every finished frame.
class AnimationBitmap : public FrameSurface {
public:
    explicit AnimationBitmap(std::function<void()> present = {});
    ~AnimationBitmap() override;

    platform::Canvas& Canvas() override { return *canvas_; }
    void Resize(int width, int height) override;
    void Present() override;

    const QImage& Image() const { return image_; }

private:
    QImage image_;
    std::unique_ptr<platform::QtCanvas> canvas_;
    std::function<void()> present_;
};

} // namespace animation
