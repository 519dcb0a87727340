// vekta-diagram run as a program: the picture it writes, its exit status and messages.

#include "diagram/DrawingContext.h"

#include "ImageToolRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ImageToolRun RunTool(const std::string& script, const QStringList& extraArgs = {},
                     bool withArgs = true) {
    return RunImageTool(VEKTA_DIAGRAM_PATH, script, extraArgs, withArgs);
}

platform::Color At(const QImage& image, int x, int y) {
    return PixelColor(image, x, y);
}

} // namespace

TEST(DiagramToolTest, RendersTheDocumentInItsFramedBoxAtTheHeadersSize) {
    const ImageToolRun run =
        RunTool("HEIGHT(200);WIDTH(400);LINE(10,20,110,20);CIRCLE(300,100,10);");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.image.size(), QSize(400, 200));
    EXPECT_EQ(At(run.image, 0, 100), platform::kBlack);
    EXPECT_EQ(At(run.image, 3, 100), platform::kBlack);
    EXPECT_EQ(At(run.image, 200, 150), diagram::FrameColor);
    EXPECT_EQ(At(run.image, 50, 20), platform::kBlack);
    EXPECT_EQ(At(run.image, 110, 20), diagram::FrameColor);
    EXPECT_EQ(At(run.image, 300, 100), platform::kWhite);

    const ImageToolRun empty = RunTool("");
    ASSERT_EQ(empty.exitCode, 0) << empty.errors;
    EXPECT_EQ(empty.image.size(), QSize(300, 160));
    EXPECT_EQ(At(empty.image, 150, 80), diagram::FrameColor);
}

TEST(DiagramToolTest, AnErrorKeepsWhatWasDrawnAndIsReported) {
    const ImageToolRun run = RunTool("CIRCLE(50,50,10);LINE(1,2,3);CIRCLE(100,50,10);");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("'' is not a valid integer value"), std::string::npos) << run.errors;
    ASSERT_EQ(run.image.size(), QSize(300, 160));
    EXPECT_EQ(At(run.image, 50, 50), platform::kWhite);
    EXPECT_EQ(At(run.image, 100, 50), diagram::FrameColor);

    const ImageToolRun header = RunTool("HEIGHT(x);LINE(1,1,5,5);");
    EXPECT_EQ(header.exitCode, 1);
    EXPECT_NE(header.errors.find("'x' is not a valid integer value"), std::string::npos);
    EXPECT_TRUE(header.image.isNull());

    const ImageToolRun huge = RunTool("HEIGHT(2000000000);");
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_TRUE(huge.image.isNull());
}

TEST(DiagramToolTest, MessagesAreShownInUtf8AndWrongUseGetsTheUsage) {
    const ImageToolRun run = RunTool("TEXT(10,10,\"\xCF\xF0\xE8\xE2\xE5\xF2\");LINE(\xEF,1,1,1);");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("'\xD0\xBF' is not a valid integer value"), std::string::npos)
        << run.errors;

    const ImageToolRun usage = RunTool("", {}, false);
    EXPECT_EQ(usage.exitCode, 64);
    EXPECT_NE(usage.errors.find("usage"), std::string::npos);
    EXPECT_EQ(RunTool("", {"surplus"}).exitCode, 64);
}
