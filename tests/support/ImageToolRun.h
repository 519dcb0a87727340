#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <string>

// One run of a drawing tool (TOOL SCRIPT OUT.png [EXTRA...]) on a script written to a
// temporary file, with no display platform chosen, as on a headless machine.
struct ImageToolRun {
    int exitCode = -1;
    std::string errors;
    QImage image; // null when no picture was written
};

// Without `withFiles` only `extra` is passed (to try wrong uses).
ImageToolRun RunImageTool(const QString& tool, const std::string& script,
                          const QStringList& extra = {}, bool withFiles = true);

// The pixel as a canvas colour.
unsigned PixelColor(const QImage& image, int x, int y);
