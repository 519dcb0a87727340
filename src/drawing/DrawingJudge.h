#pragma once

#include "answers/DeclaredNames.h"
#include "answers/Judge.h"
#include "drawing/DrawnAnswer.h"

#include <string>
#include <string_view>
#include <vector>

namespace drawing {

// What the judge says of one expected object, or of a drawn object that matches nothing.
enum class Finding { Found, Missing, Direction, Name, Magnitude, Extra };

struct FindingLine {
    Finding finding = Finding::Found;
    ObjectKind kind = ObjectKind::Force;
    bool reaction = false;
    bool placed = true;
    Point at;                 // the expected point; the drawn one for an extra object
    double angle = 0;         // the expected force's direction
    bool ccw = true;          // the expected moment's sense
    std::string expectedName; // notation keys; empty for an extra object
    std::string drawnName;    // empty for a missing object
    int drawn = -1;           // the drawn object it speaks of; -1 for a missing one
};

struct DrawingJudgement {
    answers::Verdict verdict = answers::Verdict::NotAccepted;
    std::vector<FindingLine> findings; // the expected objects in order, then the extras
    int matched = 0;
    int extra = 0;
    int expected = 0;
    double score = 0; // (matched - extra) / expected, never below 0
};

// What a magnitude is judged with: the task's declared names and tolerances, as its rows.
struct MagnitudeRules {
    std::vector<answers::DeclaredName> names;
    answers::Tolerance tolerance;
};

// Judges a drawing. An expected object is found when an unused drawn object of its kind
// agrees with it in position (within the tolerance each way; a couple anywhere), direction
// or sense, name and, where a magnitude is asked, magnitude: judged as an answer row
// against the reference, or against its negative for a reaction drawn the other way
// round. An expected object not found takes the nearest unused drawn object at its point
// (the most nearly right first) and is told wrong in direction, else in name, else in
// magnitude; with none there it is missing. A pin is judged as its one reaction R!P when
// the drawing has a force of that name at the pin. Drawn objects left over are extra.
// An empty drawing is not accepted; "верно" only when everything is found and nothing
// is extra.
DrawingJudgement JudgeDrawing(const std::vector<Expectation>& expected,
                              const std::vector<DrawnObject>& drawn, const DrawTolerance& tolerance,
                              const MagnitudeRules& rules);

// The TEXT labels of a diagram script (CP1251, as sent): where each is written and what.
struct Label {
    Point at;
    std::string text;
};
std::vector<Label> ImageLabels(std::string_view cp1251Image);

// A point as the student reads it (UTF-8): the nearest label within 20 pixels, else
// "(x, y)".
std::string PointName(Point at, const std::vector<Label>& labels);

// What the student is told of a finding (UTF-8): "нет реакции в точке A", "лишняя сила в
// точке C", ...
std::string FindingMessage(const FindingLine& line, const std::vector<Label>& labels);

// The author tool's line of a finding (UTF-8): "верно: F", "нет: R_A", "направление: F",
// "имя: R_B (нужно R_A)", "величина: R_A", "лишняя: P".
std::string FindingToolLine(const FindingLine& line);

// The author tool's report: a line per finding, then "score M of N" with M the matched
// objects less the extra ones (never below 0) and N the expected ones.
std::string ToolReport(const DrawingJudgement& judgement);

} // namespace drawing
