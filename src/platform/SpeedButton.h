#pragma once

#include <QRect>

class QToolButton;
class QWidget;

namespace platform {

// A flat speed button: a tool button that shows its frame only under the mouse, with its
// component name as objectName and a caption given in UTF-8, at a fixed place.
QToolButton* MakeSpeedButton(QWidget* parent, const char* name, const char* utf8Caption,
                             QRect place);

} // namespace platform
