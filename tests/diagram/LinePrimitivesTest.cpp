#include "DiagramProbe.h"

#include "diagram/DrawingContext.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace diagram;
using namespace diagram_test;
using platform::CanvasCall;
using platform::RecordingCanvas;

namespace {

struct Recorded {
    explicit Recorded(std::string_view statement) {
        canvas.SetBrushStyle(platform::BrushStyle::Clear);
        InitContext(context);
        AttachCanvas(context, canvas);
        EXPECT_TRUE(DrawPrimitive(context, statement).Ok()) << statement;
    }
    // "x1,y1-x2,y2" for each line drawn.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const CanvasCall& c : canvas.Calls())
            if (c.kind == CanvasCall::Kind::Line)
                lines.push_back(std::to_string(c.x1) + "," + std::to_string(c.y1) + "-" +
                                std::to_string(c.x2) + "," + std::to_string(c.y2));
        return lines;
    }
    RecordingCanvas canvas;
    DrawingContext context;
};

using Lines = std::vector<std::string>;

} // namespace

TEST(LinePrimitivesTest, ForceArrowIsBlueAndThickWithAWhitePin) {
    Recorded right("ARROW(100,100,50,0);");
    EXPECT_EQ(right.Lines(), (Lines{"100,100-150,100", "150,100-140,95", "150,100-140,105"}));
    const auto& calls = right.canvas.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].penColor, kBlue);
    EXPECT_EQ(calls[0].penWidth, 3);
    const CanvasCall& pin = calls[3];
    EXPECT_EQ(pin.kind, CanvasCall::Kind::Ellipse);
    EXPECT_EQ(std::vector<int>({pin.x1, pin.y1, pin.x2, pin.y2}),
              std::vector<int>({97, 97, 104, 104}));
    EXPECT_EQ(pin.brushColor, kWhite);
    EXPECT_EQ(pin.brushStyle, platform::BrushStyle::Solid);
    EXPECT_EQ(pin.penColor, kBlack);
    EXPECT_EQ(pin.penWidth, 1);
    EXPECT_EQ(right.canvas.PenColor(), kBlack);
    EXPECT_EQ(right.canvas.PenWidth(), 1);
    EXPECT_EQ(right.canvas.BrushColor(), right.context.SavedBrushColor);

    // Cosine of 90 degrees is taken as 0, so the tip is exact.
    EXPECT_EQ(Recorded("ARROW(100,100,50,90);").Lines(),
              (Lines{"100,100-100,50", "100,50-95,60", "100,50-105,60"}));
    // A negative length points the other way; the barbs lie beyond the tip.
    EXPECT_EQ(Recorded("ARROW(100,100,-50,0);").Lines(),
              (Lines{"100,100-50,100", "50,100-40,95", "50,100-40,105"}));
}

TEST(LinePrimitivesTest, BlackArrowDrawsTheSameLinesThinWithoutPin) {
    Recorded arrow("ARROWBL(100,100,50,90);");
    EXPECT_EQ(arrow.Lines(), (Lines{"100,100-100,50", "100,50-95,60", "100,50-105,60"}));
    for (const CanvasCall& call : arrow.canvas.Calls()) {
        EXPECT_EQ(call.penColor, kBlack);
        EXPECT_EQ(call.penWidth, 1);
    }
    EXPECT_EQ(arrow.canvas.GetBrushStyle(), platform::BrushStyle::Clear);
}

TEST(LinePrimitivesTest, ArrowsOnPixels) {
    Surface s;
    s.Draw("ARROW(100,100,50,0);");
    s.Draw("ARROWBL(20,180,40,0);");
    const QImage& image = s.Finish();
    for (int y = 99; y <= 101; ++y)
        EXPECT_EQ(At(image, 125, y), kBlue) << y;
    EXPECT_EQ(At(image, 141, 96), kBlue);
    EXPECT_EQ(At(image, 141, 104), kBlue);
    EXPECT_EQ(At(image, 100, 100), kWhite);
    EXPECT_EQ(At(image, 97, 100), kBlack);
    EXPECT_EQ(CountOf(image, kBlack, QRect(20, 180, 40, 1)), 40);
    EXPECT_EQ(At(image, 40, 179), kPaper);
    EXPECT_EQ(InkBounds(image).bottom(), 184);
}

TEST(LinePrimitivesTest, MomentArrowRunsItsArcAndEndsWithAHead) {
    Recorded ccw("CARROW(100,100,20,0,90);");
    const auto& calls = ccw.canvas.Calls();
    ASSERT_EQ(calls.size(), 202u);
    EXPECT_EQ(calls[0].x1, 120);
    EXPECT_EQ(calls[0].y1, 100);
    EXPECT_EQ(calls[0].penColor, kRed);
    EXPECT_EQ(calls[0].penWidth, 3);
    const CanvasCall& lastChord = calls[199];
    EXPECT_NEAR(lastChord.x2, 100, 1);
    EXPECT_EQ(lastChord.y2, 80);
    // Every chord point lies on the circle, in the upper right quarter.
    for (int i = 0; i < 200; ++i) {
        EXPECT_NEAR(std::hypot(calls[i].x2 - 100, calls[i].y2 - 100), 20, 1.5) << i;
        EXPECT_LE(calls[i].y2, 100);
        EXPECT_GE(calls[i].x2, 99);
    }
    // Head barbs toward 90 degrees - 0.3 rad at radii 25 and 15, both from the tip.
    EXPECT_EQ(ccw.Lines()[200], std::to_string(lastChord.x2) + ",80-107,76");
    EXPECT_EQ(ccw.Lines()[201], std::to_string(lastChord.x2) + ",80-104,85");
    EXPECT_EQ(ccw.canvas.PenColor(), kBlack);
    EXPECT_EQ(ccw.canvas.PenWidth(), 1);

    // Clockwise: the head lies at the end angle + 0.3 rad.
    Recorded cw("CARROW(100,100,20,90,0);");
    ASSERT_EQ(cw.Lines().size(), 202u);
    EXPECT_EQ(cw.canvas.Calls()[0].x1, 100);
    EXPECT_EQ(cw.canvas.Calls()[0].y1, 80);
    EXPECT_EQ(cw.Lines()[200].substr(cw.Lines()[200].find('-')), "-123,92");
}

TEST(LinePrimitivesTest, MomentArrowRadiusLimits) {
    Recorded none("CARROW(100,100,0,0,90);");
    EXPECT_EQ(none.canvas.CallCount(), 0u);
    EXPECT_EQ(none.canvas.PenColor(), kBlack);
    // A negative radius draws no chord, only the head.
    EXPECT_EQ(Recorded("CARROW(100,100,-5,0,90);").canvas.CallCount(), 2u);
    // A huge radius is capped in chords and still reaches its end angle.
    Recorded huge("CARROW(0,0,12000,0,90);");
    ASSERT_EQ(huge.canvas.CallCount(), 100002u);
    const CanvasCall& last = huge.canvas.Calls()[99999];
    EXPECT_NEAR(last.x2, 0, 2);
    EXPECT_EQ(last.y2, -12000);
}

TEST(LinePrimitivesTest, MomentArrowOnPixelsTurnsCounterClockwise) {
    Surface s;
    s.Draw("CARROW(100,100,40,0,180);");
    const QImage& image = s.Finish();
    EXPECT_GT(CountOf(image, kRed, QRect(55, 55, 90, 40)), 100);
    EXPECT_EQ(Inked(image, QRect(0, 110, 200, 90)), 0);
    EXPECT_EQ(At(image, 100, 60), kRed);
}

TEST(LinePrimitivesTest, StyledLineKeepsThePenAndLeavesTheBrushClear) {
    RecordingCanvas canvas;
    DrawingContext context;
    InitContext(context);
    AttachCanvas(context, canvas);
    canvas.SetPenStyle(platform::kPenDot);
    canvas.SetPenWidth(2);
    canvas.SetPenColor(kRed);
    const auto styleOf = [&](std::string_view statement) {
        EXPECT_TRUE(DrawPrimitive(context, statement).Ok()) << statement;
        return canvas.Calls().back().penStyle;
    };
    EXPECT_EQ(styleOf("ADVLINE(0,0,100,0,1,1);"), platform::kPenDash);
    EXPECT_EQ(canvas.Calls().back().penWidth, 1);
    EXPECT_EQ(canvas.Calls().back().penColor, kRed);
    EXPECT_EQ(canvas.PenStyle(), platform::kPenDot);
    EXPECT_EQ(canvas.PenWidth(), 2);
    EXPECT_EQ(canvas.GetBrushStyle(), platform::BrushStyle::Clear);
    EXPECT_EQ(canvas.BrushColor(), kWhite);
    EXPECT_EQ(styleOf("ADVLINE(0,0,100,0,257,1);"), platform::kPenDash);
    EXPECT_EQ(styleOf("ADVLINE(0,0,100,0,7,1);"), platform::kPenSolid);
    EXPECT_EQ(styleOf("ADVLINE(0,0,100,0,-1,1);"), platform::kPenSolid);
    EXPECT_EQ(styleOf("ADVLINE(0,0,100,0,6,-4);"), platform::kPenInsideFrame);
    EXPECT_EQ(canvas.Calls().back().penWidth, 2);
}

TEST(LinePrimitivesTest, LinesOnPixels) {
    Surface s;
    s.Draw("LINE(10,20,30,20);");
    s.Draw("ADVLINE(0,40,200,40,1,1);");
    s.Draw("ADVLINE(0,60,200,60,5,1);");
    s.Draw("ADVLINE(0,80,200,80,9,1);");
    const QImage& image = s.Finish();
    EXPECT_EQ(CountOf(image, kBlack, QRect(10, 20, 20, 1)), 20);
    EXPECT_EQ(At(image, 30, 20), kPaper);
    const int dashed = CountOf(image, kBlack, QRect(0, 40, 200, 1));
    EXPECT_GT(dashed, 120);
    EXPECT_LT(dashed, 180);
    EXPECT_EQ(Inked(image, QRect(0, 60, 200, 1)), 0);
    EXPECT_EQ(CountOf(image, kBlack, QRect(0, 80, 200, 1)), 200);
}
