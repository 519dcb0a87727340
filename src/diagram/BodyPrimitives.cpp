// Bodies: plain circles, round bodies with a pin at the centre, wheels of a dark rim and a
// light disc, and rectangular blocks.

#include "diagram/DrawingBudget.h"
#include "diagram/DrawingContext.h"
#include "diagram/Geometry.h"
#include "diagram/Primitives.h"
#include "diagram/StatementParams.h"

namespace diagram {

namespace {

constexpr int kPinRadius = 3;

// The white pin at the centre of a body, outlined with a thin pen.
void DrawPin(platform::Canvas& canvas, int x, int y) {
    canvas.SetPenWidth(1);
    canvas.SetBrushColor(platform::kWhite);
    CircleAbout(canvas, x, y, kPinRadius);
}

// A circle sized by the script. One that covers every surface shows only its brush (its
// rim lies beyond them all), so the brush fills a box around them instead; one that passes
// by them all draws nothing; one whose rim crosses them costs the picture's budget by its
// radius. So a huge radius can neither stall the drawing nor draw anything else.
platform::Status DrawScriptCircle(DrawingContext& context, int x, int y, std::int64_t r) {
    constexpr std::int64_t kBeyond = 1000; // past any pen's width
    switch (ReachOfCircle(x, y, r)) {
    case CircleReach::Apart:
        break;
    case CircleReach::Covers:
        if (platform::Status paid = context.budget.SpendSegments(1); !paid)
            return paid;
        Box(*context.canvas, -kBeyond, -kBeyond, kSurfaceReach + kBeyond, kSurfaceReach + kBeyond);
        break;
    case CircleReach::Crosses:
        if (platform::Status paid = context.budget.SpendSegments(CircleCost(r)); !paid)
            return paid;
        CircleAbout(*context.canvas, x, y, r);
        break;
    }
    return platform::Done{};
}

} // namespace

platform::Status DrawCircle(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r = params.LastInt();
    if (!params.Ok())
        return params.Error();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(platform::kWhite);
    if (platform::Status drawn = DrawScriptCircle(context, x, y, r); !drawn)
        return drawn;
    canvas.SetBrushColor(context.SavedBrushColor);
    return platform::Done{};
}

platform::Status DrawObjectCircle(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r = params.LastInt();
    if (!params.Ok())
        return params.Error();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(BodyColor);
    if (platform::Status drawn = DrawScriptCircle(context, x, y, r); !drawn)
        return drawn;
    DrawPin(canvas, x, y);
    canvas.SetBrushColor(context.SavedBrushColor);
    return platform::Done{};
}

// The rim is drawn first and the disc over it, so a disc larger than the rim covers it.
platform::Status DrawObjectDoubleCircle(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r1 = params.NextInt();
    const int r2 = params.LastInt();
    if (!params.Ok())
        return params.Error();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(RimColor);
    if (platform::Status drawn = DrawScriptCircle(context, x, y, r1); !drawn)
        return drawn;
    canvas.SetPenWidth(1);
    canvas.SetBrushColor(BodyColor);
    if (platform::Status drawn = DrawScriptCircle(context, x, y, r2); !drawn)
        return drawn;
    DrawPin(canvas, x, y);
    canvas.SetBrushColor(context.SavedBrushColor);
    return platform::Done{};
}

// A block centred on (x, y); an odd size puts the extra pixel on the right or bottom.
platform::Status DrawRectangleBody(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int width = params.NextInt();
    const int height = params.LastInt();
    if (!params.Ok())
        return params.Error();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetPenStyle(platform::kPenSolid);
    canvas.SetBrushColor(BodyColor);
    const std::int64_t left = x - Half(width);
    const std::int64_t top = y - Half(height);
    Box(canvas, left, top, left + width, top + height);
    canvas.SetBrushColor(context.SavedBrushColor);
    return platform::Done{};
}

} // namespace diagram
