#include "drawing/SolutionImage.h"

#include "answers/Read.h"

#include <algorithm>
#include <cmath>

namespace drawing {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMomentRadius = 18;

// A coordinate as a whole number the diagram reads; an author's far-off point stays far off
// without overflowing.
std::string Whole(double value) {
    constexpr double kFar = 1e6;
    return std::to_string(std::lround(std::clamp(value, -kFar, kFar)));
}

std::string Label(double x, double y, const std::string& key) {
    return "TEXT(" + Whole(x) + "," + Whole(y) + ",\"" +
           answers::NameText(key, answers::TextStyle::Cp1251Words) + "\");";
}

std::string Statements(const ExpectedObject& object) {
    const std::string x = Whole(object.at.x);
    const std::string y = Whole(object.at.y);
    if (object.kind == ObjectKind::Moment) {
        // Counter-clockwise runs from the smaller angle to the larger, as CARROW draws it.
        const std::string arc = object.ccw ? "30,300" : "300,30";
        return "CARROW(" + x + "," + y + "," + std::to_string(kMomentRadius) + "," + arc + ");" +
               Label(object.at.x + kMomentRadius + 2, object.at.y - kMomentRadius - 12,
                     object.name);
    }
    const double radians = object.angle * kPi / 180;
    const double tipX = object.at.x + kSolutionArrow * std::cos(radians);
    const double tipY = object.at.y - kSolutionArrow * std::sin(radians);
    return "ARROW(" + x + "," + y + "," + std::to_string(kSolutionArrow) + "," +
           Whole(object.angle) + ");" + Label(tipX + 4, tipY - 8, object.name);
}

constexpr int kHead = 8;
constexpr int kArcSteps = 24;

struct Spot {
    double x = 0;
    double y = 0;
};

int Pixel(double value) {
    constexpr double kFar = 1e6;
    return static_cast<int>(std::lround(std::clamp(value, -kFar, kFar)));
}

void Line(platform::Canvas& canvas, Spot from, Spot to) {
    canvas.MoveTo(Pixel(from.x), Pixel(from.y));
    canvas.LineTo(Pixel(to.x), Pixel(to.y));
}

// A head at `tip` for a shaft arriving along `radians` (the screen's y down).
void Head(platform::Canvas& canvas, Spot tip, double radians) {
    const Spot along{std::cos(radians), -std::sin(radians)};
    const Spot across{-along.y, along.x};
    for (const double side : {-0.5, 0.5})
        Line(canvas, tip,
             {tip.x - along.x * kHead + across.x * kHead * side,
              tip.y - along.y * kHead + across.y * kHead * side});
}

void StudentForce(platform::Canvas& canvas, const DrawnObject& force) {
    const double radians = force.angle * kPi / 180;
    const Spot tip{force.at.x + kSolutionArrow * std::cos(radians),
                   force.at.y - kSolutionArrow * std::sin(radians)};
    Line(canvas, {force.at.x, force.at.y}, tip);
    Head(canvas, tip, radians);
    canvas.TextOut(Pixel(tip.x + 4), Pixel(tip.y + 2),
                   answers::NameText(force.name, answers::TextStyle::Cp1251Words));
}

// An arc from 30° round to 300° (counter-clockwise) or back (clockwise), as the right
// drawing's moments are drawn, its head at the end it turns to.
void StudentMoment(platform::Canvas& canvas, const DrawnObject& moment) {
    const double from = (moment.ccw ? 30 : 300) * kPi / 180;
    const double to = (moment.ccw ? 300 : 30) * kPi / 180;
    auto at = [&](double radians) {
        return Spot{moment.at.x + kMomentRadius * std::cos(radians),
                    moment.at.y - kMomentRadius * std::sin(radians)};
    };
    for (int step = 0; step < kArcSteps; ++step)
        Line(canvas, at(from + (to - from) * step / kArcSteps),
             at(from + (to - from) * (step + 1) / kArcSteps));
    Head(canvas, at(to), to + (moment.ccw ? 1 : -1) * kPi / 2);
    canvas.TextOut(Pixel(moment.at.x - kMomentRadius - 4), Pixel(moment.at.y + kMomentRadius),
                   answers::NameText(moment.name, answers::TextStyle::Cp1251Words));
}

} // namespace

std::string SolutionStatements(const std::vector<Expectation>& expected) {
    std::string statements;
    for (const Expectation& expectation : expected)
        for (const ExpectedObject& object : expectation.objects)
            statements += Statements(object);
    return statements;
}

void DrawStudentObjects(platform::Canvas& canvas, const std::vector<DrawnObject>& drawn) {
    const platform::Color pen = canvas.PenColor();
    const int width = canvas.PenWidth();
    const int style = canvas.PenStyle();
    const platform::Font font = canvas.GetFont();
    const platform::BrushStyle brush = canvas.GetBrushStyle();
    const platform::Color brushColor = canvas.BrushColor();
    canvas.SetPenColor(kStudentColor);
    canvas.SetPenWidth(2);
    canvas.SetPenStyle(platform::kPenSolid);
    canvas.SetFontColor(kStudentColor);
    canvas.SetBrushStyle(platform::BrushStyle::Clear); // names over the picture, not on white
    for (const DrawnObject& object : drawn) {
        if (object.kind == ObjectKind::Force)
            StudentForce(canvas, object);
        else
            StudentMoment(canvas, object);
    }
    canvas.SetPenColor(pen);
    canvas.SetPenWidth(width);
    canvas.SetPenStyle(style);
    canvas.SetFont(font);
    canvas.SetBrushStyle(brush);
    if (brush != platform::BrushStyle::Clear)
        canvas.SetBrushColor(brushColor);
}

} // namespace drawing
