#pragma once

#include "drawing/DrawnAnswer.h"
#include "platform/Canvas.h"

#include <string>
#include <vector>

namespace drawing {

// A right drawing as statements of the diagram script (CP1251), to be drawn after a task's
// IMAGE: each force an ARROW of kSolutionArrow pixels from its point along its angle, each
// moment a CARROW about its point, ccw or cw, each with its name beside it. A pin's single
// reaction, which stands in for its two, is not drawn.
inline constexpr int kSolutionArrow = 40;
std::string SolutionStatements(const std::vector<Expectation>& expected);

// A student's drawing on the diagram's canvas in kStudentColor, so that a right drawing
// drawn over it in the diagram's own colours (blue forces, red moments) can be told from
// it: each force an arrow of kSolutionArrow pixels from its point along its angle, each
// moment an arc about its point with its head at the end it turns to, each with its name.
// The canvas's pen and font are put back afterwards.
inline constexpr platform::Color kStudentColor = platform::Rgb(230, 120, 0);
void DrawStudentObjects(platform::Canvas& canvas, const std::vector<DrawnObject>& drawn);

} // namespace drawing
