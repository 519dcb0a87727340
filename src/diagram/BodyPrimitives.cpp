// Bodies: plain circles, round bodies with a pin at the centre, wheels of a dark rim and a
// light disc, and rectangular blocks.

#include "diagram/Geometry.h"
#include "diagram/Objprimitiv.h"
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

} // namespace

void DrawCircle(ObjectPrimitiv& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r = params.LastInt();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(platform::kWhite);
    CircleAbout(canvas, x, y, r);
    canvas.SetBrushColor(context.SavedBrushColor);
}

void DrawObjectCircle(ObjectPrimitiv& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r = params.LastInt();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(BodyColor);
    CircleAbout(canvas, x, y, r);
    DrawPin(canvas, x, y);
    canvas.SetBrushColor(context.SavedBrushColor);
}

// The rim is drawn first and the disc over it, so a disc larger than the rim covers it.
void DrawObjectDoubleCircle(ObjectPrimitiv& context, std::string_view text) {
    StatementParams params(text);
    const int x = params.NextInt();
    const int y = params.NextInt();
    const int r1 = params.NextInt();
    const int r2 = params.LastInt();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushColor(RimColor);
    CircleAbout(canvas, x, y, r1);
    canvas.SetPenWidth(1);
    canvas.SetBrushColor(BodyColor);
    CircleAbout(canvas, x, y, r2);
    DrawPin(canvas, x, y);
    canvas.SetBrushColor(context.SavedBrushColor);
}

// A block centred on (x, y); an odd size puts the extra pixel on the right or bottom.
void DrawRectangleBody(ObjectPrimitiv& context, std::string_view text) {
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
