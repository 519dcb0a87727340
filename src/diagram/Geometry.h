#pragma once

#include "platform/Canvas.h"

#include <cstdint>

namespace diagram {

// Drawing coordinates are 32-bit integers. Sums of script values are formed in 64 bits
// and computed points in doubles, then brought back into the 32-bit range (a point beyond
// it lies far off any surface anyway), so no script value can overflow the arithmetic.
int Clamp32(std::int64_t value);

// A computed coordinate truncated toward zero.
int Trunc(double value);

// An integer size halved with truncation toward zero (w/2).
inline std::int64_t Half(int size) {
    return size / 2;
}

// Degrees to radians as the context does it: a * (1/180) * pi.
double Radians(double degrees, double pi);

// The circle of radius r about (x, y): the box (x - r, y - r) to (x + r + 1, y + r + 1).
void CircleAbout(platform::Canvas& canvas, int x, int y, std::int64_t r);

// Box and line with corners computed in 64 bits.
void Box(platform::Canvas& canvas, std::int64_t x1, std::int64_t y1, std::int64_t x2,
         std::int64_t y2);
void Line(platform::Canvas& canvas, std::int64_t x1, std::int64_t y1, std::int64_t x2,
          std::int64_t y2);

} // namespace diagram
