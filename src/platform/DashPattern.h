#pragma once

#include <QList>

namespace platform {

// The toolkit's cosmetic dash patterns, in pixels: dash 18 on 6 off, dot 3 on 3 off, ...
// (empty for a solid pen).
QList<qreal> DashPattern(int style);

// Whether the pen is down at `position` pixels into one period of the dash pattern.
bool DashIsOn(const QList<qreal>& dashes, qreal position);

} // namespace platform
