// vekta-animate run as a program: the picture it writes is the animation window's own.

#include "animation/AnimationWindow.h"

#include "diagram/DrawingContext.h"

#include "ImageToolRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ImageToolRun RunTool(const std::string& script, const QStringList& extraArgs = {},
                     bool withArgs = true) {
    return RunImageTool(VEKTA_ANIMATE_PATH, script, extraArgs, withArgs);
}

// A wheel rolling along a rail, with labels in both fonts.
const char* const kScript =
    "<VAR>tend=1;CANVAS_WIDTH=400;CANVAS_HEIGHT=200;</VAR><FUN>x=50+100*t;a=90*t;</FUN>"
    "<OBJ>GROUND(200,90,360,0);OBJECT_CIRCLE(x,60,10);ARROW(x,60,30,a);TEXT(x,20,\"A\");"
    "GREKTEXT(10,100,\"w\");</OBJ><FIRSTOBJ>CIRCLE(300,60,10);</FIRSTOBJ>"
    "<LASTOBJ>CIRCLE(300,120,10);</LASTOBJ>";

TEST(AnimateToolTest, TheStillPictureIsTheWindowsPixelForPixel) {
    const ImageToolRun run = RunTool(kScript);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    AnimationWindow form;
    form.LoadAnimation(kScript);
    form.show();
    ASSERT_EQ(run.image.size(), QSize(400, 200));
    EXPECT_EQ(run.image.convertToFormat(QImage::Format_RGB32), form.Bitmap());
    EXPECT_EQ(PixelColor(run.image, 300, 60), platform::kWhite);
}

TEST(AnimateToolTest, AFrameOfARunAtTimeT) {
    const ImageToolRun middle = RunTool(kScript, {"--t", "0,5"});
    ASSERT_EQ(middle.exitCode, 0) << middle.errors;
    EXPECT_EQ(PixelColor(middle.image, 300, 60), diagram::FrameColor); // no FIRSTOBJ
    EXPECT_EQ(PixelColor(middle.image, 300, 120), diagram::FrameColor);
    EXPECT_EQ(PixelColor(middle.image, 106, 60), diagram::BodyColor);

    const ImageToolRun end = RunTool(kScript, {"--t", "1"});
    ASSERT_EQ(end.exitCode, 0) << end.errors;
    EXPECT_EQ(PixelColor(end.image, 300, 120), platform::kWhite); // LASTOBJ at tend
    EXPECT_EQ(PixelColor(end.image, 156, 60), diagram::BodyColor);
}

TEST(AnimateToolTest, ErrorsAndNotesGoToStderr) {
    const ImageToolRun failed =
        RunTool("<OBJ>CIRCLE(50,50,10);LINE(1.5,0,1,1);CIRCLE(100,50,10);</OBJ>", {"--t", "1"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.errors.find("'1.5' is not a valid integer value"), std::string::npos)
        << failed.errors;
    ASSERT_EQ(failed.image.size(), QSize(520, 270));
    EXPECT_EQ(PixelColor(failed.image, 50, 50), platform::kWhite);
    EXPECT_EQ(PixelColor(failed.image, 100, 50), diagram::FrameColor);

    std::string fun = "<FUN>";
    for (int i = 0; i < 101; ++i)
        fun += "v=1;";
    const ImageToolRun crowded = RunTool(fun + "</FUN>");
    EXPECT_EQ(crowded.exitCode, 1);
    EXPECT_NE(crowded.errors.find("1 of 101 equations dropped"), std::string::npos)
        << crowded.errors;

    EXPECT_EQ(RunTool("", {}, false).exitCode, 64);
    EXPECT_EQ(RunTool("", {"--t"}).exitCode, 64);
    EXPECT_EQ(RunTool("", {"--t", "soon"}).exitCode, 64);
    EXPECT_EQ(RunTool("", {"--scale", "0"}).exitCode, 64);
    EXPECT_EQ(RunTool("", {"--t", "1", "--scale", "5"}).exitCode, 64);
    const ImageToolRun scaled = RunTool(kScript, {"--scale", "1.5", "--t", "1"});
    EXPECT_EQ(scaled.exitCode, 0) << scaled.errors;
    EXPECT_EQ(scaled.image.size(), QSize(600, 300));
}

} // namespace
