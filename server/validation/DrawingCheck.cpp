#include "validation/DrawingCheck.h"

#include "animation/AnimationPlayer.h"
#include "animation/StatementRewrite.h"
#include "animation/WindowGeometry.h"
#include "diagram/DrawingContext.h"
#include "platform/Cp1251.h"
#include "platform/RecordingCanvas.h"
#include "tasklayout/QuestImage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

namespace {

// A canvas that draws nothing and notes the first pixel any call would put outside a box
// from (0, 0) to (width, height), exclusive. Texts are measured on another canvas, in this
// one's font. A line leaves out its end pixel, and the one before it is taken as may be on
// either side of the end (the last step of a slanted line may round either way), so a line
// to the edge itself is inside.
class BoxCanvas : public platform::Canvas {
public:
    BoxCanvas(platform::Canvas& measure, int width, int height)
        : measure_(measure), width_(width), height_(height) {}

    // The extent of the first call that left the box since the last Forget, or empty.
    const std::string& Outside() const { return outside_; }
    void Forget() { outside_.clear(); }

    void LineTo(int x, int y) override {
        if (PenStyle() != platform::kPenClear && (x != PenX() || y != PenY())) {
            const int lastX = x - (x > PenX()) + (x < PenX());
            const int lastY = y - (y > PenY()) + (y < PenY());
            Note(std::min(PenX(), lastX), std::min(PenY(), lastY), std::max(PenX(), lastX),
                 std::max(PenY(), lastY));
        }
        SetPenPosition(x, y);
    }
    void Rectangle(int x1, int y1, int x2, int y2) override { Shape(x1, y1, x2, y2, true); }
    void Ellipse(int x1, int y1, int x2, int y2) override { Shape(x1, y1, x2, y2, true); }
    void FillRect(int x1, int y1, int x2, int y2) override { Shape(x1, y1, x2, y2, false); }
    void TextOut(int x, int y, std::string_view text) override {
        if (!text.empty())
            Note(x, y, std::int64_t{x} + TextWidth(text) - 1,
                 std::int64_t{y} + TextHeight(text) - 1);
    }
    int TextWidth(std::string_view text) override {
        measure_.SetFont(GetFont());
        return measure_.TextWidth(text);
    }
    int TextHeight(std::string_view text) override {
        measure_.SetFont(GetFont());
        return measure_.TextHeight(text);
    }

private:
    void Shape(int x1, int y1, int x2, int y2, bool outlined) {
        const bool drawn = (outlined && PenStyle() != platform::kPenClear) ||
                           GetBrushStyle() != platform::BrushStyle::Clear;
        if (drawn && x1 != x2 && y1 != y2)
            Note(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) - 1, std::max(y1, y2) - 1);
    }
    void Note(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
        if (!outside_.empty() || (left >= 0 && top >= 0 && right < width_ && bottom < height_))
            return;
        outside_ = "x " + std::to_string(left) + ".." + std::to_string(right) + ", y " +
                   std::to_string(top) + ".." + std::to_string(bottom);
    }

    platform::Canvas& measure_;
    int width_;
    int height_;
    std::string outside_;
};

std::string Utf8(std::string_view cp1251) {
    return platform::Cp1251ToUtf8(cp1251);
}

std::string Size(int width, int height) {
    return std::to_string(width) + " × " + std::to_string(height);
}

// Draws one statement; false when the picture stops at it (its fault is told elsewhere).
bool Draw(diagram::DrawingContext& context, std::string_view statement) {
    return diagram::DrawPrimitive(context, statement).Ok();
}

void CheckDiagram(const std::string& image, platform::Canvas& measure,
                  std::vector<DrawingProblem>& problems) {
    std::string statements = image;
    const QuestImageHeader header = ReadQuestImageHeader(statements);
    BoxCanvas canvas(measure, header.size.width, header.size.height);
    diagram::DrawingContext context;
    diagram::InitContext(context);
    diagram::AttachCanvas(context, canvas);
    std::string_view rest = statements;
    for (int index = 1; !rest.empty(); ++index) {
        const std::size_t end = rest.find(';');
        const std::size_t length = end == std::string_view::npos ? rest.size() : end + 1;
        const std::string_view statement = rest.substr(0, length);
        rest.remove_prefix(length);
        canvas.Forget();
        if (!Draw(context, statement))
            return;
        if (!canvas.Outside().empty())
            problems.push_back(
                {"IMAGE outside: " + std::to_string(index),
                 "IMAGE: drawn outside the " + Size(header.size.width, header.size.height) +
                     " picture: " + Utf8(statement) + " (" + canvas.Outside() + ")"});
    }
}

// A frame surface that keeps nothing: the player runs only for the values at each time.
class NoFrames : public animation::FrameSurface {
public:
    NoFrames() { canvas_.keepAtMost = 0; }
    platform::Canvas& Canvas() override { return canvas_; }
    void Resize(int, int) override {}
    void Present() override {}

private:
    platform::RecordingCanvas canvas_;
};

std::string TimeText(double time) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", time);
    return text;
}

class AnimationCheck {
public:
    AnimationCheck(const std::string& script, platform::Canvas& measure,
                   std::vector<DrawingProblem>& problems)
        : player_(frames_), problems_(problems) {
        player_.LoadAnimation(script);
        width_ = animation::ClientWidth(player_.Model().Width);
        height_ = animation::PanelTop(player_.Model().Height);
        canvas_.emplace(measure, width_, height_);
    }

    void Run() {
        const animation::AnimationModel& model = player_.Model();
        if (!Stepped(player_.ShowStill(0), 0))
            return;
        DrawFrame({{"OBJ", &model.ObjList}, {"FIRSTOBJ", &model.FirstObjList}}, 0);
        const double end = model.Values.GetValue("tend").value;
        player_.StartRun(0);
        for (int step = 0; step < kCheckedAnimationTimes; ++step) {
            const double time = end * step / (kCheckedAnimationTimes - 1);
            if (!Stepped(player_.StepTo(time), time))
                return;
            if (step + 1 < kCheckedAnimationTimes)
                DrawFrame({{"OBJ", &model.ObjList}}, time);
            else
                DrawFrame({{"OBJ", &model.ObjList}, {"LASTOBJ", &model.LastObjList}}, time);
        }
    }

private:
    bool Stepped(const platform::Status& frame, double time) {
        if (frame)
            return true;
        const std::string& error = frame.Error().message;
        problems_.push_back(
            {"ANIMATE: " + Utf8(error), "ANIMATE: at t = " + TimeText(time) + ": " + Utf8(error)});
        return false;
    }

    using List = std::pair<const char*, const std::vector<std::string>*>;

    void DrawFrame(std::initializer_list<List> lists, double time) {
        diagram::DrawingContext context;
        diagram::InitContext(context);
        diagram::AttachCanvas(context, *canvas_);
        for (const auto& [name, list] : lists)
            for (std::size_t index = 0; index < list->size(); ++index) {
                const std::string& statement = (*list)[index];
                const platform::Result<std::string> rewritten =
                    animation::RewriteStatement(statement, player_.Model().Values);
                canvas_->Forget();
                if (!rewritten || !Draw(context, *rewritten))
                    break;
                const std::string& drawn = *rewritten;
                if (!canvas_->Outside().empty())
                    problems_.push_back(
                        {"ANIMATE outside: " + std::string(name) + std::to_string(index),
                         "ANIMATE: at t = " + TimeText(time) + " drawn outside the visible " +
                             Size(width_, height_) + " canvas: " + Utf8(statement) +
                             (drawn == statement ? "" : " as " + Utf8(drawn)) + " (" +
                             canvas_->Outside() + ")"});
            }
    }

    NoFrames frames_;
    animation::AnimationPlayer player_;
    std::optional<BoxCanvas> canvas_;
    std::vector<DrawingProblem>& problems_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace

std::vector<DrawingProblem> DrawingProblems(const BankTask& variantTask,
                                            platform::Canvas& measure) {
    std::vector<DrawingProblem> problems;
    CheckDiagram(variantTask.image, measure, problems);
    if (!variantTask.animate.empty())
        AnimationCheck(variantTask.animate, measure, problems).Run();
    return problems;
}
