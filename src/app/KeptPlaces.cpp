#include "app/KeptPlaces.h"

#include "app/DraftStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The names the client ran under before it named its organisation: the settings took
// Qt's stand-in for a missing organisation, the data folder took the title alone.
const char* const kTitle = "Клиент системы \"ВЕКТА\"";
const char* const kEarlierOrganisation = "Unknown Organization";

// Moves one file unless its new place already holds one at least as new.
bool MoveFile(const QString& from, const QString& to) {
    const QFileInfo source(from);
    if (!source.isFile())
        return false;
    const QFileInfo target(to);
    if (target.exists()) {
        if (target.lastModified() >= source.lastModified())
            return false;
        if (!QFile::remove(to))
            return false;
    }
    if (!QDir().mkpath(target.absolutePath()))
        return false;
    if (QFile::rename(from, to))
        return true;
    // Another file system: copy, then let the original go.
    return QFile::copy(from, to) && QFile::remove(from);
}

// Removes the folder and then its parents up to `levels` of them, each only while empty.
void RemoveEmptyFolders(const QString& folder, int levels) {
    QDir dir(folder);
    for (int level = 0; level <= levels; ++level) {
        const QString name = dir.dirName();
        if (!dir.cdUp() || !dir.rmdir(name))
            return;
    }
}

} // namespace

void SetClientNames() {
    QCoreApplication::setOrganizationName("vekta");
    QCoreApplication::setApplicationName("vekta-client");
}

// The settings file is where QSettings puts the user's settings of the organisation and
// application named (it reads the folder once a run; this reads it each call).
KeptPlaces CurrentPlaces() {
    return {QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/" +
                QCoreApplication::organizationName() + "/" + QCoreApplication::applicationName() +
                ".conf",
            DraftStore::DefaultFolder()};
}

KeptPlaces EarlierPlaces() {
    const QString title = QString::fromUtf8(kTitle);
    return {QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/" +
                kEarlierOrganisation + "/" + title + ".conf",
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/" + title +
                "/drafts"};
}

int MoveKeptFiles(const KeptPlaces& from, const KeptPlaces& to) {
    int moved = 0;
    if (!from.settingsFile.isEmpty() && from.settingsFile != to.settingsFile &&
        MoveFile(from.settingsFile, to.settingsFile)) {
        ++moved;
        RemoveEmptyFolders(QFileInfo(from.settingsFile).absolutePath(), 0);
    }
    if (from.draftsFolder.isEmpty() || from.draftsFolder == to.draftsFolder)
        return moved;
    const QDir drafts(from.draftsFolder);
    for (const QString& name : drafts.entryList(QDir::Files | QDir::Hidden))
        if (MoveFile(drafts.filePath(name), to.draftsFolder + "/" + name))
            ++moved;
    RemoveEmptyFolders(from.draftsFolder, 1);
    return moved;
}
