#include "platform/FontStandIns.h"

#include <QFont>

namespace platform {

const std::vector<FontStandIn>& FontStandIns() {
    // Andika, like the handwriting-style face it stands in for, is an informal rounded
    // sans; it has the Cyrillic letters that Comic Neue lacks.
    static const std::vector<FontStandIn> standIns = {
        {"MS Sans Serif", {"Liberation Sans", "DejaVu Sans"}},
        {"Arial", {"Liberation Sans", "DejaVu Sans"}},
        {"Times New Roman", {"Liberation Serif", "DejaVu Serif"}},
        {"Comic Sans MS", {"Andika", "DejaVu Sans"}},
        {"Impact", {"DejaVu Sans Condensed", "Liberation Sans"}},
    };
    return standIns;
}

void InstallFontStandIns() {
    for (const FontStandIn& font : FontStandIns())
        QFont::insertSubstitutions(font.requested, font.standIns);
}

} // namespace platform
