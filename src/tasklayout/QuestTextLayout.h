#pragma once

#include "tasklayout/MarkedLine.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The word wrap of a task statement on the task view's picture. Lines break after a space,
// which stays at the end of its line; a "|" forces a break at the last space before the word
// that holds it and disappears (so "|" right after a space breaks there, and "|" inside a
// word joins its two parts); the last word goes onto the current line, past the limit too,
// as long as the line shows whole in the picture; any word too wide for a line of its own is
// cut one byte per line until its rest fits.

struct QuestLine {
    std::string text;
    int top = 0; // the line's top: the previous top plus this line's own height
};

struct QuestTextLayout {
    std::vector<QuestLine> lines;
    int height = 0; // the picture's height under the statement: last top + 40
};

inline constexpr int kQuestTextLeft = 30;
inline constexpr int kQuestTextTop = 30;
inline constexpr int kQuestTextBottomMargin = 40;
// A statement longer than this is cut, and at most so many lines are laid out, so that no
// statement can make the layout run long or the picture grow without bound.
inline constexpr std::size_t kMaxQuestTextBytes = 16384;
inline constexpr std::size_t kMaxQuestLines = 500;

using MarkedLineMeasure = std::function<LineExtent(std::string_view line)>;

// Wraps the statement for a picture `imageWidth` wide (the limit of a line is that width
// less 60, with 30 of left margin) with the given measure of a marked line.
QuestTextLayout LayoutQuestText(std::string_view questText, int imageWidth,
                                const MarkedLineMeasure& measure);

// The measure of the task view: MeasureMarkedLine on the canvas.
QuestTextLayout LayoutQuestText(std::string_view questText, int imageWidth,
                                platform::Canvas& canvas);

// Draws every line at the left margin.
void DrawQuestText(platform::Canvas& canvas, const QuestTextLayout& layout);
