#include "platform/VektaApplication.h"

#include "platform/Beep.h"
#include "platform/ErrorReport.h"
#include "platform/QtText.h"

#include <QFont>
#include <QMessageBox>

#include <exception>

namespace platform {

namespace {

// The fonts the windows ask for by name, and the free fonts of the set-up that stand in
// for them with similar metrics.
void InstallFontSubstitutes() {
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Times New Roman", {"Liberation Serif", "DejaVu Serif"});
    QFont::insertSubstitutions("Comic Sans MS", {"Comic Neue", "DejaVu Sans"});
    QFont::insertSubstitutions("Impact", {"DejaVu Sans Condensed", "Liberation Sans"});
}

} // namespace

VektaApplication::VektaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    SetBeepHandler([] { QApplication::beep(); });
    InstallFontSubstitutes();
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
