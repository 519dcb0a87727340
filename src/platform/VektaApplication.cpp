#include "platform/VektaApplication.h"

#include "platform/Beep.h"
#include "platform/ErrorReport.h"
#include "platform/FontStandIns.h"
#include "platform/QtText.h"

#include <QMessageBox>

#include <exception>

namespace platform {

VektaApplication::VektaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    SetBeepHandler([] { QApplication::beep(); });
    InstallFontStandIns();
}

bool VektaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportError(error.what());
    }
    return false;
}

void ShowErrorBox(const std::string& cp1251Message) {
    QMessageBox::critical(nullptr, QString::fromUtf8("Ошибка"), ToQString(cp1251Message));
}

} // namespace platform
