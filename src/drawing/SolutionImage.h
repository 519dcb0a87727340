#pragma once

#include "drawing/DrawnAnswer.h"

#include <string>
#include <vector>

namespace drawing {

// A right drawing as statements of the diagram script (CP1251), to be drawn after a task's
// IMAGE: each force an ARROW of kSolutionArrow pixels from its point along its angle, each
// moment a CARROW about its point, ccw or cw, each with its name beside it. A pin's single
// reaction, which stands in for its two, is not drawn.
inline constexpr int kSolutionArrow = 40;
std::string SolutionStatements(const std::vector<Expectation>& expected);

} // namespace drawing
