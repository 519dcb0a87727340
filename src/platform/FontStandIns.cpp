#include "platform/FontStandIns.h"

#include <QFont>
#include <QFontDatabase>
#include <QHash>

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

QString InstalledFamily(const QString& requested) {
    // Found once, by whichever thread asks first (the server draws pictures on several).
    static const QHash<QString, QString> standIns = [] {
        QHash<QString, QString> found;
        for (const FontStandIn& font : FontStandIns()) {
            if (QFontDatabase::hasFamily(font.requested))
                continue;
            for (const QString& standIn : font.standIns)
                if (QFontDatabase::hasFamily(standIn)) {
                    found.insert(font.requested, standIn);
                    break;
                }
        }
        return found;
    }();
    return standIns.value(requested, requested);
}

void InstallFontStandIns() {
    for (const FontStandIn& font : FontStandIns())
        QFont::insertSubstitutions(font.requested, font.standIns);
}

} // namespace platform
