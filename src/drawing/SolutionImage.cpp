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

} // namespace

std::string SolutionStatements(const std::vector<Expectation>& expected) {
    std::string statements;
    for (const Expectation& expectation : expected)
        for (const ExpectedObject& object : expectation.objects)
            statements += Statements(object);
    return statements;
}

} // namespace drawing
