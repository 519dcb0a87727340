// Lines and arrows: bars and edges, styled lines, force vectors, thin arrows for
// dimensions and axes, and moment arrows drawn as an arc with a head.

#include "diagram/DrawingBudget.h"
#include "diagram/DrawingContext.h"
#include "diagram/Geometry.h"
#include "diagram/Primitives.h"
#include "diagram/StatementParams.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace diagram {

namespace {

constexpr Color kArrowBlue = MakeColor(0, 0, 255);
constexpr Color kMomentRed = MakeColor(255, 0, 0);
constexpr double kHeadLength = 10;
constexpr double kHeadHalfWidth = 5;
constexpr double kNearZero = 0.00001;
constexpr int kPinRadius = 3;
constexpr int kChordsPerPixel = 10;
constexpr std::int64_t kMaxChords = 100000;
constexpr double kHeadBackAngle = 0.3;
constexpr double kBarbOffset = 5;

struct StraightArrow {
    int x, y, length;
    double angle; // radians
};

platform::Result<StraightArrow> ReadStraightArrow(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    StraightArrow arrow{};
    arrow.x = params.NextInt();
    arrow.y = params.NextInt();
    arrow.length = params.NextInt();
    arrow.angle = Radians(params.LastAngle(), context.pi);
    if (!params.Ok())
        return params.Error();
    return arrow;
}

double ZeroIfTiny(double value) {
    return std::fabs(value) < kNearZero ? 0 : value;
}

// From the start point: the shaft to the tip, then the two barbs back from the tip.
void DrawShaftAndHead(platform::Canvas& canvas, const StraightArrow& arrow) {
    canvas.MoveTo(arrow.x, arrow.y);
    const double c = ZeroIfTiny(std::cos(arrow.angle));
    const double s = ZeroIfTiny(std::sin(arrow.angle));
    const double x = arrow.x, y = arrow.y, length = arrow.length;
    const int tipX = Trunc(x + length * c);
    const int tipY = Trunc(y - length * s);
    const double back = length - kHeadLength;
    canvas.LineTo(tipX, tipY);
    canvas.LineTo(Trunc(x + back * c - kHeadHalfWidth * s),
                  Trunc(y - back * s - kHeadHalfWidth * c));
    canvas.MoveTo(tipX, tipY);
    canvas.LineTo(Trunc(x + back * c + kHeadHalfWidth * s),
                  Trunc(y - back * s + kHeadHalfWidth * c));
}

void ThinBlackPen(platform::Canvas& canvas) {
    canvas.SetPenColor(platform::kBlack);
    canvas.SetPenWidth(1);
}

// The point at angle `angle` and distance `radius` from (x, y), truncated.
void PointOnCircle(int x, int y, double radius, double angle, int& px, int& py) {
    px = Trunc(x + radius * std::cos(angle));
    py = Trunc(y - radius * std::sin(angle));
}

} // namespace

platform::Status DrawLineStatement(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x1 = params.NextInt();
    const int y1 = params.NextInt();
    const int x2 = params.NextInt();
    const int y2 = params.LastInt();
    if (!params.Ok())
        return params.Error();
    Line(*context.canvas, x1, y1, x2, y2);
    return platform::Done{};
}

// Only the low byte of the style counts; codes without a pen style of their own draw
// solid. A pen wider than any surface is drawn as wide as kMaxPenWidth, and the line is
// paid by its width.
platform::Status DrawAdvancedLine(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x1 = params.NextInt();
    const int y1 = params.NextInt();
    const int x2 = params.NextInt();
    const int y2 = params.NextInt();
    const int styleCode = params.NextInt() & 0xFF;
    const int width = std::min(params.LastInt(), kMaxPenWidth);
    if (!params.Ok())
        return params.Error();
    if (platform::Status paid = context.budget.SpendSegments(WideLineCost(width)); !paid)
        return paid;

    platform::Canvas& canvas = *context.canvas;
    const int keptStyle = canvas.PenStyle();
    const int keptWidth = canvas.PenWidth();
    canvas.SetPenStyle(styleCode <= platform::kPenInsideFrame ? styleCode : platform::kPenSolid);
    canvas.SetPenWidth(width);
    canvas.SetBrushStyle(platform::BrushStyle::Clear);
    Line(canvas, x1, y1, x2, y2);
    canvas.SetPenStyle(keptStyle);
    canvas.SetPenWidth(keptWidth);
    return platform::Done{};
}

// A force: thick blue arrow with a white pin at the point of application.
platform::Status DrawForceArrow(DrawingContext& context, std::string_view text) {
    const platform::Result<StraightArrow> read = ReadStraightArrow(context, text);
    if (!read)
        return read.Error();
    const StraightArrow& arrow = *read;
    platform::Canvas& canvas = *context.canvas;
    canvas.SetPenColor(kArrowBlue);
    canvas.SetPenWidth(3);
    DrawShaftAndHead(canvas, arrow);
    ThinBlackPen(canvas);
    canvas.SetBrushColor(platform::kWhite);
    CircleAbout(canvas, arrow.x, arrow.y, kPinRadius);
    canvas.SetBrushColor(context.SavedBrushColor);
    return platform::Done{};
}

platform::Status DrawBlackArrow(DrawingContext& context, std::string_view text) {
    const platform::Result<StraightArrow> read = ReadStraightArrow(context, text);
    if (!read)
        return read.Error();
    platform::Canvas& canvas = *context.canvas;
    ThinBlackPen(canvas);
    DrawShaftAndHead(canvas, *read);
    ThinBlackPen(canvas);
    return platform::Done{};
}

// A moment: a red arc of radius r about (x, y) from a1 to a2 (counter-clockwise when
// a2 > a1) in 10 chords per pixel of radius, with a head at its end. A radius of 0 draws
// nothing. The chords are capped so that no radius can stall the drawing; a capped arc
// still runs its whole way in longer chords. An arc whose circle passes by every surface
// draws no chords (only the pen moves along), and the chords drawn come out of the
// picture's budget.
platform::Status DrawCircularArrow(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r = params.NextInt();
    double theta = Radians(params.NextAngle(), context.pi);
    const double theta2 = Radians(params.LastAngle(), context.pi);
    if (!params.Ok())
        return params.Error();
    if (r == 0)
        return platform::Done{};
    const std::int64_t wanted = static_cast<std::int64_t>(r) * kChordsPerPixel;
    const std::int64_t chords = std::min(wanted, kMaxChords);
    const double step = chords == wanted ? (theta2 - theta) / r * 0.1
                                         : (theta2 - theta) / static_cast<double>(chords);
    const bool seen = CircleMeetsSurfaces(x, y, r);
    const std::int64_t pieces = seen ? std::max<std::int64_t>(chords, 0) + 2 : 0;
    if (platform::Status paid = context.budget.SpendSegments(pieces); !paid)
        return paid;

    platform::Canvas& canvas = *context.canvas;
    canvas.SetPenColor(kMomentRed);
    canvas.SetPenWidth(3);
    int px = 0, py = 0;
    PointOnCircle(x, y, r, theta, px, py);
    canvas.MoveTo(px, py);
    if (seen) {
        for (std::int64_t i = 0; i < chords; ++i) {
            theta += step;
            PointOnCircle(x, y, r, theta, px, py);
            canvas.LineTo(px, py);
        }
    } else if (chords > 0) {
        theta += step * static_cast<double>(chords);
        PointOnCircle(x, y, r, theta, px, py);
        canvas.MoveTo(px, py);
    }
    const int tipX = canvas.PenX(), tipY = canvas.PenY();
    const double direction = step >= 0 ? 1 : -1;
    const double head = theta - direction * kHeadBackAngle;
    PointOnCircle(x, y, r + kBarbOffset, head, px, py);
    canvas.LineTo(px, py);
    canvas.MoveTo(tipX, tipY);
    PointOnCircle(x, y, r - kBarbOffset, head, px, py);
    canvas.LineTo(px, py);
    ThinBlackPen(canvas);
    return platform::Done{};
}

} // namespace diagram
