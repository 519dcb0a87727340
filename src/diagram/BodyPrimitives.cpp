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
void DrawScriptCircle(DrawingContext& context, int x, int y, std::int64_t r) {
    constexpr std::int64_t kBeyond = 1000; // past any pen's width
    switch (ReachOfCircle(x, y, r)) {
    case CircleReach::Apart:
        return;
    case CircleReach::Covers:
        context.budget.SpendSegments(1);
        Box(*context.canvas, -kBeyond, -kBeyond, kSurfaceReach + kBeyond, kSurfaceReach + kBeyond);
        return;
    case CircleReach::Crosses:
        context.budget.SpendSegments(CircleCost(r));
        CircleAbout(*context.canvas, x, y, r);
        return;
    }
}

} // namespace

void DrawCircle(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r = params.LastInt();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(platform::kWhite);
    DrawScriptCircle(context, x, y, r);
    canvas.SetBrushColor(context.SavedBrushColor);
}

void DrawObjectCircle(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r = params.LastInt();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(BodyColor);
    DrawScriptCircle(context, x, y, r);
    DrawPin(canvas, x, y);
    canvas.SetBrushColor(context.SavedBrushColor);
}

// The rim is drawn first and the disc over it, so a disc larger than the rim covers it.
void DrawObjectDoubleCircle(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r1 = params.NextInt();
    const int r2 = params.LastInt();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(RimColor);
    DrawScriptCircle(context, x, y, r1);
    canvas.SetPenWidth(1);
    canvas.SetBrushColor(BodyColor);
    DrawScriptCircle(context, x, y, r2);
    DrawPin(canvas, x, y);
    canvas.SetBrushColor(context.SavedBrushColor);
}

// A block centred on (x, y); an odd size puts the extra pixel on the right or bottom.
void DrawRectangleBody(DrawingContext& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int width = params.NextInt();
    const int height = params.LastInt();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetPenStyle(platform::kPenSolid);
    canvas.SetBrushColor(BodyColor);
    const std::int64_t left = x - Half(width);
    const std::int64_t top = y - Half(height);
    Box(canvas, left, top, left + width, top + height);
    canvas.SetBrushColor(context.SavedBrushColor);
}

} // namespace diagram
