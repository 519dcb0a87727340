#pragma once

#include "platform/Canvas.h"

#include <string_view>
#include <vector>

// One line of a task statement with its markup: "<sym>...</sym>" shows its content in the
// "Symbol" font, where Latin letters appear as Greek ones (a as alpha, w as omega); the
// content of any other tag pair is hidden; a tag without a later "</" is removed alone.

// A piece of a line: plain text in the base font, or a symbol run.
struct MarkedPiece {
    std::string_view text;
    bool symbol = false;
};

// Walks the line as the statement is shown and gives its visible pieces in order (empty
// ones included, they still count for the line's height). A "<" with neither a ">" nor a
// "</" after it starts plain text up to the end of the line.
std::vector<MarkedPiece> SplitMarkedLine(std::string_view line);

struct LineExtent {
    int width = 0;
    int height = 0; // the greatest text height among the pieces
};

// The statement's base font: "MS Sans Serif", 10 points, black. Symbol runs are one point
// larger, blue, and drawn 2 pixels higher.
platform::Font QuestBaseFont();
platform::Font QuestSymbolFont();
inline constexpr int kSymbolRaise = 2;

// Measures a line with the canvas's text metrics; the canvas's font is left as it was.
LineExtent MeasureMarkedLine(platform::Canvas& canvas, std::string_view line);

// Draws a line with its left end at x and its top at y (symbol runs at y - 2); the canvas's
// font is left as it was.
void DrawMarkedLine(platform::Canvas& canvas, std::string_view line, int x, int y);
