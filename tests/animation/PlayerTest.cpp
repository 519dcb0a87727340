// The player driven by a tick count the test controls, drawing on a recording canvas.

#include "animation/AnimationPlayer.h"

#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace animation {
namespace {

using platform::CanvasCall;

struct RecordingSurface : FrameSurface {
    platform::RecordingCanvas canvas;
    int presented = 0;
    int width = 0;
    int height = 0;

    platform::Canvas& Canvas() override { return canvas; }
    void Resize(int w, int h) override {
        width = w;
        height = h;
    }
    void Present() override { ++presented; }
};

struct Fixture {
    RecordingSurface surface;
    AnimationPlayer player{surface};

    explicit Fixture(const std::string& script) { player.LoadAnimation(script); }

    // Runs from tick `start` with a step every `period` ticks; gives the number of steps.
    int Run(std::uint32_t start, std::uint32_t period = 70) {
        player.StartRun(start);
        int steps = 0;
        std::uint32_t tick = start;
        while (player.Running() && steps < 10000) {
            tick += period;
            EXPECT_EQ(player.TimerStep(tick).Error().message, "");
            ++steps;
        }
        return steps;
    }

    // The texts drawn since the canvas was last cleared.
    std::string Texts() const {
        std::string texts;
        for (const CanvasCall& call : surface.canvas.Calls())
            if (call.kind == CanvasCall::Kind::Text)
                texts += call.text;
        return texts;
    }
};

TEST(PlayerTest, ARunLastsTendOverTwoUnitsPerSecondTimesOmega) {
    const struct {
        const char* vars;
        int steps; // of 70 ticks, 0.14 units of time at the plain rate
    } cases[] = {
        {"", 36},         {"Omega=0.5;", 72}, {"Omega=-1;", 36},
        {"Omega=2;", 18}, {"tend=10;", 72},   {"tend=0;", 1},
    };
    for (const auto& c : cases) {
        Fixture fixture(std::string("<VAR>") + c.vars + "</VAR><OBJ>LINE(0,0,1,1);</OBJ>");
        EXPECT_EQ(fixture.Run(1000), c.steps) << c.vars;
        // The tick count wraps at 2^32 without disturbing the run.
        EXPECT_EQ(fixture.Run(0xFFFFFF00u), c.steps) << c.vars;
    }
}

TEST(PlayerTest, StatementsMoveWithTheirFormulas) {
    Fixture fixture("<FUN>x=100*t;y=50;</FUN><OBJ>LINE(0,0,x,y);</OBJ>");
    fixture.player.StartRun(0);
    fixture.surface.canvas.Clear();
    ASSERT_EQ(fixture.player.TimerStep(500).Error().message, ""); // half a second: t = 1
    const auto& calls = fixture.surface.canvas.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().kind, CanvasCall::Kind::Line);
    EXPECT_EQ(calls.back().x2, 100);
    EXPECT_EQ(calls.back().y2, 50);
}

TEST(PlayerTest, StillRunAndFinalFramesDrawTheirOwnStatements) {
    Fixture fixture("<VAR>tend=1;</VAR><OBJ>TEXT(1,1,\"o\");</OBJ>"
                    "<FIRSTOBJ>TEXT(1,1,\"F\");</FIRSTOBJ><LASTOBJ>TEXT(1,1,\"L\");</LASTOBJ>");
    EXPECT_EQ(fixture.player.ShowStill(0).Error().message, "");
    EXPECT_EQ(fixture.Texts(), "oF");
    EXPECT_EQ(fixture.surface.presented, 1);

    fixture.player.StartRun(0);
    fixture.surface.canvas.Clear();
    EXPECT_EQ(fixture.player.TimerStep(100).Error().message, "");
    EXPECT_TRUE(fixture.player.Running());
    EXPECT_EQ(fixture.Texts(), "o");
    fixture.surface.canvas.Clear();
    EXPECT_EQ(fixture.player.TimerStep(600).Error().message, "");
    EXPECT_FALSE(fixture.player.Running());
    EXPECT_EQ(fixture.Texts(), "ooL"); // the last step's frame, then the final frame

    // The window shows the bitmap at the outer size, framed above the button panel.
    EXPECT_EQ(fixture.surface.width, 520);
    EXPECT_EQ(fixture.surface.height, 270);
    fixture.surface.canvas.Clear();
    fixture.player.DrawFrame();
    const auto& calls = fixture.surface.canvas.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, CanvasCall::Kind::FillRect);
    EXPECT_EQ(calls[1].x2, 514);
    EXPECT_EQ(calls[1].y2, 204);
    EXPECT_EQ(calls[1].penWidth, 3);
    EXPECT_EQ(calls[2].x1, 3);
    EXPECT_EQ(calls[2].y2, 201);
}

TEST(PlayerTest, AnErrorStopsTheRunOnceAndLeavesThePlayerUsable) {
    Fixture fixture("<FUN>x=t;</FUN><OBJ>TEXT(1,1,\"a\");LINE(1.5,0,x,1);TEXT(1,1,\"b\");</OBJ>");
    const std::string still = fixture.player.ShowStill(0).Error().message;
    EXPECT_EQ(still, "'1.5' is not a valid integer value");
    EXPECT_FALSE(fixture.player.Busy());
    EXPECT_EQ(fixture.surface.presented, 0);
    EXPECT_EQ(fixture.Texts(), "a"); // the frame stopped where it failed

    fixture.player.StartRun(0);
    EXPECT_EQ(fixture.player.TimerStep(100).Error().message, still);
    EXPECT_FALSE(fixture.player.Running());
    EXPECT_FALSE(fixture.player.Busy());

    // A script loaded while a run goes on is drawn by that run.
    fixture.player.StartRun(0);
    fixture.player.LoadAnimation("<OBJ>TEXT(1,1,\"new\");</OBJ>");
    fixture.surface.canvas.Clear();
    EXPECT_EQ(fixture.player.TimerStep(100).Error().message, "");
    EXPECT_TRUE(fixture.player.Running());
    EXPECT_EQ(fixture.Texts(), "new");
}

} // namespace
} // namespace animation
