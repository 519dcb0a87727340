// Frames of the player on a real bitmap: the still picture, a run and the final frame.

#include "animation/AnimationBitmap.h"
#include "animation/AnimationPlayer.h"

#include "diagram/DrawingContext.h"

#include <QImage>

#include <gtest/gtest.h>

namespace animation {
namespace {

platform::Color At(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return platform::Rgb(qRed(p), qGreen(p), qBlue(p));
}

TEST(AnimationBitmapTest, StillAndFinalPicturesShowTheirOwnBodies) {
    int presented = 0;
    AnimationBitmap bitmap([&presented] { ++presented; });
    AnimationPlayer player(bitmap);
    player.LoadAnimation("<VAR>tend=1;CANVAS_WIDTH=400;CANVAS_HEIGHT=200;</VAR>"
                         "<FUN>x=50+100*t;</FUN><OBJ>CIRCLE(x,60,10);</OBJ>"
                         "<FIRSTOBJ>CIRCLE(300,60,10);</FIRSTOBJ>"
                         "<LASTOBJ>OBJECT_CIRCLE(300,120,10);</LASTOBJ>");
    ASSERT_EQ(bitmap.Image().size(), QSize(400, 200));

    ASSERT_EQ(player.ShowStill(0).Error().message, "");
    const QImage still = bitmap.Image().copy();
    EXPECT_EQ(At(still, 50, 60), platform::kWhite);
    EXPECT_EQ(At(still, 300, 60), platform::kWhite);
    EXPECT_EQ(At(still, 300, 120), diagram::FrameColor);
    EXPECT_EQ(At(still, 0, 100), platform::kBlack); // the frame, pen 3
    EXPECT_EQ(At(still, 3, 100), platform::kBlack); // and pen 1 inside it
    EXPECT_EQ(At(still, 200, 100), diagram::FrameColor);

    player.StartRun(0);
    ASSERT_EQ(player.TimerStep(250).Error().message, ""); // t = 0.5
    const QImage running = bitmap.Image().copy();
    EXPECT_EQ(At(running, 100, 60), platform::kWhite);
    EXPECT_EQ(At(running, 50, 60), diagram::FrameColor);
    EXPECT_EQ(At(running, 300, 60), diagram::FrameColor);

    ASSERT_EQ(player.TimerStep(500).Error().message, ""); // t = 1 has reached tend: the final frame
    EXPECT_FALSE(player.Running());
    const QImage last = bitmap.Image().copy();
    EXPECT_EQ(At(last, 150, 60), platform::kWhite);
    EXPECT_EQ(At(last, 306, 120), diagram::BodyColor);
    EXPECT_EQ(presented, 4);
}

TEST(AnimationBitmapTest, ANewSizeKeepsTheCanvasSettings) {
    AnimationBitmap bitmap;
    bitmap.Canvas().SetPenWidth(4);
    bitmap.Canvas().SetBrushStyle(platform::BrushStyle::Clear);
    bitmap.Canvas().SetFontSize(14);
    bitmap.Resize(300, 150);
    EXPECT_EQ(bitmap.Image().size(), QSize(300, 150));
    EXPECT_EQ(At(bitmap.Image(), 10, 10), platform::kWhite);
    EXPECT_EQ(bitmap.Canvas().PenWidth(), 4);
    EXPECT_EQ(bitmap.Canvas().GetBrushStyle(), platform::BrushStyle::Clear);
    EXPECT_EQ(bitmap.Canvas().GetFont().size, 14);
}

} // namespace
} // namespace animation
