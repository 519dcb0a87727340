#include "DiagramProbe.h"

#include "diagram/DrawingContext.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

using namespace diagram;
using namespace diagram_test;

TEST(BodyPrimitivesTest, CircleFillsWhiteInsideItsBoxAndGivesTheBrushBack) {
    Surface s;
    s.canvas->SetPenColor(kRed);
    EXPECT_TRUE(s.Draw("CIRCLE(50,50,10);"));
    EXPECT_EQ(s.canvas->BrushColor(), s.context.SavedBrushColor);
    EXPECT_EQ(s.canvas->PenColor(), kRed);
    const QImage& image = s.Finish();
    EXPECT_EQ(InkBounds(image), QRect(40, 40, 21, 21));
    EXPECT_EQ(At(image, 50, 50), kWhite);
    EXPECT_EQ(At(image, 40, 50), kRed);
    EXPECT_EQ(At(image, 60, 50), kRed);
    EXPECT_EQ(At(image, 50, 60), kRed);
}

TEST(BodyPrimitivesTest, ACircleAfterTextStillFillsWhite) {
    Surface s;
    s.Draw("TEXT(150,150,\"T\");");
    EXPECT_EQ(s.canvas->GetBrushStyle(), platform::BrushStyle::Clear);
    s.Draw("CIRCLE(50,50,10);");
    EXPECT_EQ(At(s.Finish(), 50, 50), kWhite);
}

TEST(BodyPrimitivesTest, RoundBodiesHaveTheirColoursAndAPin) {
    Surface s;
    s.canvas->SetPenWidth(2);
    s.Draw("OBJECT_CIRCLE(50,50,30);");
    EXPECT_EQ(s.canvas->PenWidth(), 1);
    s.Draw("OBJECT_DOUBLE_CIRCLE(140,50,30,20);");
    s.Draw("OBJECT_DOUBLE_CIRCLE(140,140,20,30);");
    EXPECT_EQ(s.canvas->BrushColor(), s.context.SavedBrushColor);
    const QImage& image = s.Finish();
    EXPECT_EQ(At(image, 50, 30), BodyColor);
    EXPECT_EQ(At(image, 50, 50), kWhite);
    EXPECT_EQ(At(image, 47, 50), kBlack);
    EXPECT_EQ(At(image, 46, 50), BodyColor);
    EXPECT_EQ(CountOf(image, kBlack, QRect(19, 49, 2, 3)), 6); // the pen of width 2
    EXPECT_EQ(At(image, 140, 25), RimColor);
    EXPECT_EQ(At(image, 140, 40), BodyColor);
    EXPECT_EQ(At(image, 140, 50), kWhite);
    // The larger light disc is drawn last and covers the rim.
    EXPECT_EQ(CountOf(image, RimColor, QRect(100, 100, 100, 100)), 0);
    EXPECT_EQ(At(image, 140, 115), BodyColor);
}

TEST(BodyPrimitivesTest, RectangleIsCentredWithTheOddPixelRightAndBelow) {
    Surface s;
    s.canvas->SetPenStyle(platform::kPenClear);
    s.Draw("RECTANGLE(50,50,21,11);");
    EXPECT_EQ(s.canvas->PenStyle(), platform::kPenSolid);
    EXPECT_EQ(s.canvas->BrushColor(), s.context.SavedBrushColor);
    s.Draw("RECTANGLE(150,150,-20,-10);");
    const QImage& image = s.Finish();
    EXPECT_EQ(InkBounds(image.copy(0, 0, 100, 100)), QRect(40, 45, 21, 11));
    EXPECT_EQ(At(image, 40, 45), kBlack);
    EXPECT_EQ(At(image, 60, 55), kBlack);
    EXPECT_EQ(CountOf(image, BodyColor, QRect(41, 46, 19, 9)), 19 * 9);
    // Negative sizes: left = x - width/2 and right = left + width, the corners swapped.
    EXPECT_EQ(InkBounds(image.copy(100, 100, 100, 100)), QRect(40, 45, 20, 10));
}

TEST(SupportPrimitivesTest, GroundIsAHatchedBandUnderAThickLine) {
    Surface s;
    s.canvas->SetPenStyle(platform::kPenDash);
    s.canvas->SetPenWidth(2);
    s.Draw("GROUND(100,150,80,0);");
    EXPECT_EQ(s.canvas->PenStyle(), platform::kPenSolid);
    EXPECT_EQ(s.canvas->PenWidth(), 1);
    EXPECT_EQ(s.canvas->GetBrushStyle(), platform::BrushStyle::Clear);
    const QImage& image = s.Finish();
    const int hatch = CountOf(image, kBlack, QRect(60, 152, 80, 8));
    EXPECT_GT(hatch, 40);
    EXPECT_EQ(hatch, Inked(image, QRect(60, 152, 80, 8)));
    EXPECT_EQ(Inked(image, QRect(0, 160, 200, 40)), 0);
    EXPECT_EQ(Inked(image, QRect(0, 152, 60, 8)), 0);
    EXPECT_EQ(Inked(image, QRect(140, 152, 60, 8)), 0);
    for (int y = 149; y <= 151; ++y)
        EXPECT_EQ(CountOf(image, kBlack, QRect(60, y, 80, 1)), 80) << y;
    EXPECT_EQ(Inked(image, QRect(0, 0, 200, 148)), 0);
}

TEST(SupportPrimitivesTest, SleeveWallsAndFacesInBothOrientations) {
    Surface s;
    s.Draw("VTULKA(100,50,60,20,0);");
    s.Draw("VTULKA(100,150,60,20,1);");
    EXPECT_EQ(s.canvas->PenStyle(), platform::kPenSolid);
    EXPECT_EQ(s.canvas->GetBrushStyle(), platform::BrushStyle::Clear);
    const QImage& image = s.Finish();
    // Horizontal walls: hatch y 33..39 and 60..66 over x 70..129, faces on y 39 and 60.
    EXPECT_EQ(InkBounds(image.copy(0, 0, 200, 100)), QRect(70, 33, 60, 34));
    EXPECT_EQ(CountOf(image, kBlack, QRect(70, 39, 60, 1)), 60);
    EXPECT_EQ(CountOf(image, kBlack, QRect(70, 60, 60, 1)), 60);
    EXPECT_EQ(Inked(image, QRect(0, 40, 200, 20)), 0);
    EXPECT_GT(Inked(image, QRect(70, 33, 60, 6)), 20);
    EXPECT_GT(Inked(image, QRect(70, 61, 60, 6)), 20);
    // Vertical walls: hatch x 83..89 and 110..116 over y 120..179, faces on x 89 and 110.
    EXPECT_EQ(InkBounds(image.copy(0, 100, 200, 100)), QRect(83, 20, 34, 60));
    EXPECT_EQ(CountOf(image, kBlack, QRect(89, 120, 1, 60)), 60);
    EXPECT_EQ(CountOf(image, kBlack, QRect(110, 120, 1, 60)), 60);
    EXPECT_EQ(Inked(image, QRect(90, 100, 20, 100)), 0);
}

TEST(SupportPrimitivesTest, SleeveOfAnUnknownOrientationDrawsNothing) {
    platform::RecordingCanvas canvas;
    DrawingContext context;
    InitContext(context);
    AttachCanvas(context, canvas);
    EXPECT_TRUE(DrawPrimitive(context, "VTULKA(100,100,60,20,2);").Value());
    EXPECT_TRUE(DrawPrimitive(context, "VTULKA(100,100,60,20,-1);").Value());
    EXPECT_EQ(canvas.CallCount(), 0u);
}

TEST(SupportPrimitivesTest, HingeIsAnOpenTriangleUnderAWhitePin) {
    Surface s;
    s.Draw("SHARNIR(100,100);");
    EXPECT_EQ(s.canvas->BrushColor(), s.context.SavedBrushColor);
    const QImage& image = s.Finish();
    EXPECT_EQ(At(image, 100, 100), kWhite);
    EXPECT_EQ(At(image, 100, 97), kBlack);
    EXPECT_EQ(CountOf(image, kBlack, QRect(94, 107, 12, 1)), 12);
    EXPECT_EQ(Inked(image, QRect(0, 108, 200, 92)), 0);
    EXPECT_EQ(At(image, 100, 105), kPaper); // not filled
    EXPECT_EQ(InkBounds(image), QRect(94, 97, 13, 11));
}

TEST(TextPrimitivesTest, TextIsUnquotedAndDrawnTwoPointsLarger) {
    platform::RecordingCanvas canvas;
    DrawingContext context;
    InitContext(context);
    AttachCanvas(context, canvas);
    const auto textOf = [&](std::string_view statement) {
        EXPECT_TRUE(DrawPrimitive(context, statement).Ok()) << statement;
        return canvas.Calls().back().text;
    };
    EXPECT_EQ(textOf("TEXT(10,10,\"F\");"), "F");
    EXPECT_EQ(canvas.Calls().back().font.size, 10);
    EXPECT_EQ(canvas.Calls().back().x1, 10);
    EXPECT_EQ(canvas.GetFont().size, 8);
    EXPECT_EQ(canvas.GetBrushStyle(), platform::BrushStyle::Clear);
    EXPECT_EQ(textOf("TEXT(10,10,'F');"), "F");
    EXPECT_EQ(textOf("TEXT(10,10,F);"), "F");
    EXPECT_EQ(textOf("TEXT(10,10,\"it's\");"), "it's");
    EXPECT_EQ(textOf("TEXT(10,10,'a, b');"), "a, b");
    EXPECT_EQ(textOf("TEXT(10,10,'x'y');"), "xy'"); // the first quote after the opening one
    EXPECT_EQ(textOf("TEXT(10,10,\"a\" b);"), "a b");
    EXPECT_EQ(textOf("TEXT(10,10, \"c\");"), " c\""); // a blank is no opening quote
}

TEST(TextPrimitivesTest, GreekTextUsesTheSymbolFontThenTheAttachTimeFont) {
    platform::RecordingCanvas canvas;
    canvas.SetFont(platform::Font{"Arial", 9});
    DrawingContext context;
    InitContext(context);
    AttachCanvas(context, canvas);
    canvas.SetFontSize(12);
    EXPECT_TRUE(DrawPrimitive(context, "GREKTEXT(10,10,\"w\");").Ok());
    const platform::CanvasCall& call = canvas.Calls().back();
    EXPECT_EQ(call.text, "w");
    EXPECT_EQ(call.font.name, "Symbol");
    EXPECT_EQ(call.font.size, 18);
    EXPECT_EQ(call.brushStyle, platform::BrushStyle::Clear);
    EXPECT_EQ(canvas.GetFont().name, "Arial");
    EXPECT_EQ(canvas.GetFont().size, 9);
    EXPECT_TRUE(DrawPrimitive(context, "TEXT(10,10,\"w\");").Ok());
    EXPECT_EQ(canvas.Calls().back().font.name, "Arial");
    EXPECT_EQ(canvas.Calls().back().font.size, 11);
}

TEST(TextPrimitivesTest, LabelsOnPixels) {
    const auto ink = [](std::string_view statement) {
        Surface s;
        s.Draw(statement);
        return InkBounds(s.Finish());
    };
    const QRect latin = ink("TEXT(20,20,\"w\");");
    EXPECT_EQ(ink("TEXT(20,20,'w');"), latin);
    EXPECT_EQ(ink("TEXT(20,20,w);"), latin);
    EXPECT_GE(latin.left(), 20);
    EXPECT_GE(latin.top(), 20);
    const QRect greek = ink("GREKTEXT(20,20,\"w\");");
    EXPECT_GE(greek.top(), 20);
    EXPECT_GT(greek.height(), latin.height());
    EXPECT_NE(ink("GREKTEXT(20,20,\"p\");"), ink("TEXT(20,20,\"p\");"));
}
