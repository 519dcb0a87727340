#pragma once

#include <QStringList>

#include <vector>

namespace platform {

// The fonts the windows ask for by name, and the free fonts of the set-up that stand in
// for them. Each stand-in carries Cyrillic, so that Russian text never falls back, letter
// by letter, to some other font.
struct FontStandIn {
    QString requested;
    QStringList standIns; // the first one is installed by the set-up
};

const std::vector<FontStandIn>& FontStandIns();

// Makes Qt take the stand-ins wherever a requested family is asked for.
void InstallFontStandIns();

// The family to ask for in place of `requested`: itself when it is installed, else its
// first installed stand-in (else itself). A font asked for by it is found at once, without
// Qt first searching, and failing, for a family that is not there.
QString InstalledFamily(const QString& requested);

} // namespace platform
