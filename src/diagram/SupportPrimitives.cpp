// Supports of mechanics drawings: a fixed surface seen edge-on, a sleeve of two hatched
// walls, and a hinge.

#include "diagram/DrawingContext.h"
#include "diagram/Geometry.h"
#include "diagram/Primitives.h"
#include "diagram/StatementParams.h"

#include <cstdint>

namespace diagram {

namespace {

constexpr int kGroundHatchDepth = 10;
constexpr int kWallThickness = 7;
constexpr double kHingeHeight = 3 * 2.6;
constexpr int kHingeTopSpread = 3;
constexpr int kHingeBaseSpread = 6;
constexpr int kPinRadius = 3;

// Hatched boxes are filled without an outline.
void StartHatch(platform::Canvas& canvas) {
    canvas.SetPenStyle(platform::kPenClear);
    canvas.SetBrushStyle(platform::BrushStyle::BDiagonal);
    canvas.SetBrushColor(platform::kBlack);
}

void EndHatch(platform::Canvas& canvas) {
    canvas.SetPenStyle(platform::kPenSolid);
    canvas.SetBrushStyle(platform::BrushStyle::Clear);
}

} // namespace

// The fourth parameter is reserved: it must be an integer and is not used.
platform::Status DrawGround(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int width = params.NextInt();
    params.LastInt();
    if (!params.Ok())
        return params.Error();
    platform::Canvas& canvas = *context.canvas;
    StartHatch(canvas);
    const std::int64_t left = x - Half(width), right = x + Half(width);
    Box(canvas, left, y, right, static_cast<std::int64_t>(y) + kGroundHatchDepth);
    EndHatch(canvas);
    canvas.SetPenWidth(3);
    Line(canvas, left, y, right, y);
    canvas.SetPenWidth(1);
    return platform::Done{};
}

// Orientation 0 lays the walls along x, 1 along y; other codes draw nothing. The face
// lines are the inner faces of the walls, drawn with the pen colour and width as found.
platform::Status DrawSleeve(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const std::int64_t x = params.NextInt();
    const std::int64_t y = params.NextInt();
    const std::int64_t halfLength = Half(params.NextInt());
    const std::int64_t halfGap = Half(params.NextInt());
    const int orientation = params.LastInt();
    if (!params.Ok())
        return params.Error();
    platform::Canvas& canvas = *context.canvas;
    StartHatch(canvas);
    if (orientation == 0) {
        Box(canvas, x - halfLength, y - halfGap, x + halfLength, y - halfGap - kWallThickness);
        Box(canvas, x - halfLength, y + halfGap, x + halfLength, y + halfGap + kWallThickness);
    } else if (orientation == 1) {
        Box(canvas, x - halfGap, y - halfLength, x - halfGap - kWallThickness, y + halfLength);
        Box(canvas, x + halfGap, y - halfLength, x + halfGap + kWallThickness, y + halfLength);
    }
    EndHatch(canvas);
    if (orientation == 0) {
        Line(canvas, x - halfLength, y - halfGap - 1, x + halfLength, y - halfGap - 1);
        Line(canvas, x - halfLength, y + halfGap, x + halfLength, y + halfGap);
    } else if (orientation == 1) {
        Line(canvas, x - halfGap - 1, y - halfLength, x - halfGap - 1, y + halfLength);
        Line(canvas, x + halfGap, y - halfLength, x + halfGap, y + halfLength);
    }
    return platform::Done{};
}

// An open triangle under a white pin.
platform::Status DrawHinge(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.LastInt();
    if (!params.Ok())
        return params.Error();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(platform::kWhite);
    const std::int64_t x64 = x;
    const int base = Trunc(y + kHingeHeight);
    canvas.MoveTo(Clamp32(x64 - kHingeTopSpread), y);
    canvas.LineTo(Clamp32(x64 - kHingeBaseSpread), base);
    canvas.LineTo(Clamp32(x64 + kHingeBaseSpread), base);
    canvas.LineTo(Clamp32(x64 + kHingeTopSpread), y);
    CircleAbout(canvas, x, y, kPinRadius);
    canvas.SetBrushColor(context.SavedBrushColor);
    return platform::Done{};
}

} // namespace diagram
