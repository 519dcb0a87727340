// The ВЕКТА client: start-up builds the main window, which builds the program's other
// windows, and runs the event loop until the main window closes.
//   vekta-client [--server [tls://]HOST:PORT] [--ca FILE]
//     --server    the address field starts with that address
//     --ca        encrypted connections trust the authorities in FILE (PEM), not the system's

#include "app/KeptPlaces.h"
#include "app/MainWindow.h"
#include "app/PaintMarks.h"
#include "app/ServerLink.h"
#include "appframe/VektaIcon.h"
#include "dialogs/MessageDialog.h"
#include "platform/Convert.h"
#include "platform/QtText.h"
#include "platform/VektaApplication.h"

#include <QSslCertificate>
#include <QTimer>

#include <clocale>
#include <exception>
#include <stdexcept>

namespace {

// The value of "OPTION VALUE" among the program's arguments, or empty.
QString OptionValue(const QStringList& arguments, const QString& option) {
    const qsizetype at = arguments.indexOf(option);
    return at > 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

// The authorities of "--ca FILE"; an error when the file holds no certificate.
QList<QSslCertificate> ReadAuthorities(const QString& file) {
    QList<QSslCertificate> authorities = QSslCertificate::fromPath(file, QSsl::Pem);
    if (authorities.isEmpty())
        authorities = QSslCertificate::fromPath(file, QSsl::Der);
    if (authorities.isEmpty())
        throw std::runtime_error(
            platform::Cp("Не удалось прочитать сертификаты удостоверяющих центров из файла ") +
            platform::ToCp1251(file) + " (--ca).");
    return authorities;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    platform::InitDecimalChar();
    platform::VektaApplication app(argc, argv);
    SetClientNames();
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8("Клиент системы \"ВЕКТА\""));
    // What the client kept under its earlier names comes along before anything reads it.
    MoveKeptFiles(EarlierPlaces(), CurrentPlaces());
    QGuiApplication::setDesktopFileName("vekta-client");
    InstallPaintMarks(&app);
    try {
        InstallDialogErrorReport(nullptr); // until the main window's message dialog exists
        const QStringList arguments = QApplication::arguments();
        MainWindow mainWindow;
        if (const QString server = OptionValue(arguments, "--server"); !server.isEmpty())
            mainWindow.SetServerAddress(server);
        if (const QString ca = OptionValue(arguments, "--ca"); !ca.isEmpty())
            mainWindow.Link().TrustOnly(ReadAuthorities(ca));
        mainWindow.show();
        // The icon is drawn from its vector picture by a plugin loaded for it: set once the
        // window has been shown, it leaves the first painting sooner.
        QTimer::singleShot(0, &app, [] { QApplication::setWindowIcon(VektaIcon()); });
        return QApplication::exec();
    } catch (const std::exception& error) {
        platform::ShowErrorBox(error.what());
        return 1;
    }
}
