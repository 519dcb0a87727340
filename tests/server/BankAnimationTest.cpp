// Every animation of the shipped bank stays inside the part of its window a student sees:
// the frames of a whole run, in the variants students are given, drawn on a canvas that
// writes down every call.

#include "course/TaskBank.h"
#include "course/TaskVariant.h"
#include "course/VariantSeed.h"

#include "animation/AnimationPlayer.h"
#include "animation/WindowGeometry.h"
#include "platform/Cp1251.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr int kSteps = 50;
constexpr int kVariants = 20;
// The background and the two frame rectangles every frame starts with.
constexpr std::size_t kFrameCalls = 3;

class RecordingSurface : public animation::FrameSurface {
public:
    platform::Canvas& Canvas() override { return canvas; }
    void Resize(int, int) override {}
    void Present() override {}
    platform::RecordingCanvas canvas;
};

struct Box {
    int right = 0;
    int bottom = 0;
};

// What of a call lies outside the box, as text; empty when it is inside.
std::string Outside(const platform::CanvasCall& call, const Box& box, int charWidth,
                    int charHeight) {
    int left = std::min(call.x1, call.x2), top = std::min(call.y1, call.y2);
    int right = std::max(call.x1, call.x2), bottom = std::max(call.y1, call.y2);
    if (call.kind == platform::CanvasCall::Kind::Text) {
        left = call.x1;
        top = call.y1;
        right = call.x1 + charWidth * static_cast<int>(call.text.size()) - 1;
        bottom = call.y1 + charHeight - 1;
    } else if (call.kind != platform::CanvasCall::Kind::Line) {
        --right; // rectangles and ellipses leave out their right and bottom edges
        --bottom;
    }
    if (left >= 0 && top >= 0 && right < box.right && bottom < box.bottom)
        return {};
    return "(" + std::to_string(left) + "," + std::to_string(top) + ")-(" + std::to_string(right) +
           "," + std::to_string(bottom) + ") " + call.text;
}

// The first call of the frames drawn that leaves the box, or empty. Each frame starts with
// its background and frame, which are the window's own.
std::string FirstOutside(const platform::RecordingCanvas& canvas, const Box& box) {
    const auto& calls = canvas.Calls();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].kind == platform::CanvasCall::Kind::FillRect && calls[i].x1 == 0 &&
            calls[i].y1 == 0) {
            i += kFrameCalls - 1;
            continue;
        }
        if (std::string where = Outside(calls[i], box, canvas.charWidth, canvas.charHeight);
            !where.empty())
            return where;
    }
    return {};
}

} // namespace

TEST(BankAnimationTest, EveryFrameOfEveryVariantIsInsideTheCanvas) {
    const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    int animations = 0;
    for (const BankTask& task : bank.tasks) {
        if (task.animate.empty())
            continue;
        ++animations;
        const int variants = task.parameters.empty() ? 1 : kVariants;
        for (int i = 1; i <= variants; ++i) {
            const TaskVariant variant =
                VariantOf(task, kPreviewSecret, "variant " + std::to_string(i));
            RecordingSurface surface;
            animation::AnimationPlayer player(surface);
            player.LoadAnimation(variant.task.animate);
            const Box box{animation::ClientWidth(player.Model().Width),
                          animation::PanelTop(player.Model().Height)};
            const std::string name = platform::Cp1251ToUtf8(task.name) + ", " +
                                     platform::Cp1251ToUtf8(ValuesText(variant.values));
            surface.canvas.Clear();
            ASSERT_EQ(player.ShowStill(0).Error().message, "") << name;
            EXPECT_EQ(FirstOutside(surface.canvas, box), "") << name << ", the still picture";
            const double end = player.Model().Values.GetValue("tend").value;
            player.StartRun(0);
            for (int step = 0; step <= kSteps; ++step) {
                surface.canvas.Clear();
                const double time = end * step / kSteps;
                ASSERT_EQ(player.StepTo(time).Error().message, "") << name << ", t = " << time;
                EXPECT_EQ(FirstOutside(surface.canvas, box), "") << name << ", t = " << time;
            }
        }
    }
    EXPECT_GE(animations, 3);
}
