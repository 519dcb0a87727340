#include "platform/Canvas.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A canvas that draws nothing: the state rules are the base class's own.
class NullCanvas : public Canvas {
public:
    void LineTo(int x, int y) override { SetPenPosition(x, y); }
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void FillRect(int, int, int, int) override {}
    void TextOut(int, int, std::string_view) override {}
    int TextWidth(std::string_view) override { return 0; }
    int TextHeight(std::string_view) override { return 0; }
};

} // namespace

TEST(CanvasStateTest, BrushColourAndClearStyleAreCoupled) {
    NullCanvas canvas;
    canvas.SetBrushColor(Rgb(1, 2, 3));
    canvas.SetBrushStyle(BrushStyle::Clear);
    EXPECT_EQ(canvas.BrushColor(), kWhite);
    canvas.SetBrushColor(Rgb(0, 163, 149));
    EXPECT_EQ(canvas.GetBrushStyle(), BrushStyle::Solid);
    canvas.SetBrushStyle(BrushStyle::BDiagonal);
    canvas.SetBrushColor(kBlack);
    EXPECT_EQ(canvas.GetBrushStyle(), BrushStyle::BDiagonal);
}

TEST(CanvasStateTest, NegativePenWidthIsIgnoredAndLinesMoveThePen) {
    NullCanvas canvas;
    canvas.SetPenWidth(3);
    canvas.SetPenWidth(-2);
    EXPECT_EQ(canvas.PenWidth(), 3);
    canvas.MoveTo(5, 6);
    canvas.LineTo(7, 8);
    EXPECT_EQ(canvas.PenX(), 7);
    EXPECT_EQ(canvas.PenY(), 8);
}

TEST(CanvasStateTest, PixelHeightsBecomePointsAt96Dpi) {
    EXPECT_EQ(PointsForPixelHeight(16), 12);
    EXPECT_EQ(PointsForPixelHeight(11), 8);
    EXPECT_EQ(PointsForPixelHeight(19), 14);
}
