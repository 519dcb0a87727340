#include "log/ServerLog.h"

#include "log/RepeatedFailures.h"

#include <QDateTime>

#include <iostream>
#include <mutex>
#include <optional>
#include <string>

QString LogText(const QString& line) {
    QString text = line;
    for (QChar& c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = u'?';
    }
    return text;
}

void ServerLog(const QString& line) {
    static std::mutex mutex;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::optional<std::string> passed =
        RepeatedFailures::Instance().Pass(line.toStdString(), now.toMSecsSinceEpoch());
    if (!passed)
        return;
    const std::string text = now.toString(Qt::ISODate).toStdString() + " " +
                             LogText(QString::fromStdString(*passed)).toStdString() + "\n";
    const std::lock_guard<std::mutex> lock(mutex);
    std::cerr << text << std::flush;
}
