#include "appframe/WindowFonts.h"

#include "platform/FontStandIns.h"

namespace appframe {

QFont PixelFont(const QString& family, int pixels, bool bold) {
    QFont font(platform::InstalledFamily(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

platform::Font FormulaFont(int pixels) {
    platform::Font font;
    font.name = kFormFontName;
    font.size = platform::PointsForPixelHeight(pixels);
    return font;
}

} // namespace appframe
