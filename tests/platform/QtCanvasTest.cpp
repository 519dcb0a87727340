#include "platform/QtCanvas.h"
#include "platform/FontCache.h"
#include "platform/RecordingCanvas.h"
#include "platform/SymbolFont.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

using namespace platform;

namespace {

constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kBlue = Rgb(0, 0, 255);
constexpr Color kGreen = Rgb(0, 200, 0);
constexpr Color kPaper = Rgb(250, 250, 250);

// A 100 x 100 image in the paper colour, painted by `draw` through a QtCanvas.
QImage Paint(const std::function<void(QtCanvas&)>& draw) {
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(ToQColor(kPaper));
    {
        QtCanvas canvas(&image);
        draw(canvas);
    }
    return image;
}

Color At(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return Rgb(qRed(p), qGreen(p), qBlue(p));
}

int CountOf(const QImage& image, Color color, QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += At(image, x, y) == color;
    return n;
}

int CountNot(const QImage& image, Color color, QRect area) {
    return area.width() * area.height() - CountOf(image, color, area);
}

} // namespace

TEST(QtCanvasTest, ThinLinesLeaveTheirEndPixelAndTheClearPenDrawsNothing) {
    const QImage image = Paint([](QtCanvas& c) {
        c.SetPenColor(kRed);
        c.MoveTo(10, 10);
        c.LineTo(20, 10);
        c.MoveTo(30, 10);
        c.LineTo(30, 20);
        c.MoveTo(40, 10);
        c.LineTo(50, 20);
        c.SetPenStyle(kPenClear);
        c.MoveTo(10, 50);
        c.LineTo(90, 50);
        EXPECT_EQ(c.PenX(), 90);
        EXPECT_EQ(c.PenY(), 50);
    });
    EXPECT_EQ(CountOf(image, kRed, QRect(10, 10, 10, 1)), 10);
    EXPECT_EQ(At(image, 20, 10), kPaper);
    EXPECT_EQ(At(image, 9, 10), kPaper);
    EXPECT_EQ(CountOf(image, kRed, QRect(30, 10, 1, 10)), 10);
    EXPECT_EQ(At(image, 30, 20), kPaper);
    EXPECT_EQ(At(image, 40, 10), kRed);
    EXPECT_EQ(At(image, 45, 15), kRed);
    EXPECT_EQ(At(image, 50, 20), kPaper);
    EXPECT_EQ(CountOf(image, kRed, QRect(0, 0, 100, 100)), 30);
}

TEST(QtCanvasTest, ThinLinesInEveryDirectionPaintTheirStartAndNotTheirEnd) {
    const std::pair<int, int> ends[] = {{20, 0},   {-20, 0}, {0, 20},  {0, -20}, {20, 7},
                                        {-20, -7}, {7, -20}, {-7, 20}, {15, 15}, {-15, 15}};
    for (const auto& [dx, dy] : ends) {
        const QImage image = Paint([&](QtCanvas& c) {
            c.MoveTo(50, 50);
            c.LineTo(50 + dx, 50 + dy);
        });
        EXPECT_EQ(At(image, 50, 50), kBlack) << dx << "," << dy;
        EXPECT_EQ(At(image, 50 + dx, 50 + dy), kPaper) << dx << "," << dy;
        EXPECT_EQ(CountOf(image, kBlack, QRect(0, 0, 100, 100)),
                  std::max(std::abs(dx), std::abs(dy)))
            << dx << "," << dy;
    }
}

TEST(QtCanvasTest, LinesFarBeyondTheSurfaceDrawTheirVisiblePartAtOnce) {
    const QImage image = Paint([](QtCanvas& c) {
        c.MoveTo(-2147483647 - 1, 10);
        c.LineTo(2147483647, 10);
        c.MoveTo(50, 2147483647);
        c.LineTo(50, -2147483647 - 1);
        c.SetPenStyle(kPenDot);
        c.MoveTo(-2000000000, -2000000000);
        c.LineTo(2000000000, 2000000000);
    });
    EXPECT_EQ(CountOf(image, kBlack, QRect(0, 10, 100, 1)), 100);
    EXPECT_EQ(CountOf(image, kBlack, QRect(50, 0, 1, 100)), 100);
    const int dots = CountOf(image, kBlack, QRect(0, 0, 100, 100)) - 199;
    EXPECT_GT(dots, 40);
    EXPECT_LT(dots, 60);
}

TEST(QtCanvasTest, ThinLinesWrittenStraightMatchThePainters) {
    const auto lines = [](QtCanvas& c) {
        const int ends[][4] = {{-5, 3, 120, 40},  {99, 99, 0, 0},   {10, 90, 13, -20},
                               {50, 0, 50, 99},   {0, 50, 100, 51}, {70, 10, 20, 95},
                               {-1, -1, 101, 101}};
        const int styles[] = {kPenSolid, kPenDash, kPenDot, kPenDashDot, kPenDashDotDot};
        int k = 0;
        for (const auto& e : ends) {
            c.SetPenColor(Rgb(40 * k, 255 - 30 * k, 7 * k));
            c.SetPenStyle(styles[k++ % 5]);
            c.MoveTo(e[0], e[1]);
            c.LineTo(e[2], e[3]);
        }
    };
    const QImage straight = Paint(lines);
    // A clip that hides nothing sends the pixels through the painter.
    QImage drawn(100, 100, QImage::Format_RGB32);
    drawn.fill(ToQColor(kPaper));
    {
        QPainter painter(&drawn);
        painter.setClipRect(QRect(-10, -10, 200, 200));
        QtCanvas canvas(painter);
        lines(canvas);
    }
    EXPECT_EQ(straight, drawn);
    EXPECT_GT(CountNot(straight, kPaper, QRect(0, 0, 100, 100)), 400);
}

TEST(QtCanvasTest, BoxesAndTextFarBeyondTheSurfaceShowOnlyTheirVisiblePart) {
    constexpr int kLow = -2147483647 - 1, kHigh = 2147483647;
    const QImage image = Paint([](QtCanvas& c) {
        c.SetBrushColor(kGreen);
        c.SetPenColor(kRed);
        c.Rectangle(kLow, kLow, kHigh, kHigh);
        c.Ellipse(kLow, kLow, kHigh, kHigh);
        c.Ellipse(kHigh, kHigh, kHigh - 10, kHigh - 10);
        c.TextOut(kHigh, kHigh, "far");
        c.TextOut(kLow, kLow, "far");
        c.SetBrushColor(kBlue);
        c.Rectangle(50, kLow, kHigh, 50);
    });
    EXPECT_EQ(CountOf(image, kBlue, QRect(51, 0, 49, 49)), 49 * 49);
    EXPECT_EQ(CountOf(image, kRed, QRect(0, 0, 100, 100)), 99);
    EXPECT_EQ(CountOf(image, kRed, QRect(50, 49, 50, 1)), 50);
    EXPECT_EQ(CountOf(image, kRed, QRect(50, 0, 1, 50)), 50);
    EXPECT_EQ(CountOf(image, kGreen, QRect(0, 0, 100, 100)), 100 * 100 - 49 * 49 - 99);
}

TEST(QtCanvasTest, DashesAtWidthOneAndSolidWhenWider) {
    const QImage image = Paint([](QtCanvas& c) {
        c.SetPenStyle(kPenDash);
        c.MoveTo(0, 10);
        c.LineTo(100, 10);
        c.SetPenStyle(kPenDot);
        c.MoveTo(0, 20);
        c.LineTo(100, 20);
        c.SetPenStyle(kPenDashDot);
        c.SetPenWidth(3);
        c.MoveTo(10, 40);
        c.LineTo(90, 40);
    });
    const int dashed = CountOf(image, kBlack, QRect(0, 10, 100, 1));
    EXPECT_GT(dashed, 60);
    EXPECT_LT(dashed, 90);
    const int dotted = CountOf(image, kBlack, QRect(0, 20, 100, 1));
    EXPECT_GT(dotted, 40);
    EXPECT_LT(dotted, 60);
    // The wide pen: solid over three rows.
    for (int y = 39; y <= 41; ++y)
        EXPECT_EQ(CountOf(image, kBlack, QRect(10, y, 80, 1)), 80) << y;
    EXPECT_EQ(CountOf(image, kBlack, QRect(10, 43, 80, 1)), 0);
}

// Wide lines outside the surface are left out only when no part of their stroke can show:
// a line just beyond an edge still paints the rows its half-width and round cap reach.
TEST(QtCanvasTest, WideLinesJustBeyondTheEdgesStillPaintWhatTheirStrokeReaches) {
    const QImage image = Paint([](QtCanvas& c) {
        c.SetPenWidth(10);
        c.MoveTo(10, -4); // along the top, 4 pixels above it
        c.LineTo(90, -4);
        c.MoveTo(104, 10); // down the right side, 4 pixels beyond it
        c.LineTo(104, 90);
        c.MoveTo(-2, 102); // a cap alone reaches the lower left corner
        c.LineTo(-30, 130);
        c.MoveTo(-500, -500); // far off: nothing
        c.LineTo(-400, -450);
    });
    EXPECT_GT(CountOf(image, kBlack, QRect(20, 0, 60, 1)), 55);
    EXPECT_GT(CountOf(image, kBlack, QRect(99, 20, 1, 60)), 55);
    EXPECT_NE(At(image, 0, 99), kPaper);
    EXPECT_EQ(CountNot(image, kPaper, QRect(20, 20, 60, 60)), 0);
}

TEST(QtCanvasTest, RectangleAndEllipseKeepToTheirBoxWithExclusiveRightAndBottom) {
    const auto draw = [](int x1, int y1, int x2, int y2) {
        return Paint([=](QtCanvas& c) {
            c.SetPenColor(kRed);
            c.SetBrushColor(kGreen);
            c.Rectangle(x1, y1, x2, y2);
            c.Ellipse(x1 + 30, y1, x2 + 30, y2);
        });
    };
    const QImage image = draw(10, 20, 31, 41);
    // Rectangle: outline on x 10 and 30, y 20 and 40; inside filled.
    EXPECT_EQ(At(image, 10, 30), kRed);
    EXPECT_EQ(At(image, 30, 30), kRed);
    EXPECT_EQ(At(image, 20, 20), kRed);
    EXPECT_EQ(At(image, 20, 40), kRed);
    EXPECT_EQ(At(image, 20, 30), kGreen);
    EXPECT_EQ(At(image, 31, 30), kPaper);
    EXPECT_EQ(At(image, 20, 41), kPaper);
    EXPECT_EQ(CountNot(image, kPaper, QRect(10, 20, 21, 21)), 21 * 21);
    // Circle of radius 10 about (50, 30): the box 40..60 x 20..40.
    EXPECT_EQ(At(image, 50, 20), kRed);
    EXPECT_EQ(At(image, 50, 40), kRed);
    EXPECT_EQ(At(image, 40, 30), kRed);
    EXPECT_EQ(At(image, 60, 30), kRed);
    EXPECT_EQ(At(image, 50, 30), kGreen);
    EXPECT_EQ(At(image, 41, 21), kPaper);
    EXPECT_EQ(CountNot(image, kPaper, QRect(40, 41, 21, 1)), 0);
    EXPECT_EQ(CountNot(image, kPaper, QRect(61, 20, 1, 21)), 0);
    // No fill pixel lies outside the outline: each row's painted run is red at both ends.
    for (int y = 21; y < 40; ++y) {
        int first = 40, last = 60;
        while (At(image, first, y) == kPaper)
            ++first;
        while (At(image, last, y) == kPaper)
            --last;
        EXPECT_EQ(At(image, first, y), kRed) << y;
        EXPECT_EQ(At(image, last, y), kRed) << y;
    }
    // Corners in the wrong order describe the same boxes.
    EXPECT_EQ(draw(31, 41, 10, 20), image);
}

TEST(QtCanvasTest, InsideFramePenStaysInsideTheBoxAndClearPenOnlyFills) {
    const QImage image = Paint([](QtCanvas& c) {
        c.SetPenStyle(kPenInsideFrame);
        c.SetPenWidth(5);
        c.SetBrushColor(kGreen);
        c.Rectangle(10, 10, 40, 40);
        c.SetPenStyle(kPenClear);
        c.Rectangle(50, 10, 60, 20);
    });
    EXPECT_EQ(CountNot(image, kPaper, QRect(9, 0, 1, 100)), 0);
    EXPECT_EQ(CountNot(image, kPaper, QRect(40, 0, 1, 100)), 0);
    EXPECT_EQ(CountNot(image, kPaper, QRect(0, 40, 45, 1)), 0);
    EXPECT_EQ(CountOf(image, kBlack, QRect(10, 25, 5, 1)), 5);
    EXPECT_EQ(At(image, 15, 25), kGreen);
    EXPECT_EQ(CountOf(image, kGreen, QRect(50, 10, 10, 10)), 100);
    EXPECT_EQ(CountNot(image, kPaper, QRect(60, 10, 1, 11)), 0);
}

TEST(QtCanvasTest, FillRectAndTheBackwardDiagonalHatch) {
    const QImage image = Paint([](QtCanvas& c) {
        c.SetBrushColor(kBlue);
        c.FillRect(10, 10, 20, 15);
        c.SetBrushStyle(BrushStyle::BDiagonal);
        c.SetBrushColor(kBlack);
        c.FillRect(30, 30, 70, 40);
        c.SetBrushStyle(BrushStyle::Clear);
        c.FillRect(0, 50, 100, 100);
    });
    EXPECT_EQ(CountOf(image, kBlue, QRect(0, 0, 100, 30)), 50);
    EXPECT_EQ(CountOf(image, kBlue, QRect(10, 10, 10, 5)), 50);
    const QRect band(30, 30, 40, 10);
    const int inked = CountOf(image, kBlack, band);
    EXPECT_GT(inked, 20);
    EXPECT_EQ(CountOf(image, kPaper, band), 400 - inked);
    EXPECT_EQ(CountOf(image, kBlack, QRect(0, 0, 100, 100)), inked);
    // Hatch lines rise from lower left to upper right.
    for (int y = 31; y < 40; ++y)
        for (int x = 30; x < 69; ++x)
            if (At(image, x, y) == kBlack) {
                EXPECT_EQ(At(image, x + 1, y - 1), kBlack) << x << "," << y;
            }
    EXPECT_EQ(CountNot(image, kPaper, QRect(0, 50, 100, 50)), 0);
}

TEST(QtCanvasTest, TextSitsInItsCellInTheFontColourOnTheBrush) {
    int width = 0, height = 0;
    const QImage image = Paint([&](QtCanvas& c) {
        c.SetFont(Font{"Arial", 12, kBlue});
        width = c.TextWidth("HH");
        height = c.TextHeight("HH");
        c.SetBrushStyle(BrushStyle::Clear);
        c.TextOut(10, 10, "HH");
        c.SetBrushColor(kGreen);
        c.TextOut(10, 50, "HH");
    });
    EXPECT_GT(width, 10);
    EXPECT_GE(height, 14);
    EXPECT_LE(height, 20);
    const QRect cell(10, 10, width, height);
    EXPECT_GT(CountOf(image, kBlue, cell), 10);
    EXPECT_EQ(CountNot(image, kPaper, QRect(0, 0, 100, 10)), 0);
    EXPECT_EQ(CountNot(image, kPaper, QRect(0, 10, 10, 40)), 0);
    EXPECT_EQ(CountNot(image, kPaper, QRect(0, 10 + height, 100, 50 - 10 - height)), 0);
    // On a solid brush the whole cell is painted.
    EXPECT_EQ(CountOf(image, kPaper, QRect(10, 50, width, height)), 0);
    EXPECT_GT(CountOf(image, kGreen, QRect(10, 50, width, height)), width * height / 2);
    EXPECT_EQ(CountNot(image, kPaper, QRect(10 + width, 50, 20, height)), 0);
}

TEST(QtCanvasTest, FontSizesArePointsAtNinetySixDpi) {
    QImage image(10, 10, QImage::Format_RGB32);
    QtCanvas canvas(&image);
    canvas.SetFont(Font{"Arial", 12});
    EXPECT_EQ(ToQFont(canvas.GetFont()).pixelSize(), 16);
    const int small = canvas.TextHeight("A");
    canvas.SetFontSize(24);
    EXPECT_EQ(ToQFont(canvas.GetFont()).pixelSize(), 32);
    EXPECT_GT(canvas.TextHeight("A"), small * 3 / 2);
}

TEST(QtCanvasTest, SymbolTextIsDrawnAndMeasuredAsItsGreekLetters) {
    QImage image(10, 10, QImage::Format_RGB32);
    QtCanvas canvas(&image);
    canvas.SetFont(Font{"Symbol", 14});
    const QFontMetrics greek(ToQFont(canvas.GetFont()), &image);
    EXPECT_EQ(ToQFont(canvas.GetFont()).family(), QString(kSymbolSubstituteFamily));
    EXPECT_EQ(canvas.TextWidth("wp"), greek.horizontalAdvance(QString::fromUtf8("ωπ")));
    EXPECT_EQ(TextForFont(canvas.GetFont(), "abW"), QString::fromUtf8("αβΩ"));
    canvas.SetFontName("symbol");
    EXPECT_EQ(TextForFont(canvas.GetFont(), "j"), QString::fromUtf8("φ"));
    canvas.SetFontName("Arial");
    EXPECT_EQ(TextForFont(canvas.GetFont(), "w\xE0"), QString::fromUtf8("wа"));
}

TEST(QtCanvasTest, SymbolFontTableFollowsTheFontsOwnLayout) {
    EXPECT_EQ(SymbolTextToUtf8("abcdefghijklmnopqrstuvwxyz"), "αβχδεϕγηιφκλμνοπθρστυϖωξψζ");
    EXPECT_EQ(SymbolTextToUtf8("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), "ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ");
    EXPECT_EQ(SymbolTextToUtf8("0+-=\"$@~"), "0+−=∀∃≅∼");
    EXPECT_EQ(SymbolTextToUtf8("\xA5\xB0\xB1\xB4\xB6\xD6\xF2\xAE"), "∞°±×∂√∫→");
    EXPECT_EQ(SymbolFontToUnicode(0x80), U' ');
    EXPECT_EQ(SymbolFontToUnicode(0xFF), U' ');
    EXPECT_TRUE(IsSymbolFontName("SYMBOL"));
    EXPECT_FALSE(IsSymbolFontName("Symbols"));
}

TEST(QtCanvasTest, ABorrowedPainterGetsItsStateBack) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::green, 7));
    painter.setRenderHint(QPainter::Antialiasing, true);
    {
        QtCanvas canvas(painter);
        canvas.SetPenColor(kRed);
        canvas.MoveTo(0, 0);
        canvas.LineTo(10, 0);
    }
    EXPECT_EQ(painter.pen().width(), 7);
    EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing));
    painter.end();
    EXPECT_EQ(At(image, 5, 0), kRed);
}

TEST(RecordingCanvasTest, CallsCarryTheStateTheyWereMadeWith) {
    RecordingCanvas canvas;
    canvas.keepAtMost = 2;
    canvas.SetPenColor(kRed);
    canvas.MoveTo(1, 2);
    canvas.LineTo(3, 4);
    canvas.SetBrushStyle(BrushStyle::BDiagonal);
    canvas.Ellipse(5, 6, 7, 8);
    canvas.TextOut(0, 0, "dropped");
    ASSERT_EQ(canvas.Calls().size(), 2u);
    EXPECT_EQ(canvas.CallCount(), 3u);
    const CanvasCall& line = canvas.Calls()[0];
    EXPECT_EQ(line.kind, CanvasCall::Kind::Line);
    EXPECT_EQ(line.x1, 1);
    EXPECT_EQ(line.y2, 4);
    EXPECT_EQ(line.penColor, kRed);
    EXPECT_EQ(canvas.Calls()[1].brushStyle, BrushStyle::BDiagonal);
    EXPECT_EQ(canvas.TextWidth("abc"), 24);
}

namespace {

// The same drawing at one and at two device pixels per drawing pixel.
std::pair<QImage, QImage> PaintAtOneAndTwo(const std::function<void(QtCanvas&)>& draw) {
    QImage dense = SurfaceImage(100, 100, 2.0);
    dense.fill(ToQColor(kPaper));
    {
        QtCanvas canvas(&dense);
        draw(canvas);
    }
    return {Paint(draw), dense};
}

// Where the dense picture is not its plain twin with every pixel made a 2 x 2 square.
int SquaresThatDiffer(const QImage& plain, const QImage& dense) {
    int differ = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            for (int k = 0; k < 4; ++k)
                if (At(dense, 2 * x + k % 2, 2 * y + k / 2) != At(plain, x, y)) {
                    ++differ;
                    break;
                }
    return differ;
}

} // namespace

TEST(QtCanvasTest, ADenseSurfaceIsTheSamePictureWithEveryPixelASquare) {
    const auto [plain, dense] = PaintAtOneAndTwo([](QtCanvas& c) {
        c.SetPenColor(kRed);
        c.MoveTo(5, 5);
        c.LineTo(60, 5); // thin, straight
        c.MoveTo(5, 10);
        c.LineTo(90, 40); // thin, slanting
        c.MoveTo(95, 95);
        c.LineTo(-1000000, -20); // far off the surface, only its visible part stepped
        c.SetPenStyle(kPenDash);
        c.MoveTo(5, 50);
        c.LineTo(95, 50);
        c.SetPenStyle(kPenSolid);
        c.SetBrushColor(kBlue);
        c.Rectangle(10, 60, 40, 90); // filled, thin outline
        c.SetBrushColor(kGreen);
        c.FillRect(70, 15, 95, 30);
    });
    EXPECT_EQ(dense.width(), 200);
    EXPECT_EQ(dense.height(), 200);
    EXPECT_EQ(dense.devicePixelRatio(), 2.0);
    EXPECT_GT(CountOf(plain, kRed, plain.rect()), 200);
    EXPECT_EQ(SquaresThatDiffer(plain, dense), 0);
}

TEST(QtCanvasTest, ADenseSurfaceKeepsOutlinesAndTextInTheirPlace) {
    const auto [plain, dense] = PaintAtOneAndTwo([](QtCanvas& c) {
        c.SetPenColor(kRed);
        c.SetBrushStyle(BrushStyle::Clear);
        c.Ellipse(10, 10, 50, 40);
        c.SetPenWidth(3);
        c.Rectangle(60, 10, 90, 40); // round corners, drawn anew at the density
        c.SetFont({"Arial", 10, kBlue});
        c.TextOut(10, 60, "Wq");
    });
    // Shapes and glyphs are drawn anew at the density, so the two differ in detail; but
    // the dense ink lies where the plain ink is, and covers about four times as many
    // pixels: a one-pixel pen is one drawing pixel wide, not one device pixel.
    int strayInk = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            if (At(dense, 2 * x, 2 * y) == kPaper)
                continue;
            const QRect near(x - 1, y - 1, 3, 3);
            strayInk += CountNot(plain, kPaper, near.intersected(plain.rect())) == 0;
        }
    EXPECT_EQ(strayInk, 0);
    for (const QRect& part : {QRect(0, 0, 100, 50), QRect(0, 50, 100, 50)}) {
        const int plainInk = CountNot(plain, kPaper, part);
        const QRect densePart(part.topLeft() * 2, part.size() * 2);
        const int denseInk = CountNot(dense, kPaper, densePart);
        EXPECT_GT(plainInk, 20);
        EXPECT_GT(denseInk, 3 * plainInk);
        EXPECT_LT(denseInk, 5 * plainInk);
    }
}

// The server draws task pictures on worker threads: a canvas made there measures plainly
// instead of sharing the application thread's font cache, and draws the same text.
TEST(QtCanvasTest, ACanvasOnAnotherThreadLeavesTheSharedFontCacheAlone) {
    EXPECT_NE(platform::QtCanvas::SharedFonts(), nullptr);
    auto draw = [](QImage& image) {
        image.fill(Qt::white);
        platform::QtCanvas canvas(&image);
        canvas.TextOut(2, 2, "Fx 0,5");
    };
    QImage here(80, 30, QImage::Format_RGB32);
    draw(here);
    QImage there(80, 30, QImage::Format_RGB32);
    platform::FontCache* workerFonts = &platform::FontCache::Shared();
    std::unique_ptr<QThread> worker(QThread::create([&] {
        workerFonts = platform::QtCanvas::SharedFonts();
        draw(there);
    }));
    worker->start();
    worker->wait();
    EXPECT_EQ(workerFonts, nullptr);
    EXPECT_EQ(there, here);
}
