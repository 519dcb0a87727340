#pragma once

#include <functional>

namespace platform {

// The default message beep. Plain logic calls Beep(); the GUI installs the sound
// (QApplication::beep), tests install a counter.
void Beep();
void SetBeepHandler(std::function<void()> handler);

} // namespace platform
