#pragma once

#include "diagram/DrawingContext.h"

#include <string>
#include <string_view>

namespace diagram {

// The drawing surface of a diagram document: 300 x 160 unless its header says otherwise.
struct DiagramSize {
    int width = 300;
    int height = 160;
};

// A header may ask for any size; a surface is made only when each side lies in
// 1..kMaxDiagramSide, so that no document can make the client allocate without bound.
inline constexpr int kMaxDiagramSide = 10000;
bool IsDrawableSize(DiagramSize size);

// Reads the optional header, HEIGHT(h); and then WIDTH(w); (only in this order, each at
// the very start of what is left), cuts it off the document and returns the size. A bad
// value fails with the integer conversion error.
platform::Result<DiagramSize> ReadDiagramHeader(std::string& document);

// Gives the document, header already cut off, to DrawPrimitive statement by statement:
// each statement is the text up to and including the next ";". A rest without ";" is
// tried as one last statement. An error stops the document and goes to the caller.
[[nodiscard]] platform::Status DrawDiagramStatements(DrawingContext& context,
                                                     std::string_view statements);

// Prepares a surface the way the task view shows a diagram: filled with the window
// colour, framed in FrameColor (pen 3 around the whole surface, pen 1 three pixels in),
// the brush left clear so that an attached context captures white.
void DrawDiagramFrame(platform::Canvas& canvas, DiagramSize size, Color windowColor);

// A whole document on a fresh surface of `size` (as read from its header): frame, attach,
// statements. An error stops the document and goes to the caller.
[[nodiscard]] platform::Status DrawDiagramDocument(DrawingContext& context,
                                                   platform::Canvas& canvas, DiagramSize size,
                                                   std::string_view statements,
                                                   Color windowColor = platform::kWhite);

} // namespace diagram
