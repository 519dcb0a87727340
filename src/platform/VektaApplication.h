#pragma once

#include <QApplication>

namespace platform {

// The application object. notify() is the application-wide exception handler: an
// Error or any std::exception that leaves an event handler is handed to ReportError,
// and event processing goes on.
class VektaApplication : public QApplication {
public:
    VektaApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an error in a plain modal box captioned "Ошибка". The message dialog replaces
// it as the report once it exists.
void ShowErrorBox(const std::string& cp1251Message);

} // namespace platform
