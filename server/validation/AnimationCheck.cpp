#include "validation/AnimationCheck.h"

#include "validation/SectionCheck.h"

#include "animation/AnimationPlayer.h"
#include "animation/StatementRewrite.h"
#include "diagram/DrawingContext.h"
#include "platform/Cp1251.h"
#include "platform/RecordingCanvas.h"

namespace {

// A bitmap that keeps nothing: the frames are drawn only for their errors.
class NoBitmap : public animation::FrameSurface {
public:
    NoBitmap() { canvas_.keepAtMost = 0; }
    platform::Canvas& Canvas() override { return canvas_; }
    void Resize(int, int) override {}
    void Present() override {}

private:
    platform::RecordingCanvas canvas_;
};

void Note(std::vector<std::string>& problems, const std::string& cp1251) {
    if (!cp1251.empty())
        problems.push_back("ANIMATE: " + platform::Cp1251ToUtf8(cp1251));
}

} // namespace

// The player draws what it does not know as nothing: the statements of the model are
// given to the diagram interpreter once more, at the model's current values, and every
// one it does not know is told.
std::vector<std::string> UndrawableStatements(const animation::AnimationModel& model) {
    std::vector<std::string> problems;
    platform::RecordingCanvas canvas;
    canvas.keepAtMost = 0;
    diagram::DrawingContext context;
    diagram::InitContext(context);
    diagram::AttachCanvas(context, canvas);
    for (const auto* list : {&model.FirstObjList, &model.ObjList, &model.LastObjList})
        for (const std::string& statement : *list) {
            if (!BracketsPair(statement))
                problems.push_back("ANIMATE: brackets do not pair up: " +
                                   platform::Cp1251ToUtf8(statement));
            // A statement that fails is told by the frame itself.
            const platform::Result<std::string> drawn =
                animation::RewriteStatement(statement, model.Values);
            const platform::Result<bool> known =
                drawn ? diagram::DrawPrimitive(context, *drawn) : platform::Result<bool>(true);
            if (!known || *known)
                continue;
            problems.push_back("ANIMATE: statement not understood (unknown keyword): " +
                               platform::Cp1251ToUtf8(statement));
        }
    return problems;
}

std::vector<std::string> CheckAnimation(const std::string& script) {
    std::vector<std::string> problems;
    if (script.empty())
        return problems;
    NoBitmap bitmap;
    animation::AnimationPlayer player(bitmap);
    player.LoadAnimation(script);
    for (const std::string& note : player.Model().Notes)
        Note(problems, note);
    Note(problems, player.ShowStill(0).Error().message);
    for (std::string& problem : UndrawableStatements(player.Model()))
        problems.push_back(std::move(problem));
    const double end = player.Model().Values.GetValue("tend").value;
    for (const double time : {0.0, end / 2, end}) {
        player.StartRun(0);
        if (const platform::Status frame = player.StepTo(time); !frame) {
            Note(problems, frame.Error().message);
            break;
        }
    }
    return problems;
}
