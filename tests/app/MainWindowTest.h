#pragma once

// What the main window's tests share: the window with its message dialog, a testing
// server played by a QTcpServer inside the test, and the reports that reached the
// application-wide error report.

#include "app/HeadForm.h"
#include "dialogs/DialogPanel.h"
#include "platform/ErrorReport.h"

#include <QApplication>
#include <QDialog>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

inline constexpr int kWaitMs = 5000;

// Acts on the next modal dialog as soon as it is up (it runs a nested event loop, so
// the action has to be armed before the dialog opens).
inline void OnNextModal(std::function<void(QDialog*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(dialog);
    });
    timer->start();
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        window = std::make_unique<TClientVantor>();
        ClientVantor = window.get();
        diagForm = std::make_unique<TDiagForm>();
        DiagForm = diagForm.get();
        platform::SetErrorReportHandler([this](const std::string& m) { reports.push_back(m); });
        window->show();
    }

    void TearDown() override {
        platform::SetErrorReportHandler({});
        DiagForm = nullptr;
        window.reset();
        ClientVantor = nullptr;
    }

    QTcpServer server;
    std::unique_ptr<TClientVantor> window;
    std::unique_ptr<TDiagForm> diagForm;
    std::vector<std::string> reports;
};
