#include "animation/AnimationPlayer.h"

#include "animation/StatementRewrite.h"
#include "animation/WindowGeometry.h"

#include "platform/Convert.h"

namespace animation {

namespace {

// Model time runs at 2 units per second of ticks.
constexpr double kTimePerTick = 0.002;

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

platform::Status AnimationPlayer::ShowStill(std::uint32_t tick) {
    model_.DrawList = model_.ObjList;
    model_.DrawList.insert(model_.DrawList.end(), model_.FirstObjList.begin(),
                           model_.FirstObjList.end());
    model_.Values.AssignTable(&model_.InitialValues);
    currentTick_ = lastTick_ = tick;
    if (platform::Status evaluated = StopFrameIfUnreadable(EvaluateFunctions(model_)); !evaluated)
        return evaluated;
    return DrawFrame();
}

void AnimationPlayer::StartRun(std::uint32_t tick) {
    model_.DrawList = model_.ObjList;
    model_.Values.AssignTable(&model_.InitialValues);
    currentTick_ = lastTick_ = tick;
    running_ = true;
}

platform::Status AnimationPlayer::TimerStep(std::uint32_t tick) {
    running_ = false;
    currentTick_ = tick;
    const platform::Result<double> time = ValueForFrame(model_.Values, "t");
    if (!time)
        return time.Error();
    const platform::Result<double> omega = ValueForFrame(model_.Values, "Omega");
    if (!omega)
        return omega.Error();
    // Ticks wrap at 2^32; their difference does not.
    const double elapsed = static_cast<std::uint32_t>(currentTick_ - lastTick_);
    return Advance(*time + (*omega > 0 ? *omega * elapsed * kTimePerTick : elapsed * kTimePerTick));
}

platform::Status AnimationPlayer::StepTo(double time) {
    running_ = false;
    return Advance(time);
}

platform::Status AnimationPlayer::Advance(double time) {
    model_.Values.SetNumber("t", time);
    if (platform::Status evaluated = StopFrameIfUnreadable(EvaluateFunctions(model_)); !evaluated)
        return evaluated;
    if (platform::Status drawn = DrawFrame(); !drawn)
        return drawn;
    lastTick_ = currentTick_;
    const platform::Result<double> end = ValueForFrame(model_.Values, "tend");
    if (!end)
        return end.Error();
    if (*end > time) {
        running_ = true;
        return platform::Done{};
    }
    model_.DrawList.insert(model_.DrawList.end(), model_.LastObjList.begin(),
                           model_.LastObjList.end());
    return DrawFrame();
}

platform::Status AnimationPlayer::DrawFrame() {
    if (busy_)
        return platform::Done{};
    busy_ = true;
    // Busy ends on every way out of the frame, errors included.
    struct BusyEnd {
        bool& busy;
        ~BusyEnd() { busy = false; }
    } busyEnd{busy_};
    if (platform::Status drawn = DrawStatements(); !drawn)
        return drawn;
    surface_.Present();
    return platform::Done{};
}

// The field, the frame around the picture and the statements of the draw list.
platform::Status AnimationPlayer::DrawStatements() {
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
        if (platform::Status paid = context_.budget.SpendStatement(statement.size()); !paid)
            return paid;
        const platform::Result<std::string> rewritten = RewriteStatement(statement, model_.Values);
        if (!rewritten)
            return rewritten.Error();
        if (platform::Result<bool> drawn = diagram::InterpretPrimitive(context_, *rewritten);
            !drawn)
            return drawn.Error();
    }
    return platform::Done{};
}

} // namespace animation
