#include "diagram/DrawingBudget.h"

#include <algorithm>
#include <cmath>

namespace diagram {

namespace {

platform::Failure TooComplex() {
    return {kPictureTooComplex, std::string::npos, static_cast<int>(ErrorCode::TooComplex)};
}

} // namespace

// A picture that ran out of text takes no further statement either.
platform::Status DrawingBudget::SpendStatement(std::size_t bytes) {
    if (primitivesLeft <= 0)
        return TooComplex();
    if (bytes > static_cast<std::size_t>(textLeft)) {
        textLeft = 0;
        primitivesLeft = 0;
        return TooComplex();
    }
    --primitivesLeft;
    textLeft -= static_cast<std::int64_t>(bytes);
    return platform::Done{};
}

// A picture that ran out of line pieces takes no further primitive either.
platform::Status DrawingBudget::SpendSegments(std::int64_t count) {
    if (count > segmentsLeft) {
        segmentsLeft = 0;
        primitivesLeft = 0;
        return TooComplex();
    }
    segmentsLeft -= count;
    return platform::Done{};
}

CircleReach ReachOfCircle(std::int64_t x, std::int64_t y, std::int64_t r) {
    r = r < 0 ? -r : r;
    // The nearest and the farthest point of the square from the centre.
    const double nearX = static_cast<double>(x - std::clamp<std::int64_t>(x, 0, kSurfaceReach));
    const double nearY = static_cast<double>(y - std::clamp<std::int64_t>(y, 0, kSurfaceReach));
    const double farX = static_cast<double>(std::max(x, kSurfaceReach - x));
    const double farY = static_cast<double>(std::max(y, kSurfaceReach - y));
    const double radius = static_cast<double>(r);
    if (std::hypot(nearX, nearY) > radius + 1)
        return CircleReach::Apart;
    if (std::hypot(farX, farY) < radius - 1)
        return CircleReach::Covers;
    return CircleReach::Crosses;
}

namespace {

constexpr std::int64_t kPixelsPerSegment = 10;

} // namespace

std::int64_t CircleCost(std::int64_t r) {
    return 1 + (r < 0 ? -r : r) / kPixelsPerSegment;
}

std::int64_t WideLineCost(int width) {
    return 1 + std::max(width, 0) / kPixelsPerSegment;
}

} // namespace diagram
