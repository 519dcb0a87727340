#pragma once

#include <Qt>

class QWidget;

namespace platform {

// Puts a key press of `key` into the event queue of `widget`: the widget handles it
// after the current handler has returned, as if the key had been typed there.
void PostKeyDown(QWidget* widget, Qt::Key key);

} // namespace platform
