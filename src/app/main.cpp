// The ВЕКТА client: start-up builds the main window, which builds the program's other
// windows, and runs the event loop until the main window closes.
//   vekta-client [--server HOST:PORT]    the address field starts with that address

#include "app/MainWindow.h"
#include "app/PaintMarks.h"
#include "calculator/VektaIcon.h"
#include "dialogs/MessageDialog.h"
#include "platform/Convert.h"
#include "platform/VektaApplication.h"

#include <clocale>
#include <exception>

namespace {

// The value of "--server ADDRESS" among the program's arguments, or empty.
QString ServerArgument(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf("--server");
    return at > 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    platform::InitDecimalChar();
    platform::VektaApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8("Клиент системы \"ВЕКТА\""));
    QApplication::setWindowIcon(VektaIcon());
    QGuiApplication::setDesktopFileName("vekta-client");
    InstallPaintMarks(&app);
    try {
        InstallDialogErrorReport(nullptr); // until the main window's message dialog exists
        MainWindow mainWindow;
        if (const QString server = ServerArgument(QApplication::arguments()); !server.isEmpty())
            mainWindow.SetServerAddress(server);
        mainWindow.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        platform::ShowErrorBox(error.what());
        return 1;
    }
}
