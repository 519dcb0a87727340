// What the student has typed and who they are outlive the connection and the run: answer
// drafts on disk, the reconnection that logs in again and reopens the task, the remembered
// login, and the caption of the task that is open. The testing server is a QTcpServer
// inside the test.

#include "MainWindowFixture.h"

#include "animation/AnimationWindow.h"
#include "app/ClientSettings.h"
#include "app/DraftKeeper.h"
#include "app/DraftStore.h"
#include "app/DrawingSurface.h"
#include "app/HistoryWindow.h"
#include "app/LoginDialog.h"
#include "app/Reconnector.h"
#include "app/SolutionWindow.h"
#include "app/TaskLink.h"
#include "eqedit/FormulaField.h"
#include "platform/QtText.h"
#include "protocol/Frames.h"
#include "protocol/Messages.h"
#include "protocol/ResultItems.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const std::string kTaskName = "beam-3";
const char* const kTaskCaption = "Балка на двух опорах";
const std::string kTwoAnswers = "<QUEST>Find the reactions.</QUEST>"
                                "<IMAGE>LINE(10,20,110,20);</IMAGE><REQUEST>RA;RB;</REQUEST>";

class StudentWorkTest : public MainWindowFixture {
protected:
    QString Address() const { return QString("127.0.0.1:%1").arg(server.serverPort()); }
    DraftKey Key() const { return {Address().toStdString(), "Ivanov", kTaskName}; }
    std::vector<std::string> OnDisk() const {
        return DraftStore(Places().draftsFolder).Load(Key());
    }
    QString StateLine() const { return Find<QLabel>("stateLine")->text(); }

    // The student connects by hand and logs in as Ivanov; the server's end.
    QTcpSocket* LogIn() {
        Find<QLineEdit>("addressField")->setText(Address());
        OnNextModal([this](QDialog*) {
            window->Login().userField->setText("Ivanov");
            window->Login().passwordField->setText("secret");
            window->Login().connectButton->click();
        });
        Find<QToolButton>("connectButton")->click();
        QTcpSocket* peer = NextPeer();
        EXPECT_EQ(NextFrame(peer), "<LOGIN:13>Ivanov;secret");
        return peer;
    }

    QTcpSocket* NextPeer() {
        // The event loop runs meanwhile: the client's own tries come from its timers.
        if (!QTest::qWaitFor([&] { return server.hasPendingConnections(); }, kWaitMs))
            return nullptr;
        QTcpSocket* peer = server.nextPendingConnection();
        received_[peer] = FrameReceiver();
        return peer;
    }

    // The next whole frame the server receives from this peer, or empty text.
    std::string NextFrame(QTcpSocket* peer) {
        if (peer == nullptr)
            return {};
        FrameReceiver& frames = received_[peer];
        const bool arrived = QTest::qWaitFor(
            [&] {
                frames.Receive(peer->readAll().toStdString());
                return !frames.MessageQueue().empty();
            },
            kWaitMs);
        if (!arrived)
            return {};
        std::string frame = frames.MessageQueue().front();
        frames.MessageQueue().pop_front();
        return frame;
    }

    static void Send(QTcpSocket* peer, const std::string& bytes) {
        peer->write(bytes.data(), static_cast<qint64>(bytes.size()));
        peer->flush();
    }

    // The list with the one task, a click on its link, and the task itself.
    void OpenTask(QTcpSocket* peer) {
        const std::string entry = "<DINAMIK><NAME>" + kTaskName + "</NAME><CAPTION>" +
                                  platform::Cp(kTaskCaption) + "</CAPTION>";
        Send(peer, BuildFrame("QUESTLIST", entry));
        ASSERT_TRUE(QTest::qWaitFor([&] { return TaskList()->isVisible(); }, kWaitMs));
        QTest::mouseClick(TaskList()->Links()[0], Qt::LeftButton);
        ASSERT_EQ(NextFrame(peer), BuildFrame("GETQUEST", kTaskName));
        SendTask(peer);
    }

    // Sends the task and waits until it is set up anew and shown.
    void SendTask(QTcpSocket* peer) {
        const int before = Task()->Generation();
        Send(peer, BuildFrame("QUEST", taskSections_));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return Task()->Generation() != before && Task()->isVisible() &&
                       window->focusWidget() == Answer(0);
            },
            kWaitMs));
    }

    FormulaField* Answer(int row) const { return Task()->AnswerField(row); }

    std::map<QTcpSocket*, FrameReceiver> received_;
    std::string taskSections_ = kTwoAnswers;
};

} // namespace

TEST_F(StudentWorkTest, TheCaptionOfTheOpenedTaskIsAboveTheStatementAndInTheAnimationTitle) {
    QTcpSocket* peer = LogIn();
    ASSERT_NE(peer, nullptr);
    OpenTask(peer);
    const QLabel* caption = Find<QLabel>("taskCaption");
    EXPECT_TRUE(caption->isVisible());
    EXPECT_EQ(caption->text(), QString::fromUtf8(kTaskCaption));
    // The statement starts under the caption, the rows under the statement.
    EXPECT_GT(Find<QLabel>("statement")->y(), caption->geometry().bottom());
    EXPECT_GT(Answer(0)->y(), Find<QLabel>("statement")->geometry().bottom());
    EXPECT_EQ(window->Animation().windowTitle(),
              QString::fromUtf8("Анимация задачи: ") + QString::fromUtf8(kTaskCaption));
    // The list's standing after the caption stays in the list.
    for (const char* standing : {" — решено", " — 2 из 3, попыток 1 из 3",
                                 " — решено, попыток 3 из 3", " — 2,4 из 3, попыток 3 из 3"}) {
        const std::string entry = "<DINAMIK><NAME>" + kTaskName + "</NAME><CAPTION>" +
                                  platform::Cp(kTaskCaption) + platform::Cp(standing) +
                                  "</CAPTION>";
        Send(peer, BuildFrame("QUESTLIST", entry));
        ASSERT_TRUE(QTest::qWaitFor([&] { return TaskList()->isVisible(); }, kWaitMs));
        QTest::mouseClick(TaskList()->Links()[0], Qt::LeftButton);
        ASSERT_EQ(NextFrame(peer), BuildFrame("GETQUEST", kTaskName));
        SendTask(peer);
        EXPECT_EQ(window->Animation().windowTitle(),
                  QString::fromUtf8("Анимация задачи: ") + QString::fromUtf8(kTaskCaption))
            << standing;
    }
}

TEST_F(StudentWorkTest, DraftsAreOnDiskAfterAPauseASendAndAClose) {
    QTcpSocket* peer = LogIn();
    ASSERT_NE(peer, nullptr);
    OpenTask(peer);
    EXPECT_TRUE(OnDisk().empty());

    QTest::keyClicks(Answer(0), "12");
    const std::string typed = Answer(0)->Equation();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return OnDisk() == std::vector<std::string>{typed, "  "};
        },
        kWaitMs)); // written once typing pauses

    QTest::keyClick(Answer(0), Qt::Key_Tab);
    QTest::keyClicks(Answer(1), "7");
    const std::vector<std::string> rows = Task()->AnswerTexts();
    Find<QPushButton>("sendButton")->click();
    EXPECT_EQ(OnDisk(), rows); // written before the answer left
    EXPECT_EQ(ReadTag(NextFrame(peer)), "SETRESULTQUEST");

    QTest::keyClicks(Answer(1), "8");
    const std::vector<std::string> last = Task()->AnswerTexts();
    window->close();
    EXPECT_EQ(OnDisk(), last);
    EXPECT_TRUE(window->Drafts().LastError().empty());
}

TEST_F(StudentWorkTest, ADraftComesBackWhenTheTaskIsOpenedAgainAlsoInTheNextRun) {
    taskSections_ = kTwoAnswers + "<DRAWING>1</DRAWING>"; // with a drawing, as an older server
    QTcpSocket* peer = LogIn();
    ASSERT_NE(peer, nullptr);
    OpenTask(peer);
    QTest::keyClicks(Answer(0), "3*g");
    const std::vector<std::string> typed = Task()->AnswerTexts();
    // A force on the picture, named by the keyboard.
    QTest::keyClick(Answer(0), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(window->focusWidget(), Task()->Drawing());
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_F, Qt::Key_Return})
        QTest::keyClick(window->focusWidget(), key);
    QTest::keyClicks(window->focusWidget(), "R_A");
    QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    const std::vector<std::string> drawn = Task()->DrawingDraft();
    ASSERT_EQ(drawn.size(), 1u);
    const auto drawnOnDisk = [&] { return DraftStore(Places().draftsFolder).LoadDrawing(Key()); };
    OpenTask(peer); // the list again, the same task again
    EXPECT_EQ(Task()->AnswerTexts(), typed);
    EXPECT_EQ(Task()->DrawingDraft(), drawn);

    // Killed: nothing saved at the close, only what the typing pause wrote.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return OnDisk() == typed && drawnOnDisk() == drawn; }, kWaitMs));
    window->Drafts().Close();
    window.reset();
    window = std::make_unique<MainWindow>(Places());
    window->show();
    peer = LogIn();
    ASSERT_NE(peer, nullptr);
    OpenTask(peer);
    EXPECT_EQ(Task()->AnswerTexts(), typed);
    EXPECT_EQ(Task()->DrawingDraft(), drawn);

    // Another user on the same server has drafts of their own.
    EXPECT_TRUE(DraftStore(Places().draftsFolder)
                    .Load({Address().toStdString(), "Petrov", kTaskName})
                    .empty());
}

TEST_F(StudentWorkTest, ALostConnectionIsTriedAgainLogsInAndReopensTheTaskWithItsText) {
    window->Reconnection().SetSecondMs(20);
    taskSections_ = kTwoAnswers + "<DRAWING>1;10;0</DRAWING>";
    QTcpSocket* peer = LogIn();
    ASSERT_NE(peer, nullptr);
    OpenTask(peer);
    QTest::keyClicks(Answer(0), "42");
    const std::vector<std::string> typed = Task()->AnswerTexts();
    // And a moment on the picture.
    QTest::keyClick(Answer(0), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(window->focusWidget(), Qt::Key_M);
    const std::vector<std::string> drawn = Task()->DrawingDraft();
    ASSERT_EQ(drawn.size(), 1u);

    // The server goes away: the tries find nobody there for a while.
    const quint16 port = server.serverPort();
    server.close();
    peer->abort();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return window->Reconnection().LastReport().find(
                       platform::Cp("сервер отказал в соединении")) != std::string::npos;
        },
        kWaitMs));
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));

    QTcpSocket* again = NextPeer();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(NextFrame(again), "<LOGIN:13>Ivanov;secret");
    Send(again, BuildFrame("MESSAGE", platform::Cp("Здравствуйте, Ivanov!")));
    EXPECT_EQ(NextFrame(again), BuildFrame("GETQUEST", kTaskName));
    EXPECT_EQ(StateLine(), QString::fromUtf8("Здравствуйте, Ivanov!")); // not in a box
    SendTask(again);
    EXPECT_EQ(StateLine(), QString::fromUtf8("Подключено к серверу ") + Address() +
                               QString::fromUtf8(" как Ivanov"));
    EXPECT_EQ(Task()->AnswerTexts(), typed);
    EXPECT_EQ(Task()->DrawingDraft(), drawn);
    EXPECT_EQ(Find<QLabel>("taskCaption")->text(), QString::fromUtf8(kTaskCaption));
    EXPECT_FALSE(window->Reconnection().Busy());
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A server that offers FEATURES gets the client's before anything else; told that it
// stops, the client shows why on the state line and comes back on its usual schedule,
// answering the new connection's offer before it logs in again. The device token the
// server gave after the login is presented then, to a server that gives tokens only.
TEST_F(StudentWorkTest, AServerThatStopsSaysWhyAndTheClientComesBackWhenItReturns) {
    window->Reconnection().SetSecondMs(200);
    QTcpSocket* peer = LogIn();
    ASSERT_NE(peer, nullptr);
    Send(peer, WriteFeatures({{{"bye", ""}, {"history", ""}}}));
    EXPECT_EQ(NextFrame(peer), "<FEATURES:36>bye;device;history;drawing;solutions");
    EXPECT_TRUE(window->Link().ServerFeatures().Has("history"));
    Send(peer, WriteDevice("f00d42"));
    const QString stopping =
        QString::fromUtf8("Сервер остановлен. Ответы сохранены; войдите снова позже.");
    Send(peer, WriteBye({"stopping", platform::ToCp1251(stopping)}));
    peer->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return StateLine().startsWith(stopping); }, kWaitMs))
        << StateLine().toStdString();
    EXPECT_TRUE(window->Reconnection().Busy());

    QTcpSocket* again = NextPeer();
    ASSERT_NE(again, nullptr);
    Send(again, WriteFeatures({{{"bye", ""}, {"device", ""}}}));
    EXPECT_EQ(NextFrame(again), "<FEATURES:43>bye;device=f00d42;history;drawing;solutions");
    EXPECT_EQ(NextFrame(again), "<LOGIN:13>Ivanov;secret");
    Send(again, WriteText(platform::Cp("Здравствуйте, Ivanov!")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !StateLine().startsWith(stopping); }, kWaitMs));
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A newer login of the same account elsewhere took the connection: the student is told in
// the box and on the state line, and the client does not log in again to take it back.
TEST_F(StudentWorkTest, ALoginElsewhereIsToldAndNotTakenBackByItself) {
    window->Reconnection().SetSecondMs(50);
    QTcpSocket* peer = LogIn();
    ASSERT_NE(peer, nullptr);
    Send(peer, WriteFeatures({{{"bye", ""}}}));
    EXPECT_EQ(NextFrame(peer), "<FEATURES:36>bye;device;history;drawing;solutions");
    const QString evicted = QString::fromUtf8("Под этим именем вошли с другого компьютера.");
    QString shown;
    OnNextModal([&](QDialog* dialog) {
        shown = dialog->findChild<QLabel*>("messageLabel")->text();
        dialog->accept();
    });
    Send(peer, WriteBye({"evicted", platform::ToCp1251(evicted)}));
    peer->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, kWaitMs));
    EXPECT_EQ(shown, evicted);
    EXPECT_TRUE(StateLine().startsWith(evicted)) << StateLine().toStdString();
    EXPECT_FALSE(window->Reconnection().Busy());
    EXPECT_FALSE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 500));
    EXPECT_TRUE(reports.empty());
    // By hand the student logs in again.
    ASSERT_NE(LogIn(), nullptr);
}

TEST_F(StudentWorkTest, ConnectingByHandCancelsTheWaiting) {
    window->Reconnection().SetSecondMs(60 * 1000);
    QTcpSocket* peer = LogIn();
    ASSERT_NE(peer, nullptr);
    peer->abort();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return StateLine() == QString::fromUtf8("Связь потеряна; повтор через 1 с"); },
        kWaitMs));
    EXPECT_TRUE(window->Reconnection().Busy());
    QTcpSocket* byHand = LogIn(); // the login dialog comes, as for any connection by hand
    ASSERT_NE(byHand, nullptr);
    EXPECT_FALSE(window->Reconnection().Busy());
    EXPECT_TRUE(StateLine().endsWith(QString::fromUtf8("вход не выполнен")));
    OnNextModal([](QDialog* dialog) { dialog->accept(); }); // the greeting lets the student in
    Send(byHand, BuildFrame("MESSAGE", platform::Cp("Здравствуйте, Ivanov!")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StateLine().endsWith(" Ivanov"); }, kWaitMs));
}

TEST_F(StudentWorkTest, TheLastAddressAndUserAreRememberedButNotThePassword) {
    const QString defaultAddress = Find<QLineEdit>("addressField")->text();
    EXPECT_EQ(window->Login().passwordField->text(), "wuzo"); // nothing remembered yet
    QTcpSocket* peer = LogIn();
    ASSERT_NE(peer, nullptr);
    // A login the server has not let in yet is not remembered: it may be mistyped.
    QTest::qWait(50);
    EXPECT_FALSE(ClientSettings(Places().settingsFile).userName());
    OpenTask(peer);
    window.reset();
    window = std::make_unique<MainWindow>(Places());
    EXPECT_EQ(Find<QLineEdit>("addressField")->text(), Address());
    EXPECT_NE(Address(), defaultAddress);
    EXPECT_EQ(window->Login().userField->text(), "Ivanov");
    EXPECT_TRUE(window->Login().passwordField->text().isEmpty());
    window->show();
    Find<QLineEdit>("addressField")->setText(Address());
    QWidget* typedInto = nullptr;
    bool declined = false;
    OnNextModal([&](QDialog* dialog) {
        const QWidget* password = window->Login().passwordField;
        if (QTest::qWaitFor([&] { return dialog->focusWidget() == password; }, kWaitMs))
            typedInto = dialog->focusWidget();
        dialog->reject();
        declined = true;
    });
    Find<QToolButton>("connectButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return declined; }, kWaitMs));
    EXPECT_EQ(typedInto, window->Login().passwordField); // the password is left to type
    window->SetServerAddress("vekta.example");           // as --server does
    EXPECT_EQ(Find<QLineEdit>("addressField")->text(), "vekta.example");
    QFile ini(Places().settingsFile);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("secret"));
}

// "Мои ответы" shows under the rows only against a server that offers the history; it
// asks for the open task's submissions, lists them, and one click on a submission puts its
// answers back into the rows. A history of another task is not shown.
TEST_F(StudentWorkTest, MyAnswersListsTheEarlierSubmissionsAndPutsOneBack) {
    taskSections_ = kTwoAnswers + "<DRAWING>1</DRAWING>";
    const struct {
        std::vector<std::pair<std::string, std::string>> offered;
        bool shown;
    } cases[] = {
        {{}, false},                            // a server without FEATURES
        {{{"bye", ""}}, false},                 // FEATURES without the history
        {{{"bye", ""}, {"history", ""}}, true}, // offered
    };
    for (const auto& c : cases) {
        QTcpSocket* peer = LogIn();
        ASSERT_NE(peer, nullptr);
        if (!c.offered.empty()) {
            Send(peer, WriteFeatures({c.offered}));
            EXPECT_EQ(ReadTag(NextFrame(peer)), "FEATURES");
        }
        OpenTask(peer);
        auto* button = Find<QPushButton>("historyButton");
        EXPECT_EQ(button->isVisible(), c.shown);
        if (!c.shown)
            continue;
        EXPECT_GT(button->y(), Answer(1)->geometry().bottom()); // under the rows
        button->click();
        EXPECT_EQ(NextFrame(peer), WriteHistoryRequest(kTaskName));

        Send(peer, WriteHistory({"other", {{"2026-12-07T10:15:30.250Z", "", "", ""}}}));
        QTest::qWait(50);
        EXPECT_FALSE(window->History().isVisible());
        const HistoryMessage history{
            kTaskName,
            {{"2026-12-07T10:15:30.250Z",
              WriteResultPayload({{"RA", "12.5"}, {"RB", "-3"}},
                                 std::vector<std::string>{"force 10 20 90 R!A 2*F"}),
              platform::Cp("RA: верно; RB: неверно"), platform::Cp("1 из 2")},
             {"2026-12-07T10:20:00.000Z", WriteResultPayload({{"RA", "7"}}), "", ""}}};
        Send(peer, WriteHistory(history));
        HistoryWindow* shown = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                shown = &window->History();
                return shown->isVisible();
            },
            kWaitMs));
        auto* list = shown->findChild<QListWidget*>("submissionList");
        ASSERT_EQ(list->count(), 2);
        EXPECT_TRUE(list->item(0)->text().contains(QString::fromUtf8("1 из 2")));
        EXPECT_TRUE(list->item(0)->text().contains(QString::fromUtf8("RB: неверно")));
        EXPECT_TRUE(list->item(0)->text().contains("12.5"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        EXPECT_EQ(Task()->AnswerTexts(), (std::vector<std::string>{"12.5  ", "-3  "}));
        // The drawing comes back on the picture, its name and magnitude in their fields.
        EXPECT_TRUE(list->item(0)->text().contains(QString::fromUtf8("рисунок: сил и моментов 1")));
        EXPECT_EQ(Task()->DrawingDraft(), std::vector<std::string>{"force 10 20 90\nR!A\n2*F"});
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        EXPECT_EQ(Task()->AnswerTexts(), (std::vector<std::string>{"7  ", "  "}));
        EXPECT_TRUE(Task()->DrawingDraft().empty()) << "a submission that drew nothing";
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return OnDisk() == std::vector<std::string>{"7  ", "  "};
            },
            kWaitMs));
    }
}

// "Решение" shows only where the server shows solutions, and can be pressed once the server
// marked the task or said its solution opened; the solution of the task shown opens in its
// own window: the reference answers, and the right drawing (blue) over the student's
// (orange).
TEST_F(StudentWorkTest, TheSolutionIsAskedForOnceTheServerSaysAndShownInItsWindow) {
    for (const bool offered : {false, true}) {
        QTcpSocket* peer = LogIn();
        ASSERT_NE(peer, nullptr);
        Features features{{{"bye", ""}}};
        if (offered)
            features.words.emplace_back("solutions", "");
        Send(peer, WriteFeatures(features));
        EXPECT_EQ(ReadTag(NextFrame(peer)), "FEATURES");
        OpenTask(peer);
        auto* button = Find<QPushButton>("solutionButton");
        EXPECT_EQ(button->isVisible(), offered);
        if (!offered)
            continue;
        EXPECT_FALSE(button->isEnabled());
        EXPECT_GT(button->y(), Answer(1)->geometry().bottom()); // under the rows
        Send(peer, WriteSolutionReady("other"));
        Send(peer, WriteSolutionReady(kTaskName));
        ASSERT_TRUE(QTest::qWaitFor([&] { return button->isEnabled(); }, kWaitMs));
        button->click();
        EXPECT_EQ(NextFrame(peer), WriteSolutionRequest(kTaskName));

        SolutionMessage solution{"other", "", {{"RA", "1"}}, "", ""};
        Send(peer, WriteSolution(solution));
        QTest::qWait(50);
        EXPECT_FALSE(window->Solution().isVisible());
        solution = {kTaskName,
                    "HEIGHT(100);WIDTH(200);LINE(10,60,190,60);",
                    {{"RA", "(8)/2"}, {"RB", "1.5"}},
                    "FORCE(50,60,90,R!A);MOMENT(150,60,ccw,M,3);",
                    "force 100 60 0 P;"};
        Send(peer, WriteSolution(solution));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->Solution().isVisible(); }, kWaitMs));
        auto* answers = window->Solution().findChild<QListWidget*>("solutionAnswers");
        ASSERT_EQ(answers->count(), 3);
        EXPECT_TRUE(answers->item(0)->text().contains(QString::fromUtf8("≈ 4")))
            << answers->item(0)->text().toStdString();
        EXPECT_TRUE(answers->item(2)->text().contains(QString::fromUtf8("на рисунке M = 3")));
        const QImage& picture = window->Solution().Picture();
        ASSERT_FALSE(picture.isNull());
        const qreal ratio = picture.devicePixelRatio();
        auto near = [&](int x, int y, const QColor& colour) {
            for (int dx = -2; dx <= 2; ++dx)
                for (int dy = -2; dy <= 2; ++dy)
                    if (picture.pixelColor(QPoint(static_cast<int>((x + dx) * ratio),
                                                  static_cast<int>((y + dy) * ratio))) == colour)
                        return true;
            return false;
        };
        EXPECT_TRUE(near(120, 60, QColor(230, 120, 0))) << "the student's force";
        EXPECT_TRUE(near(50, 40, QColor(0, 0, 255))) << "the right reaction";
        EXPECT_FALSE(near(50, 40, QColor(230, 120, 0)));
        EXPECT_TRUE(window->Solution()
                        .findChild<QLabel*>("solutionLegend")
                        ->text()
                        .startsWith(QString::fromUtf8("Оранжевым")));

        // The task again, not marked: the window goes, the button waits for the server.
        SendTask(peer);
        EXPECT_FALSE(window->Solution().isVisible());
        EXPECT_FALSE(button->isEnabled());
        Send(peer, BuildFrame("QUEST", kTwoAnswers + "<SOLUTION>1</SOLUTION>"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return button->isEnabled(); }, kWaitMs));
    }
}
