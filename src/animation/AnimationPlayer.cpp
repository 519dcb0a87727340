#include "animation/AnimationPlayer.h"

#include "animation/StatementRewrite.h"
#include "animation/WindowGeometry.h"

#include "platform/Convert.h"
#include "platform/Error.h"

namespace animation {

namespace {

// Model time runs at 2 units per second of ticks.
constexpr double kTimePerTick = 0.002;

// Runs an operation that may raise the client's error; gives its message, or empty text.
template <typename Operation> std::string MessageOf(Operation operation) {
    try {
        operation();
    } catch (const platform::Error& error) {
        return error.what();
    }
    return {};
}

} // namespace

AnimationPlayer::AnimationPlayer(FrameSurface& surface) : surface_(surface) {
    diagram::InitContext(context_);
    surface_.Resize(model_.Width, model_.Height);
    diagram::AttachCanvas(context_, surface_.Canvas());
}

void AnimationPlayer::LoadAnimation(const std::string& script) {
    const int width = model_.Width;
    const int height = model_.Height;
    animation::LoadAnimation(model_, script);
    if (model_.Width != width || model_.Height != height) {
        surface_.Resize(model_.Width, model_.Height);
        context_.canvas = &surface_.Canvas();
    }
}

std::string AnimationPlayer::ShowStill(std::uint32_t tick) {
    model_.DrawList = model_.ObjList;
    model_.DrawList.insert(model_.DrawList.end(), model_.FirstObjList.begin(),
                           model_.FirstObjList.end());
    model_.Values.AssignTable(&model_.InitialValues);
    currentTick_ = lastTick_ = tick;
    return MessageOf([this] {
        StopFrameIfUnreadable(EvaluateFunctions(model_));
        DrawFrameOrThrow();
    });
}

void AnimationPlayer::StartRun(std::uint32_t tick) {
    model_.DrawList = model_.ObjList;
    model_.Values.AssignTable(&model_.InitialValues);
    currentTick_ = lastTick_ = tick;
    running_ = true;
}

std::string AnimationPlayer::TimerStep(std::uint32_t tick) {
    running_ = false;
    currentTick_ = tick;
    return MessageOf([this] {
        double time = ValueForFrame(model_.Values, "t");
        const double omega = ValueForFrame(model_.Values, "Omega");
        // Ticks wrap at 2^32; their difference does not.
        const double elapsed = static_cast<std::uint32_t>(currentTick_ - lastTick_);
        time += omega > 0 ? omega * elapsed * kTimePerTick : elapsed * kTimePerTick;
        StepToOrThrow(time);
    });
}

std::string AnimationPlayer::StepTo(double time) {
    running_ = false;
    return MessageOf([this, time] { StepToOrThrow(time); });
}

void AnimationPlayer::StepToOrThrow(double time) {
    model_.Values.SetNumber("t", time);
    StopFrameIfUnreadable(EvaluateFunctions(model_));
    DrawFrameOrThrow();
    lastTick_ = currentTick_;
    if (ValueForFrame(model_.Values, "tend") > time) {
        running_ = true;
        return;
    }
    model_.DrawList.insert(model_.DrawList.end(), model_.LastObjList.begin(),
                           model_.LastObjList.end());
    DrawFrameOrThrow();
}

std::string AnimationPlayer::DrawFrame() {
    return MessageOf([this] { DrawFrameOrThrow(); });
}

void AnimationPlayer::DrawFrameOrThrow() {
    if (busy_)
        return;
    busy_ = true;
    // Busy ends on every way out of the frame, errors included.
    struct BusyEnd {
        bool& busy;
        ~BusyEnd() { busy = false; }
    } busyEnd{busy_};
    DrawStatements();
    surface_.Present();
}

// The field, the frame around the picture and the statements of the draw list.
void AnimationPlayer::DrawStatements() {
    // The surface may have a new canvas since the last frame (a new size or density).
    platform::Canvas& canvas = surface_.Canvas();
    context_.canvas = &canvas;
    const int width = model_.Width;
    const int panelTop = PanelTop(model_.Height);
    canvas.FillRect(0, 0, width, model_.Height);
    canvas.SetBrushColor(diagram::FrameColor);
    canvas.SetPenWidth(3);
    canvas.Rectangle(0, 0, width - 6, panelTop);
    canvas.SetPenWidth(1);
    canvas.Rectangle(3, 3, width - 9, panelTop - 3);
    diagram::StartPicture(context_);
    // A statement is paid for by the text the frame reads, before its names are replaced:
    // that is the work of the rewriting, whatever the values come to.
    for (const std::string& statement : model_.DrawList) {
        context_.budget.SpendStatement(statement.size());
        diagram::InterpretPrimitive(context_, RewriteStatement(statement, model_.Values));
    }
}

} // namespace animation
