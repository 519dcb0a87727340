#pragma once

#include "course/TaskBank.h"

#include <string>

// A submitted drawing over its task's diagram, as the teacher checks it: every drawn
// object the judge found right in green, every drawn object it found wrong or extra in
// red, and every expected object that was not drawn in red where it belongs, dashed;
// each with its name. `task` is the student's variant; `payload` the SETRESULTQUEST as
// stored. Written as PNG; drawing text needs a QGuiApplication (the offscreen platform
// serves).
struct DrawingPicture {
    std::string png;
    std::string problem; // UTF-8: why there is no picture
};

DrawingPicture DrawSubmittedDrawing(const BankTask& task, const std::string& payload);
