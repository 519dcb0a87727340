#include "platform/DashPattern.h"

#include "platform/Canvas.h"

namespace platform {

QList<qreal> DashPattern(int style) {
    switch (style) {
    case kPenDash:
        return {18, 6};
    case kPenDot:
        return {3, 3};
    case kPenDashDot:
        return {9, 6, 3, 6};
    case kPenDashDotDot:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

bool DashIsOn(const QList<qreal>& dashes, qreal position) {
    for (qsizetype k = 0; k < dashes.size(); ++k) {
        if (position < dashes[k])
            return k % 2 == 0;
        position -= dashes[k];
    }
    return false;
}

} // namespace platform
