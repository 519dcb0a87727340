#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>

namespace diagram {

// The kinds of failure of the diagram interpreter: a statement with a parameter it cannot
// read, and a picture past its work budget (kPictureTooComplex).
enum class ErrorCode { Parameter = 1, TooComplex = 2 };

// The work one picture (a task's diagram, one animation frame) may cost, so that no script
// can stall the window drawing it. A picture may run kMaxPrimitives statements, recognised
// or not, of kMaxStatementText bytes in all, and draw kMaxSegments line pieces in all (a
// moment arrow's arc counts each chord); the statement that would go past any of them stops
// the picture with kPictureTooComplex, and what was drawn before it stays. Real diagrams
// use a few dozen statements of a few hundred bytes and some thousand pieces.
inline constexpr int kMaxPrimitives = 2000;
inline constexpr std::int64_t kMaxStatementText = 256 * 1024;
inline constexpr std::int64_t kMaxSegments = 200000;
// CP1251: "Рисунок слишком сложен: показана только его часть".
inline constexpr char kPictureTooComplex[] =
    "\xD0\xE8\xF1\xF3\xED\xEE\xEA \xF1\xEB\xE8\xF8\xEA\xEE\xEC \xF1\xEB\xEE\xE6\xE5\xED: "
    "\xEF\xEE\xEA\xE0\xE7\xE0\xED\xE0 \xF2\xEE\xEB\xFC\xEA\xEE \xE5\xE3\xEE \xF7\xE0\xF1\xF2\xFC";

// No surface is larger than this on a side (the task view and the animation window keep
// theirs within 4000): what lies farther from the origin can never be seen.
inline constexpr std::int64_t kSurfaceReach = 10000;

struct DrawingBudget {
    int primitivesLeft = kMaxPrimitives;
    std::int64_t textLeft = kMaxStatementText;
    std::int64_t segmentsLeft = kMaxSegments;

    // Takes one statement of `bytes` bytes, or fails with kPictureTooComplex when no
    // statement or not that much text is left.
    [[nodiscard]] platform::Status SpendStatement(std::size_t bytes);
    // Takes `count` line pieces, or fails with kPictureTooComplex when fewer are left (and
    // the picture then takes no further primitive).
    [[nodiscard]] platform::Status SpendSegments(std::int64_t count);
};

// Where the circle of radius |r| about (x, y) lies against the square 0..kSurfaceReach
// that holds every surface: wholly apart from it, crossing it, or covering all of it.
enum class CircleReach { Apart, Crosses, Covers };
CircleReach ReachOfCircle(std::int64_t x, std::int64_t y, std::int64_t r);

// Whether the rim of that circle can pass over a surface.
inline bool CircleMeetsSurfaces(std::int64_t x, std::int64_t y, std::int64_t r) {
    return ReachOfCircle(x, y, r) == CircleReach::Crosses;
}

// What drawing a circle whose rim crosses the surfaces costs the budget: in proportion to
// its radius, as the time to draw it grows.
std::int64_t CircleCost(std::int64_t r);

// No pen is drawn wider than this: it covers every surface from anywhere near one.
inline constexpr int kMaxPenWidth = 2 * static_cast<int>(kSurfaceReach);

// What a line drawn with a pen `width` pixels wide costs the budget: in proportion to the
// width, as the area it fills grows with it.
std::int64_t WideLineCost(int width);

} // namespace diagram
