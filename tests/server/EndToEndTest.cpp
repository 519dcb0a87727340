// The whole road against the reference server as a real process: connect, log in, get
// the task list, open a task, answer it and read the server's reply.

#include "app/ConnForm.h"
#include "app/HeadForm.h"
#include "app/NewLabelC.h"
#include "dialogs/DialogPanel.h"
#include "eqedit/EqEdit.h"
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
            if (dialog == ConnecterForm)
                ConnecterForm->BitBtn1->click();
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

    std::vector<std::string> reports;
    platform::SetErrorReportHandler([&](const std::string& m) { reports.push_back(m); });
    TClientVantor window;
    ClientVantor = &window;
    TDiagForm diagForm;
    DiagForm = &diagForm;
    TConnecterForm connecterForm;
    ConnecterForm = &connecterForm;
    window.show();
    ModalAnswerer answerer;

    window.Edit1->setText("127.0.0.1:" + port);
    window.SpeedButton6->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.answered >= 2; }, kWaitMs))
        << "login dialog and welcome message";
    window.SpeedButton3->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.ScrollBox1->isVisible(); }, kWaitMs));
    ASSERT_NE(window.QuestLinks[0], nullptr);
    EXPECT_EQ(window.QuestLinks[0]->text(),
              QString::fromUtf8("1. Балка на шарнирной и катковой опорах"));

    QTest::mouseClick(window.QuestLinks[0], Qt::LeftButton);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.focusWidget() == window.AnswerEditors[0]; }, kWaitMs));
    EXPECT_TRUE(window.ScrollBox2->isVisible());
    ASSERT_EQ(window.AnswerCount, 3);

    // The answers, typed and sent with the keyboard alone; the server's reply is shown.
    const int dialogsBefore = answerer.answered;
    for (const char* answer : {"3", "4", "5*2"}) {
        QTest::keyClicks(window.focusWidget(), answer);
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(window.AnswerEditors[2], Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return answerer.answered > dialogsBefore; }, kWaitMs))
        << "the server's reply to SETRESULTQUEST";
    EXPECT_TRUE(reports.empty());

    ConnecterForm = nullptr;
    DiagForm = nullptr;
    ClientVantor = nullptr;
    platform::SetErrorReportHandler({});
    server.kill();
    server.waitForFinished();
}
