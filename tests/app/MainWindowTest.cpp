// The main window against a testing server played by a QTcpServer inside the test.

#include "MainWindowFixture.h"

#include "animation/AnimationWindow.h"
#include "app/LoginDialog.h"
#include "app/MainWindow.h"
#include "app/ServerLink.h"
#include "app/TaskLink.h"
#include "appframe/ApplicationTray.h"
#include "calculator/CalculatorWindow.h"
#include "calculator/HelpWindow.h"
#include "dialogs/MessageDialog.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "platform/QtText.h"
#include "protocol/QuestSections.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class MainWindowTest : public MainWindowFixture {
protected:
    // Connects to the in-test server and logs in; returns the server's end.
    QTcpSocket* ConnectAndLogIn() {
        Find<QLineEdit>("addressField")->setText(QString("127.0.0.1:%1").arg(server.serverPort()));
        QString loginTitle;
        OnNextModal([&](QDialog* dialog) {
            loginTitle = dialog->windowTitle();
            window->Login().connectButton->click();
        });
        Find<QToolButton>("connectButton")->click();
        if (!server.waitForNewConnection(kWaitMs))
            return nullptr;
        QTcpSocket* peer = server.nextPendingConnection();
        ExpectReceived(peer, "<LOGIN:10>Guest;wuzo");
        EXPECT_EQ(loginTitle, QString::fromUtf8("Вход в систему:"));
        EXPECT_TRUE(Link().IsConnected());
        return peer;
    }

    void ExpectReceived(QTcpSocket* peer, const std::string& expected) {
        std::string got;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                got += peer->readAll().toStdString();
                return got.size() >= expected.size();
            },
            kWaitMs));
        EXPECT_EQ(got, expected);
    }

    void Send(QTcpSocket* peer, const std::string& bytes) {
        peer->write(bytes.data(), static_cast<qint64>(bytes.size()));
        peer->flush();
    }

    QString StateLine() const { return Find<QLabel>("stateLine")->text(); }

    static bool WaitUntil(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, kWaitMs);
    }

    int VisibleLinks() const {
        int visible = 0;
        for (TaskLink* link : TaskList()->Links())
            visible += link != nullptr && !link->isHidden() ? 1 : 0;
        return visible;
    }

    std::vector<TaskLink*> LinksOn(QWidget* sheet) {
        std::vector<TaskLink*> links;
        for (TaskLink* link : TaskList()->Links())
            if (link != nullptr && link->parentWidget() == sheet && link->isVisibleTo(sheet))
                links.push_back(link);
        return links;
    }
};

std::string Entry(const char* tag, const std::string& name, const std::string& caption) {
    return std::string(tag) + "<NAME>" + name + "</NAME><CAPTION>" + caption + "</CAPTION>";
}

} // namespace

TEST_F(MainWindowTest, StartsWithTheGreetingAndKeepsItsMinimumSize) {
    EXPECT_EQ(window->windowTitle(),
              QString::fromUtf8("Клиент для системы удаленного тестирования ВЕКТА v.1.23"));
    EXPECT_TRUE(Find<QLabel>("greeting")->isVisible());
    EXPECT_FALSE(TaskList()->isVisible());
    EXPECT_FALSE(Find<QPushButton>("sendButton")->isVisible());
    EXPECT_EQ(TaskList()->Sheets()->currentWidget(), TaskList()->Sheet(kSheetDynamics));
    EXPECT_EQ(Find<QLineEdit>("addressField")->text(), "127.0.0.1");
    window->resize(500, 300);
    QTest::qWait(20);
    EXPECT_GE(window->width(), 600);
    EXPECT_GE(window->height(), 380);
    EXPECT_EQ(Find<QLabel>("organisationLabel")->x(),
              Find<QFrame>("connectionBar")->width() - Find<QLabel>("organisationLabel")->width() -
                  30);
}

TEST_F(MainWindowTest, TasksAreAskedForOnlyWhileConnectedAndTheStateLineSaysWhy) {
    EXPECT_EQ(StateLine(), QString::fromUtf8("Нет соединения с сервером"));
    Find<QToolButton>("tasksButton")
        ->click(); // not connected: nothing is sent, the state line says why
    EXPECT_EQ(StateLine(),
              QString::fromUtf8("Нет соединения с сервером: нажмите «Войти на сервер»."));
    QTcpSocket* peer = ConnectAndLogIn();
    ASSERT_NE(peer, nullptr);
    const QString notLoggedIn =
        QString::fromUtf8("Подключено к серверу 127.0.0.1:%1, вход не выполнен")
            .arg(server.serverPort());
    EXPECT_EQ(StateLine(), notLoggedIn); // until the server lets the student in
    // A refusal shown in the box never names the student as logged in; Enter in the login
    // dialog asked again logs in.
    QString stateWhileRefused;
    OnNextModal([&](QDialog* dialog) {
        stateWhileRefused = StateLine();
        dialog->accept();
        OnNextModal([&](QDialog* login) {
            QTest::keyClick(window->Login().passwordField, Qt::Key_Return);
            EXPECT_FALSE(login->isVisible());
        });
    });
    Send(peer, platform::Cp("<MESSAGE:37>Неверное имя пользователя или пароль.<RELOG:0>"));
    ExpectReceived(peer, "<LOGIN:10>Guest;wuzo");
    EXPECT_EQ(stateWhileRefused, notLoggedIn);
    EXPECT_EQ(StateLine(), notLoggedIn);
    OnNextModal([&](QDialog* dialog) { dialog->accept(); });
    Send(peer, platform::Cp("<MESSAGE:20>Здравствуйте, Guest!"));
    EXPECT_TRUE(WaitUntil([&] {
        return StateLine() == QString::fromUtf8("Подключено к серверу 127.0.0.1:%1 как Guest")
                                  .arg(server.serverPort());
    }));
    Find<QToolButton>("tasksButton")->click();
    ExpectReceived(peer, "<GETQUESTLIST:1>1");

    OnNextModal([&](QDialog* dialog) { dialog->reject(); }); // the server asks to log in again
    Send(peer, "<RELOG:0>");
    EXPECT_TRUE(
        WaitUntil([&] { return StateLine().contains(QString::fromUtf8("вход не выполнен")); }));
    Find<QToolButton>("tasksButton")->click();
    EXPECT_TRUE(StateLine().startsWith(QString::fromUtf8("Вход не выполнен")));
    QTest::qWait(50);
    EXPECT_TRUE(peer->readAll().isEmpty());
}

TEST_F(MainWindowTest, QuestListFillsTheSheetsAndALinkAsksForItsTask) {
    QTcpSocket* peer = ConnectAndLogIn();
    ASSERT_NE(peer, nullptr);
    const std::string cyrillicName = platform::Cp("Задача 1");
    std::string payload = Entry("<STATICA>", cyrillicName, "A") + Entry("<STATICA>", "s2", "B") +
                          Entry("<DINAMIK>", "d1", "C") + Entry("<STATICA>", "s3", "D");
    Send(peer, "<QUESTLIST:" + std::to_string(payload.size()) + ">" + payload);
    ASSERT_TRUE(WaitUntil([&] { return TaskList()->isVisible(); }));
    EXPECT_FALSE(Task()->isVisible());
    const auto statics = LinksOn(TaskList()->Sheet(kSheetStatics));
    ASSERT_EQ(statics.size(), 3u);
    EXPECT_EQ(statics[0]->text(), "1. A");
    EXPECT_EQ(statics[2]->text(), "3. D");
    EXPECT_EQ(statics[0]->pos(), QPoint(10, 20));
    EXPECT_EQ(statics[1]->y(), 20 + statics[0]->height() + 2);
    ASSERT_EQ(LinksOn(TaskList()->Sheet(kSheetDynamics)).size(), 1u);
    EXPECT_EQ(LinksOn(TaskList()->Sheet(kSheetDynamics))[0]->text(), "1. C");

    TaskList()->Sheets()->setCurrentWidget(TaskList()->Sheet(kSheetStatics));
    QTest::qWait(20);
    QTest::mouseClick(statics[0], Qt::LeftButton);
    ExpectReceived(peer, "<GETQUEST:8>" + cyrillicName);

    const std::string shorter = Entry("<KINEMATIK>", "k1", "K");
    Send(peer, "<QUESTLIST:" + std::to_string(shorter.size()) + ">" + shorter);
    EXPECT_TRUE(WaitUntil([&] { return VisibleLinks() == 1; }));
    EXPECT_TRUE(LinksOn(TaskList()->Sheet(kSheetStatics)).empty());
    EXPECT_EQ(LinksOn(TaskList()->Sheet(kSheetKinematics)).at(0)->text(), "1. K");
}

TEST_F(MainWindowTest, ALostConnectionWaitsOnTheStateLineAndALinkSendsNothing) {
    window->Reconnection().SetSecondMs(60 * 1000); // no try comes during this test
    QTcpSocket* peer = ConnectAndLogIn();
    ASSERT_NE(peer, nullptr);
    const std::string payload = Entry("<DINAMIK>", "d1", "C");
    Send(peer, "<QUESTLIST:" + std::to_string(payload.size()) + ">" + payload);
    ASSERT_TRUE(WaitUntil([&] { return VisibleLinks() == 1; }));
    peer->disconnectFromHost();
    EXPECT_TRUE(WaitUntil([&] { return !Link().IsConnected(); }));
    ASSERT_FALSE(Link().IsConnected());
    // The loss is on the state line, with the time of the next try; no box waits for a click.
    EXPECT_EQ(StateLine(), QString::fromUtf8("Связь потеряна; повтор через 1 с"));
    EXPECT_TRUE(Find<QLabel>("stateLine")->toolTip().contains(QString::fromUtf8("потеряно")));
    QTest::mouseClick(LinksOn(TaskList()->Sheet(kSheetDynamics)).at(0), Qt::LeftButton);
    QTest::qWait(50);
    EXPECT_TRUE(StateLine().startsWith(QString::fromUtf8("Нет соединения с сервером:")));
    EXPECT_TRUE(reports.empty());
}

// Before any login there is nothing to repeat: the end is the student's to read.
TEST_F(MainWindowTest, AConnectionEndedBeforeTheLoginIsReportedOnce) {
    Find<QLineEdit>("addressField")->setText(QString("127.0.0.1:%1").arg(server.serverPort()));
    bool declined = false;
    OnNextModal([&](QDialog* dialog) {
        dialog->reject();
        declined = true;
    });
    Find<QToolButton>("connectButton")->click();
    ASSERT_TRUE(server.waitForNewConnection(kWaitMs));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(WaitUntil([&] { return declined; }));
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitUntil([&] { return !reports.empty(); }));
    QTest::qWait(50);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(platform::ToQString(reports[0]),
              QString::fromUtf8("Соединение с сервером 127.0.0.1:%1 потеряно: сервер закрыл "
                                "соединение.\nЧтобы продолжить, нажмите «Войти на сервер».")
                  .arg(server.serverPort()));
    EXPECT_FALSE(window->Reconnection().Busy());
}

TEST_F(MainWindowTest, MessagesAreShownReloginAsksAgainAndUnknownTagsAreDropped) {
    QTcpSocket* peer = ConnectAndLogIn();
    ASSERT_NE(peer, nullptr);
    QString caption, text;
    OnNextModal([&](QDialog* dialog) {
        caption = dialog->windowTitle();
        text = dialog->findChild<QLabel*>("messageLabel")->text();
        dialog->accept();
    });
    Send(peer, "<message:1>x<QUESTLIST_X:0>" + platform::Cp("<MESSAGE:15>Задание\nпринято"));
    ASSERT_TRUE(WaitUntil([&] { return !caption.isEmpty(); }));
    EXPECT_EQ(caption, QString::fromUtf8("Сообщение:"));
    EXPECT_EQ(text, QString::fromUtf8("Задание\nпринято"));

    OnNextModal([&](QDialog*) { window->Login().connectButton->click(); });
    Send(peer, "<RELOG:0>");
    ExpectReceived(peer, "<LOGIN:10>Guest;wuzo");
}

TEST_F(MainWindowTest, ABrokenHeaderIsReportedOnceAndLaterFramesAreRead) {
    QTcpSocket* peer = ConnectAndLogIn();
    ASSERT_NE(peer, nullptr);
    QString text;
    OnNextModal([&](QDialog* dialog) {
        text = dialog->findChild<QLabel*>("messageLabel")->text();
        dialog->accept();
    });
    Send(peer, "<MESSAGE:x5>junk<MESSAGE:2>ok");
    ASSERT_TRUE(WaitUntil([&] { return !text.isEmpty(); }));
    EXPECT_EQ(text, "ok");
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(MainWindowTest, ANewConnectionStartsWithAnEmptyReceiveState) {
    QTcpSocket* first = ConnectAndLogIn();
    ASSERT_NE(first, nullptr);
    Send(first, "<MESSAGE:40>cut short");
    EXPECT_TRUE(WaitUntil([&] { return !Link().Receiver().ReceiveBuffer().empty(); }));
    QTcpSocket* second = ConnectAndLogIn(); // "Войти на сервер" again
    ASSERT_NE(second, nullptr);
    QString text;
    OnNextModal([&](QDialog* dialog) {
        text = dialog->findChild<QLabel*>("messageLabel")->text();
        dialog->accept();
    });
    Send(second, "<MESSAGE:5>fresh");
    ASSERT_TRUE(WaitUntil([&] { return !text.isEmpty(); }));
    EXPECT_EQ(text, "fresh");
}

TEST_F(MainWindowTest, TheDispatcherGoesOnAfterAReceiverFails) {
    QTcpSocket* peer = ConnectAndLogIn();
    ASSERT_NE(peer, nullptr);
    int handled = 0;
    // A receiver of the messages fails after the message box has shown them.
    QObject::connect(&Link(), &ServerLink::messageArrived, window.get(),
                     [&](const std::string& text) {
                         ++handled;
                         if (text == "fail")
                             throw platform::Error("handler failed");
                     });
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    closer.start(10);
    Send(peer, "<MESSAGE:4>fail<MESSAGE:2>ok");
    ASSERT_TRUE(WaitUntil([&] { return handled == 2; }));
    EXPECT_TRUE(Link().Receiver().MessageQueue().empty());
    EXPECT_EQ(reports, std::vector<std::string>{"handler failed"});
}

TEST_F(MainWindowTest, ARefusedConnectionIsReported) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    Find<QLineEdit>("addressField")->setText(QString("127.0.0.1:%1").arg(port));
    Find<QToolButton>("connectButton")->click();
    EXPECT_TRUE(WaitUntil([&] { return !reports.empty(); }));
    QTest::qWait(50);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(platform::ToQString(reports[0]),
              QString::fromUtf8("Не удалось подключиться к серверу 127.0.0.1:%1: сервер "
                                "отказал в соединении. (Asynchronous socket error 111)")
                  .arg(port));
    EXPECT_FALSE(Link().IsConnected());
    EXPECT_EQ(StateLine(), QString::fromUtf8("Нет соединения с сервером"));
}

// A hostile server: junk dripped in small writes, and a flood of tiny frames. Each gets
// its connection closed with one report, and the client stays within its bounds.
TEST_F(MainWindowTest, DrippedJunkClosesTheConnectionAndItsLoginDialog) {
    Find<QLineEdit>("addressField")->setText(QString("127.0.0.1:%1").arg(server.serverPort()));
    bool loginShown = false;
    OnNextModal([&](QDialog*) { loginShown = true; }); // the student has not logged in yet
    Find<QToolButton>("connectButton")->click();
    ASSERT_TRUE(server.waitForNewConnection(kWaitMs));
    QTcpSocket* peer = server.nextPendingConnection();
    QTimer drip; // runs inside the login dialog's own event loop too
    QObject::connect(&drip, &QTimer::timeout, [&] {
        if (peer->state() == QAbstractSocket::ConnectedState)
            Send(peer, "<x>");
    });
    drip.start(20);
    bool loginLeftOpen = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        while (QWidget* modal = QApplication::activeModalWidget()) {
            loginLeftOpen = true;
            modal->close();
        }
    });
    guard.start(kWaitMs);
    EXPECT_TRUE(WaitUntil([&] { return peer->state() != QAbstractSocket::ConnectedState; }));
    QTest::qWait(50);
    EXPECT_TRUE(loginShown);
    EXPECT_FALSE(loginLeftOpen);   // the login dialog closes with its connection
    ASSERT_EQ(reports.size(), 2u); // the first damaged header, then the closing
    EXPECT_TRUE(
        platform::ToQString(reports[1])
            .contains(QString::fromUtf8("прислал повреждённые данные, соединение закрыто")));
    EXPECT_FALSE(Link().IsConnected());
    EXPECT_EQ(StateLine(), QString::fromUtf8("Нет соединения с сервером"));
}

TEST_F(MainWindowTest, AFloodOfTinyFramesIsCutOffWithOneReport) {
    QTcpSocket* peer = ConnectAndLogIn();
    ASSERT_NE(peer, nullptr);
    std::string flood;
    for (std::size_t i = 0; i < FrameQueue::kMaxMessages + 1000; ++i)
        flood += "<MESSAGE:1>x";
    Send(peer, flood);
    EXPECT_TRUE(WaitUntil([&] { return peer->state() != QAbstractSocket::ConnectedState; }));
    QTest::qWait(50);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(
        platform::ToQString(reports[0])
            .contains(QString::fromUtf8("больше сообщений, чем клиент успевает обработать")));
    EXPECT_LE(Link().Receiver().MessageQueue().size(), FrameQueue::kMaxMessages);
    EXPECT_TRUE(Link().Receiver().MessageQueue().empty());
}

TEST_F(MainWindowTest, ANewConnectionClearsTheOldTaskListAndTaskView) {
    QTcpSocket* first = ConnectAndLogIn();
    ASSERT_NE(first, nullptr);
    const std::string payload = Entry("<DINAMIK>", "d1", "C");
    Send(first, "<QUESTLIST:" + std::to_string(payload.size()) + ">" + payload);
    ASSERT_TRUE(WaitUntil([&] { return VisibleLinks() == 1; }));
    ASSERT_NE(ConnectAndLogIn(), nullptr);
    EXPECT_EQ(VisibleLinks(), 0);
    EXPECT_FALSE(TaskList()->isVisible());
    EXPECT_FALSE(Find<QPushButton>("sendButton")->isVisible());
}

TEST_F(MainWindowTest, EveryLinkOfAFullSheetCanBeScrolledTo) {
    QTcpSocket* peer = ConnectAndLogIn();
    ASSERT_NE(peer, nullptr);
    std::string payload;
    for (int i = 0; i < 1024; ++i)
        payload += Entry("<DINAMIK>", "d" + std::to_string(i), "T");
    Send(peer, "<QUESTLIST:" + std::to_string(payload.size()) + ">" + payload);
    ASSERT_TRUE(WaitUntil([&] { return VisibleLinks() == 1024; }));
    QScrollArea* pane = TaskList();
    QScrollBar* bar = pane->verticalScrollBar();
    TaskList()->Sheets()->setCurrentWidget(TaskList()->Sheet(kSheetStatics));
    QTest::qWait(20);
    EXPECT_EQ(bar->maximum(), 0); // an empty sheet does not scroll
    TaskList()->Sheets()->setCurrentWidget(TaskList()->Sheet(kSheetDynamics));
    QTest::qWait(20);
    EXPECT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    const TaskLink* last = TaskList()->Links()[kMaxQuestLinks - 1];
    const QRect shown(last->mapTo(pane->viewport(), QPoint(0, 0)), last->size());
    EXPECT_TRUE(pane->viewport()->rect().contains(shown)) << shown.y();
}

namespace {

// How many windows of a kind the program has, shown or not.
template <typename Window> int WindowsOf() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += qobject_cast<Window*>(widget) != nullptr;
    return count;
}

template <typename Window> Window* OnlyWindowOf() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget))
            return window;
    return nullptr;
}

} // namespace

// The windows that are not shown at start are built when first needed, each once, with its
// caption; the main window's own come up at once.
TEST_F(MainWindowTest, WindowsNotShownAtStartAreBuiltOnFirstUse) {
    const auto expectCounts = [](int login, int messages, int help, int calculator, int animation) {
        EXPECT_EQ(WindowsOf<LoginDialog>(), login);
        EXPECT_EQ(WindowsOf<MessageDialog>(), messages);
        EXPECT_EQ(WindowsOf<HelpWindow>(), help);
        EXPECT_EQ(WindowsOf<CalculatorWindow>(), calculator);
        EXPECT_EQ(WindowsOf<AnimationWindow>(), animation);
    };
    expectCounts(0, 0, 0, 0, 0);

    QTcpSocket* peer = ConnectAndLogIn(); // and sees the caption of the login dialog
    ASSERT_NE(peer, nullptr);
    expectCounts(1, 0, 0, 0, 0);

    QString caption;
    OnNextModal([&](QDialog* dialog) {
        caption = dialog->windowTitle();
        dialog->accept();
    });
    Send(peer, platform::Cp("<MESSAGE:6>Привет"));
    ASSERT_TRUE(WaitUntil([&] { return !caption.isEmpty(); }));
    EXPECT_EQ(caption, QString::fromUtf8("Сообщение:"));
    expectCounts(1, 1, 0, 0, 0);

    // The help stays open beside the main window and blocks nothing.
    Find<QToolButton>("helpButton")->click();
    expectCounts(1, 1, 1, 0, 0);
    HelpWindow* help = OnlyWindowOf<HelpWindow>();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QString::fromUtf8("Помощь"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(help->isModal());
    help->close();

    Find<QToolButton>("calculatorButton")->click();
    expectCounts(1, 1, 1, 1, 0); // with the same message box and help
    EXPECT_TRUE(OnlyWindowOf<CalculatorWindow>()->isVisible());
    EXPECT_EQ(OnlyWindowOf<CalculatorWindow>()->windowTitle(), QString::fromUtf8("Калькулятор"));
    OnlyWindowOf<CalculatorWindow>()->findChild<QToolButton*>("helpButton")->click();
    EXPECT_TRUE(help->isVisible()); // the same help, from the calculator too, not modal
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    help->close();
    OnlyWindowOf<CalculatorWindow>()->close();

    // A task without an animation builds no animation window; the first with one does.
    window->showTask(ReadQuestSections(BuildQuestMessage({"t1", "q", "", "a;", "", ""})));
    expectCounts(1, 1, 1, 1, 0);
    window->showTask(ReadQuestSections(BuildQuestMessage(
        {"t2", "q", "", "a;", "<VAR>tend=1;</VAR><FUN>x=t;</FUN><OBJ>LINE(0,0,x,x);</OBJ>", ""})));
    expectCounts(1, 1, 1, 1, 1);
    EXPECT_TRUE(OnlyWindowOf<AnimationWindow>()->windowTitle().startsWith(
        QString::fromUtf8("Анимация задачи:")));
    Find<QToolButton>("animationButton")->click();
    EXPECT_TRUE(OnlyWindowOf<AnimationWindow>()->isVisible());
    OnlyWindowOf<AnimationWindow>()->close();
}

// The application-wide report of a window that has shown no message yet brings the
// message box into being. What the start can leave (the tray icon, pruning old drafts)
// waits until the window has been painted.
TEST_F(MainWindowTest, TheFirstReportBuildsTheMessageBox) {
    window.reset();
    {
        ASSERT_TRUE(QDir().mkpath(Places().draftsFolder));
        const QString old = Places().draftsFolder + "/old.draft";
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{}");
        file.close();
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-400),
                                     QFileDevice::FileModificationTime));
        file.close();
        MainWindow painted(Places());
        EXPECT_EQ(painted.findChild<ApplicationTray*>(), nullptr);
        EXPECT_TRUE(QFile::exists(old));
        painted.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&painted));
        EXPECT_TRUE(QTest::qWaitFor([&] { return painted.findChild<ApplicationTray*>(); }));
        EXPECT_FALSE(QFile::exists(old));
    }
    MainWindow fresh(Places());
    EXPECT_EQ(WindowsOf<MessageDialog>(), 0);
    QString caption, text;
    OnNextModal([&](QDialog* dialog) {
        caption = dialog->windowTitle();
        text = dialog->findChild<QLabel*>("messageLabel")->text();
        dialog->accept();
    });
    platform::ReportError(platform::Cp("Не удалось"));
    EXPECT_EQ(caption, QString::fromUtf8("Ошибка"));
    EXPECT_EQ(text, QString::fromUtf8("Не удалось"));
    EXPECT_EQ(WindowsOf<MessageDialog>(), 1);
}
