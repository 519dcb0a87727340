#pragma once

#include "animation/AnimationModel.h"

#include "diagram/DrawingContext.h"
#include "platform/Canvas.h"
#include "platform/Result.h"

#include <cstdint>
#include <string>

namespace animation {

// The bitmap a player draws its frames on, and the window that shows them.
class FrameSurface {
public:
    virtual ~FrameSurface() = default;
    // The bitmap's canvas.
    virtual platform::Canvas& Canvas() = 0;
    // A bitmap of a new size; the canvas keeps its pen, brush, font and position.
    virtual void Resize(int width, int height) = 0;
    // The finished frame goes to the window in one piece.
    virtual void Present() = 0;
};

// The animation player without its window: the model, the drawing context on the bitmap's
// canvas, and the run of model time. The caller passes the system tick count (ms) in, so
// that the player's time is whatever the caller says, and arms its timer while Running().
//
// Operations that draw return Done, or the error raised inside the frame (its message
// CP1251). An error stops a run at once, so its message comes once.
class AnimationPlayer {
public:
    // The context is attached to the bitmap's canvas once, here, and captures its font and
    // its white brush.
    explicit AnimationPlayer(FrameSurface& surface);

    // Parses the script (never raises) and sizes the bitmap to the window. A run goes on,
    // now with the new statements.
    void LoadAnimation(const std::string& script);

    // The window opens: the still picture of OBJ and FIRSTOBJ at the initial values with
    // the equations evaluated once.
    platform::Status ShowStill(std::uint32_t tick);
    // "Анимировать": a fresh run of OBJ from the initial values.
    void StartRun(std::uint32_t tick);
    // "Закрыть": the run stops.
    void StopRun() { running_ = false; }

    // One timer step: model time advances by 2 units per second of ticks since the last
    // step (times Omega when Omega is positive), then as StepTo.
    platform::Status TimerStep(std::uint32_t tick);
    // t := time, the equations evaluated, the frame drawn; once t has reached tend the
    // final frame adds LASTOBJ and the run is over.
    platform::Status StepTo(double time);

    // Draws the draw list on the bitmap and presents it. A frame asked for while one is
    // being drawn does nothing.
    platform::Status DrawFrame();

    bool Running() const { return running_; }
    bool Busy() const { return busy_; }
    AnimationModel& Model() { return model_; }
    const AnimationModel& Model() const { return model_; }

private:
    platform::Status DrawStatements();
    platform::Status Advance(double time);

    FrameSurface& surface_;
    diagram::DrawingContext context_;
    AnimationModel model_;
    bool busy_ = false;
    bool running_ = false;
    std::uint32_t currentTick_ = 0;
    std::uint32_t lastTick_ = 0;
};

} // namespace animation
