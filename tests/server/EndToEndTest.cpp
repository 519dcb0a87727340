// The whole road against the reference server as a real process: connect, log in, get
// the task list, open a task, answer it and read the server's reply.

#include "app/LoginDialog.h"
#include "app/MainWindow.h"
#include "app/TaskLink.h"
#include "app/TaskListView.h"
#include "app/TaskView.h"
#include "dialogs/MessageDialog.h"
#include "eqedit/FormulaField.h"
#include "platform/ErrorReport.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 10000;

// Closes every modal dialog that comes up (login: "Соединиться"; messages: "OK").
class ModalAnswerer {
public:
    ModalAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible())
                return;
            ++answered;
            if (auto* login = qobject_cast<LoginDialog*>(dialog))
                login->connectButton->click();
            else
                dialog->accept();
        });
        timer_.start(20);
    }
    int answered = 0;

private:
    QTimer timer_;
};

} // namespace

TEST(EndToEndTest, ConnectLogInOpenAndAnswerATaskAgainstTheReferenceServer) {
    QProcess server;
    server.start(VEKTA_SERVER_PATH, {"--demo", "--port", "0", "--bank", VEKTA_BANK_DIR});
    ASSERT_TRUE(server.waitForReadyRead(kWaitMs)) << server.readAllStandardError().toStdString();
    const QString banner = QString::fromUtf8(server.readLine()).trimmed();
    const QString port = banner.section(' ', -1);
    ASSERT_FALSE(port.isEmpty()) << banner.toStdString();

    MainWindow window;
    std::vector<std::string> reports;
    platform::SetErrorReportHandler([&](const std::string& m) { reports.push_back(m); });
    window.show();
    ModalAnswerer answerer;

    window.SetServerAddress("127.0.0.1:" + port);
    window.findChild<QToolButton*>("connectButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.answered >= 2; }, kWaitMs))
        << "login dialog and welcome message";
    window.findChild<QToolButton*>("tasksButton")->click();
    const TaskListView* list = window.findChild<TaskListView*>();
    const TaskView* task = window.findChild<TaskView*>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, kWaitMs));
    ASSERT_NE(list->Links()[0], nullptr);
    EXPECT_EQ(list->Links()[0]->text(),
              QString::fromUtf8("1. Балка на шарнирной и катковой опорах"));

    QTest::mouseClick(list->Links()[0], Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return task->AnswerCount() > 0 && window.focusWidget() == task->AnswerField(0); },
        kWaitMs));
    EXPECT_TRUE(task->isVisible());
    ASSERT_EQ(task->AnswerCount(), 3);

    // The answers, typed and sent with the keyboard alone; the server's reply is shown.
    const int dialogsBefore = answerer.answered;
    for (const char* answer : {"3", "4", "5*2"}) {
        QTest::keyClicks(window.focusWidget(), answer);
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(task->AnswerField(2), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return answerer.answered > dialogsBefore; }, kWaitMs))
        << "the server's reply to SETRESULTQUEST";
    EXPECT_TRUE(reports.empty());

    platform::SetErrorReportHandler({});
    server.kill();
    server.waitForFinished();
}
