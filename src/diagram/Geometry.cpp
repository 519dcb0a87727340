#include "diagram/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace diagram {

namespace {

constexpr std::int64_t kMin = std::numeric_limits<int>::min();
constexpr std::int64_t kMax = std::numeric_limits<int>::max();

} // namespace

int Clamp32(std::int64_t value) {
    return static_cast<int>(std::clamp(value, kMin, kMax));
}

int Trunc(double value) {
    if (std::isnan(value))
        return 0;
    return static_cast<int>(
        std::clamp(std::trunc(value), static_cast<double>(kMin), static_cast<double>(kMax)));
}

double Radians(double degrees, double pi) {
    return degrees * (1.0 / 180.0) * pi;
}

void CircleAbout(platform::Canvas& canvas, int x, int y, std::int64_t r) {
    canvas.Ellipse(Clamp32(x - r), Clamp32(y - r), Clamp32(x + r + 1), Clamp32(y + r + 1));
}

void Box(platform::Canvas& canvas, std::int64_t x1, std::int64_t y1, std::int64_t x2,
         std::int64_t y2) {
    canvas.Rectangle(Clamp32(x1), Clamp32(y1), Clamp32(x2), Clamp32(y2));
}

void Line(platform::Canvas& canvas, std::int64_t x1, std::int64_t y1, std::int64_t x2,
          std::int64_t y2) {
    canvas.MoveTo(Clamp32(x1), Clamp32(y1));
    canvas.LineTo(Clamp32(x2), Clamp32(y2));
}

} // namespace diagram
