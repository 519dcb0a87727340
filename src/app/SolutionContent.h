#pragma once

#include "drawing/DrawnAnswer.h"
#include "protocol/Messages.h"

#include <string>
#include <vector>

// What the solution window shows of a SOLUTION: each answer row's name and reference
// answer as the reading line reads them, with its value when it holds no parameter; for a
// drawn answer, what a right drawing holds (its magnitudes listed like the rows) and the
// student's last drawing. Texts are UTF-8.
struct SolutionLine {
    std::string name;   // "R_A"
    std::string answer; // "(8)/2 ≈ 4"
};

struct SolutionContent {
    std::vector<SolutionLine> rows;
    bool drawing = false; // the task asks for a drawn answer
    std::vector<drawing::Expectation> expected;
    std::vector<SolutionLine> magnitudes; // of the expected objects that have one
    std::vector<drawing::DrawnObject> drawn;
    // Why a part of the drawings could not be read; empty when all was.
    std::string problem;
};

SolutionContent ReadSolutionContent(const SolutionMessage& solution);
