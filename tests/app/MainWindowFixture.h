#pragma once

// What the main window's tests share: the window with its message dialog, a testing
// server played by a QTcpServer inside the test, and the reports that reached the
// application-wide error report.

#include "app/MainWindow.h"
#include "app/Reconnector.h"
#include "app/ServerLink.h"
#include "app/TaskListView.h"
#include "app/TaskView.h"
#include "dialogs/MessageDialog.h"
#include "platform/ErrorReport.h"

#include <QApplication>
#include <QDialog>
#include <QTcpServer>
#include <QTemporaryDir>
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

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        window = std::make_unique<MainWindow>(Places());
        platform::SetErrorReportHandler([this](const std::string& m) { reports.push_back(m); });
        window->show();
    }

    void TearDown() override {
        platform::SetErrorReportHandler({});
        window.reset();
    }

    // A widget of the main window by its object name.
    template <typename T> T* Find(const char* name) const {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // Each test starts with no remembered login and no drafts.
    ClientPlaces Places() const { return {home.filePath("client.ini"), home.filePath("drafts")}; }

    TaskListView* TaskList() const { return window->findChild<TaskListView*>(); }
    TaskView* Task() const { return window->findChild<TaskView*>(); }
    ServerLink& Link() const { return window->Link(); }

    QTemporaryDir home;
    QTcpServer server;
    std::unique_ptr<MainWindow> window;
    std::vector<std::string> reports;
};
