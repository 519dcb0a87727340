#pragma once

#include "platform/Canvas.h"

#include <QFont>
#include <QString>

// The fonts the client's windows ask for, by name and height in pixels.
namespace appframe {

inline constexpr const char* kFormFontName = "MS Sans Serif";

QFont PixelFont(const QString& family, int pixels, bool bold = false);

// The font of a formula editor: the window font at the given height.
platform::Font FormulaFont(int pixels);

} // namespace appframe
