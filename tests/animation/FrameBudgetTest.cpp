// Every frame of an animation gets the whole work budget of a picture: a script that fits
// one frame plays frame after frame, and one that does not stops with the frame so far.

#include "animation/AnimationBitmap.h"
#include "animation/AnimationPlayer.h"
#include "diagram/DrawingBudget.h"

#include <gtest/gtest.h>

#include <string>

using namespace animation;

namespace {

std::string Lines(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += "LINE(10,10,x,60);";
    return lines;
}

std::string Script(int lines) {
    return "<VAR>tend=10;</VAR><FUN>x=50+10*t;</FUN><OBJ>" + Lines(lines) + "</OBJ>";
}

} // namespace

TEST(FrameBudgetTest, EachFrameStartsWithTheWholeBudget) {
    AnimationBitmap bitmap;
    AnimationPlayer player(bitmap);
    player.LoadAnimation(Script(diagram::kMaxPrimitives - 10));
    ASSERT_EQ(player.ShowStill(0).Error().message, "");
    player.StartRun(0);
    for (int frame = 1; frame <= 5; ++frame)
        ASSERT_EQ(player.TimerStep(100 * frame).Error().message, "") << "frame " << frame;
}

TEST(FrameBudgetTest, AFrameOverTheBudgetStopsWithAMessage) {
    AnimationBitmap bitmap;
    AnimationPlayer player(bitmap);
    player.LoadAnimation(Script(diagram::kMaxPrimitives + 1));
    EXPECT_EQ(player.ShowStill(0).Error().message, diagram::kPictureTooComplex);
}

// Statements that draw nothing still cost the frame their reading, and names are paid for
// as written, not as the numbers they stand for.
TEST(FrameBudgetTest, StatementsThatDrawNothingAndLongNamesArePaid) {
    AnimationBitmap bitmap;
    AnimationPlayer player(bitmap);
    std::string unknown = "<VAR>tend=10;</VAR><OBJ>";
    for (int i = 0; i <= diagram::kMaxPrimitives; ++i)
        unknown += "NOTHING(t,t,t);";
    player.LoadAnimation(unknown + "</OBJ>");
    EXPECT_EQ(player.ShowStill(0).Error().message, diagram::kPictureTooComplex);

    const std::string name(diagram::kMaxStatementText / 4, 'n');
    player.LoadAnimation("<VAR>tend=10;" + name + "=5;</VAR><OBJ>LINE(0,0," + name + "," + name +
                         ");LINE(0,0," + name + "," + name + ");</OBJ>");
    EXPECT_EQ(player.ShowStill(0).Error().message, diagram::kPictureTooComplex);
}
