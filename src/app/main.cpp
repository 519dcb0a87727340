// The ВЕКТА client: start-up creates the six windows in their order and runs the event
// loop until the main window closes.
//   vekta-client [--server HOST:PORT]    the address field starts with that address

#include "animation/AnimateForm.h"
#include "app/ConnForm.h"
#include "app/HeadForm.h"
#include "calculator/CalculatorForm.h"
#include "calculator/HelpPanel.h"
#include "calculator/VektaIcon.h"
#include "dialogs/DialogPanel.h"
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
    try {
        InstallDialogErrorReport();
        TClientVantor clientVantor;
        ClientVantor = &clientVantor;
        TDiagForm diagForm;
        DiagForm = &diagForm;
        TAnimateForms animateForms;
        AnimateForms = &animateForms;
        TConnecterForm connecterForm;
        ConnecterForm = &connecterForm;
        THelpMenuPanel helpMenuPanel;
        HelpMenuPanel = &helpMenuPanel;
        TForm1 form1;
        Form1 = &form1;
        if (const QString server = ServerArgument(QApplication::arguments()); !server.isEmpty())
            clientVantor.SetServerAddress(server);
        clientVantor.show();
        const int code = QApplication::exec();
        DiagForm = nullptr;
        return code;
    } catch (const std::exception& error) {
        platform::ShowErrorBox(error.what());
        return 1;
    }
}
