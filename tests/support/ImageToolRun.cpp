#include "ImageToolRun.h"

#include "ProgramRun.h"

#include <QTemporaryDir>

#include <fstream>

ImageToolRun RunImageTool(const QString& tool, const std::string& script, const QStringList& extra,
                          bool withFiles) {
    QTemporaryDir dir;
    const QString scriptPath = dir.filePath("script.txt");
    const QString pngPath = dir.filePath("out.png");
    std::ofstream(scriptPath.toStdString(), std::ios::binary) << script;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    const ProgramRun program =
        RunProgram(tool, withFiles ? QStringList{scriptPath, pngPath} + extra : extra, env);
    ImageToolRun run;
    run.exitCode = program.exitCode;
    run.errors = program.err;
    run.image.load(pngPath);
    return run;
}

unsigned PixelColor(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return static_cast<unsigned>(qRed(p)) | static_cast<unsigned>(qGreen(p)) << 8 |
           static_cast<unsigned>(qBlue(p)) << 16;
}
