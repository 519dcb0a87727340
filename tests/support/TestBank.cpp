#include "TestBank.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool Write(const QString& path, const QByteArray& text) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(text) == text.size();
}

} // namespace

bool WriteTestBank(const QString& folder, const QString& taskPath, const QByteArray& taskText,
                   const QByteArray& users) {
    return Write(folder + "/" + taskPath, taskText) && Write(folder + "/users.txt", users);
}
