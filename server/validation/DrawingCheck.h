#pragma once

#include "course/TaskBank.h"

#include "platform/Canvas.h"

#include <string>
#include <vector>

// The times of an animation a check draws: evenly spaced from 0 to its end, both included.
inline constexpr int kCheckedAnimationTimes = 51;

// A fault of a drawing met in one variant. The key is the same for the same fault in other
// variants (the statement as the author wrote it, not its values), so it is told once.
struct DrawingProblem {
    std::string key;
    std::string text; // UTF-8, one line
};

// Draws one variant's diagram as the task view does, and its animation as the window shows
// it, still picture and run, at kCheckedAnimationTimes times, with texts measured on
// `measure`: every statement that puts a pixel outside the picture or the visible canvas, and
// every statement the animation cannot run at some time, is a problem.
std::vector<DrawingProblem> DrawingProblems(const BankTask& variantTask, platform::Canvas& measure);
