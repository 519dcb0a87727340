// The whole road against the reference server as a real process: connect, log in, get
// the task list, open a task, answer it and read the server's reply.

#include "TestBank.h"
#include "TestCertificate.h"
#include "app/DrawingSurface.h"
#include "app/DrawingTools.h"
#include "app/HistoryWindow.h"
#include "app/LoginDialog.h"
#include "app/MainWindow.h"
#include "app/ServerLink.h"
#include "app/TaskLink.h"
#include "app/TaskListView.h"
#include "app/TaskView.h"
#include "calculator/CalculatorWindow.h"
#include "dialogs/MessageDialog.h"
#include "eqedit/FormulaField.h"
#include "platform/ErrorReport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSslCertificate>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

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
            if (auto* login = qobject_cast<LoginDialog*>(dialog)) {
                login->connectButton->click();
                return;
            }
            if (auto* box = qobject_cast<MessageDialog*>(dialog)) {
                lastText = box->messageLabel->text();
                texts << lastText;
            }
            dialog->accept();
        });
        timer_.start(20);
    }
    int answered = 0;
    QString lastText;  // of the last message box
    QStringList texts; // of every message box, in order

private:
    QTimer timer_;
};

// The reference server with the shipped bank as a process, and the client that logs in
// to it as the demo student and shows its task list.
class ClientAgainstServer : public ::testing::Test {
protected:
    // `options` go to the server; `scheme` is written before the address the client types;
    // `bank` is the folder of the tasks and the demo accounts.
    void StartAndLogIn(const QStringList& options = {}, const QString& scheme = {},
                       const QString& bank = VEKTA_BANK_DIR) {
        server.start(VEKTA_SERVER_PATH, QStringList{"--demo", "--port", "0", "--bank", bank, "--db",
                                                    storeFolder.filePath("vekta.sqlite")} +
                                            options);
        ASSERT_TRUE(server.waitForReadyRead(kWaitMs))
            << server.readAllStandardError().toStdString();
        const QString banner = QString::fromUtf8(server.readLine()).trimmed();
        const QString port = banner.section(' ', -1);
        ASSERT_FALSE(port.isEmpty()) << banner.toStdString();

        platform::SetErrorReportHandler([this](const std::string& m) { reports.push_back(m); });
        window.show();
        window.SetServerAddress(scheme + "127.0.0.1:" + port);
        window.findChild<QToolButton*>("connectButton")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.answered >= 2; }, kWaitMs))
            << "login dialog and welcome message";
        window.findChild<QToolButton*>("tasksButton")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return List()->isVisible(); }, kWaitMs));
    }

    void TearDown() override {
        platform::SetErrorReportHandler({});
        server.kill();
        server.waitForFinished();
    }

    const TaskListView* List() const { return window.findChild<TaskListView*>(); }
    const TaskView* Task() const { return window.findChild<TaskView*>(); }

    // Opens the task whose link has this caption, and waits for its first answer field.
    void Open(const QString& caption) {
        TaskLink* link = nullptr;
        for (TaskLink* candidate : List()->Links())
            if (candidate != nullptr && candidate->text().contains(caption))
                link = candidate;
        ASSERT_NE(link, nullptr) << caption.toStdString();
        QTest::mouseClick(link, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return Task()->AnswerCount() > 0 && window.focusWidget() == Task()->AnswerField(0);
            },
            kWaitMs));
    }

    // Sends the answers and waits for the server's reply.
    QString SendAndReadReply() {
        const int dialogsBefore = answerer.answered;
        QTest::keyClick(window.focusWidget(), Qt::Key_Return);
        const bool replied =
            QTest::qWaitFor([&] { return answerer.answered > dialogsBefore; }, kWaitMs);
        return replied ? answerer.lastText : QString();
    }

    QTemporaryDir storeFolder; // the server's database, gone with the test
    QProcess server;
    // The client's settings and drafts of this test alone: a login another test remembered
    // would leave the password field empty.
    MainWindow window{
        ClientPlaces{storeFolder.filePath("client.ini"), storeFolder.filePath("drafts")}};
    std::vector<std::string> reports;
    ModalAnswerer answerer;
};

class EndToEndTest : public ClientAgainstServer {
protected:
    void SetUp() override { StartAndLogIn(); }
};

// A beam on a pin at A and a roller at B with a load at C, to be drawn: the picture's own
// points are where the forces go, nothing of the right drawing is sent.
const char* const kBeamToDraw =
    "<CAPTION>Балка: нарисуйте силы</CAPTION>\n<QUEST>Нарисуйте силы, действующие на "
    "балку, и найдите R_B.</QUEST>\n<IMAGE>HEIGHT(120);WIDTH(300);ADVLINE(40,70,260,70,0,3);"
    "SHARNIR(40,70);GROUND(40,78,40,0);CIRCLE(260,70,4);CIRCLE(150,70,2);TEXT(36,82,\"A\");"
    "TEXT(256,82,\"B\");TEXT(146,50,\"C\");</IMAGE>\n<REQUEST>R!B;</REQUEST>\n<ANSWER>5;</ANSWER>\n"
    "<DRAW>PIN(40,70,A);ROLLER(260,70,90,R!B);FORCE(150,70,270,F);</DRAW>\n";

class DrawingAgainstServer : public ClientAgainstServer {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            WriteTestBank(bank.path(), QString::fromUtf8("statica/Балка.task"), kBeamToDraw));
        StartAndLogIn({}, {}, bank.path());
        Open(QString::fromUtf8("нарисуйте силы"));
        ASSERT_TRUE(Task()->DrawingShown());
        surface = Task()->Drawing();
        tools = Task()->DrawingToolbox();
    }

    // Types a name into the field that has the keyboard: "R!B" as R, Down, B.
    void TypeName(const char* letter, const char* index = nullptr) {
        QTest::keyClicks(window.focusWidget(), letter);
        if (index != nullptr) {
            QTest::keyClick(window.focusWidget(), Qt::Key_Down);
            QTest::keyClicks(window.focusWidget(), index);
        }
    }

    // A press on the picture, a drag by a few moves and the release.
    void Drag(QPointF from, QPointF to) {
        std::vector<QPointF> path{from};
        for (int step = 1; step <= 4; ++step)
            path.push_back(from + (to - from) * step / 4.0);
        DragAlong(path);
    }

    // A press at the path's first point, a move to each next one, the release at the last.
    void DragAlong(const std::vector<QPointF>& path) {
        const auto send = [this](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, surface->mapToGlobal(at), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(surface, &event);
        };
        send(QEvent::MouseButtonPress, path.front(), Qt::LeftButton);
        for (std::size_t k = 1; k < path.size(); ++k)
            send(QEvent::MouseMove, path[k], Qt::LeftButton);
        send(QEvent::MouseButtonRelease, path.back(), Qt::NoButton);
    }

    // Sends with the row answered and expects both the row and the drawing right.
    void AnswerAndExpectRight() {
        Task()->AnswerField(0)->setFocus();
        QTest::keyClicks(window.focusWidget(), "5");
        const QString reply = SendAndReadReply();
        EXPECT_EQ(reply.count(QString::fromUtf8("неверно")), 0) << reply.toStdString();
        EXPECT_EQ(reply.count(QString::fromUtf8("не принято")), 0) << reply.toStdString();
        EXPECT_TRUE(reply.contains(QString::fromUtf8("рисунок: верно"))) << reply.toStdString();
        EXPECT_TRUE(reply.contains(QString::fromUtf8("Верно 2 из 2"))) << reply.toStdString();
        EXPECT_TRUE(reports.empty());
    }

    QTemporaryDir bank;
    DrawingSurface* surface = nullptr;
    DrawingTools* tools = nullptr;
};

} // namespace

// The tools by mouse: each press a little off the picture's point snaps to it, each drag
// a little off a right angle keeps to steps of 5 degrees; a new force takes its name at
// once; a force is moved by its shaft and turned by its head.
TEST_F(DrawingAgainstServer, AFreeBodyDiagramDrawnByMouseIsJudgedRight) {
    const struct {
        QPointF from, to;
        const char* letter;
        const char* index;
    } forces[] = {{{42, 68}, {41, 25}, "Y", "A"},
                  {{38, 71}, {90, 71}, "X", "A"},
                  {{100, 72}, {100, 30}, "F", nullptr},
                  {{258, 69}, {259, 20}, "R", "B"}};
    for (const auto& force : forces) {
        tools->ForceButton()->click();
        ASSERT_EQ(surface->CurrentTool(), DrawingSurface::Tool::Force);
        Drag(force.from, force.to);
        ASSERT_EQ(window.focusWidget(), tools->NameField());
        TypeName(force.letter, force.index);
        QTest::keyClick(window.focusWidget(), Qt::Key_Return);
        EXPECT_EQ(window.focusWidget(), surface);
    }
    ASSERT_EQ(surface->Objects().size(), 4u);
    // F was put off its point and the wrong way: its shaft moves it to C (snapped), its
    // head turns it down.
    Drag({100, 55}, {149, 53});
    Drag({150, 31}, {151, 110});
    EXPECT_EQ(surface->Objects()[2].at.x, 150);
    EXPECT_EQ(surface->Objects()[2].at.y, 70);
    EXPECT_EQ(surface->Objects()[2].angle, 270);
    // Stray moments: a click makes one counter-clockwise, a drag round its point clockwise
    // (right, below, left) one of that sense; each is taken away again by its selection.
    tools->MomentButton()->click();
    Drag({200, 40}, {200, 41});
    ASSERT_EQ(surface->Objects().size(), 5u);
    EXPECT_TRUE(surface->Objects()[4].ccw);
    // Dragged by its arc far out of the picture, it stays on it.
    Drag({216, 40}, {600, 400});
    EXPECT_EQ(std::pair(surface->Objects()[4].at.x, surface->Objects()[4].at.y),
              std::pair(283.0, 119.0));
    ASSERT_EQ(window.focusWidget(), surface);
    QTest::keyClick(surface, Qt::Key_Delete);
    tools->MomentButton()->click();
    DragAlong({{200, 40}, {220, 40}, {214, 54}, {200, 60}, {186, 54}, {180, 40}});
    ASSERT_EQ(surface->Objects().size(), 5u);
    EXPECT_FALSE(surface->Objects()[4].ccw);
    QTest::keyClick(window.focusWidget(), Qt::Key_Escape);
    QTest::keyClick(surface, Qt::Key_Delete);
    ASSERT_EQ(surface->Objects().size(), 4u);
    AnswerAndExpectRight();
}

// The keyboard alone: Shift+Tab from the row into the picture, F at the point the keyboard
// stands at, arrows to the next point, Ctrl+Shift+arrows to turn by 45 degrees, Enter and
// the name, Enter back, Tab out to the row.
TEST_F(DrawingAgainstServer, AFreeBodyDiagramDrawnByKeysAloneIsJudgedRight) {
    QTest::keyClick(window.focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(window.focusWidget(), surface);
    const auto key = [this](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(window.focusWidget(), k, m);
    };
    const auto name = [&](const char* letter, const char* index) {
        key(Qt::Key_Return);
        ASSERT_EQ(window.focusWidget(), tools->NameField());
        TypeName(letter, index);
        key(Qt::Key_Return);
        ASSERT_EQ(window.focusWidget(), surface);
    };
    key(Qt::Key_F); // at A, up
    name("Y", "A");
    key(Qt::Key_F);
    key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    name("X", "A");
    key(Qt::Key_Right); // C
    key(Qt::Key_F);
    for (int turn = 0; turn < 36; ++turn) // down, by steps of 5 degrees
        key(Qt::Key_Right, Qt::ShiftModifier);
    name("F", nullptr);
    key(Qt::Key_Right); // B
    key(Qt::Key_F);
    name("R", "B");
    ASSERT_EQ(surface->Objects().size(), 4u);
    key(Qt::Key_Tab);
    ASSERT_EQ(window.focusWidget(), Task()->AnswerField(0));
    AnswerAndExpectRight();
}

TEST_F(EndToEndTest, ConnectLogInOpenAndAnswerATaskAgainstTheReferenceServer) {
    ASSERT_NE(List()->Links()[0], nullptr);
    EXPECT_EQ(List()->Links()[0]->text(),
              QString::fromUtf8("1. Балка на шарнирной и катковой опорах"));
    Open(QString::fromUtf8("Балка"));
    EXPECT_TRUE(Task()->isVisible());
    ASSERT_EQ(Task()->AnswerCount(), 3);

    // The answers, typed and sent with the keyboard alone; the server's reply is shown.
    for (const char* answer : {"3", "4", "5*2"}) {
        QTest::keyClicks(window.focusWidget(), answer);
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
    }
    Task()->AnswerField(2)->setFocus();
    EXPECT_FALSE(SendAndReadReply().isEmpty()) << "the server's reply to SETRESULTQUEST";
    EXPECT_TRUE(reports.empty());
}

// The wheel's answers typed as a student writes them: the line under each field reads them
// with the names the server declared, and the server judges them as their readings say.
TEST_F(EndToEndTest, AnImplicitProductReadsAndIsJudgedLikeItsWrittenProduct) {
    Open(QString::fromUtf8("колеса"));
    ASSERT_EQ(Task()->AnswerCount(), 3);
    QTest::keyClicks(window.focusWidget(), "v_C/R");
    QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(window.focusWidget(), "2v");
    QTest::keyClick(window.focusWidget(), Qt::Key_Down);
    QTest::keyClicks(window.focusWidget(), "C");
    const auto* reading = window.findChild<QLabel*>("readingLine1");
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(reading->text(), QString::fromUtf8("2·v_C"));
    EXPECT_EQ(reading->styleSheet(), "color: rgb(128, 128, 128)");
    QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(window.focusWidget(), "sqrt(2)*v_C");
    const QString reply = SendAndReadReply();
    EXPECT_EQ(reply.count(QString::fromUtf8("неверно")), 0) << reply.toStdString();
    EXPECT_EQ(reply.count(QString::fromUtf8("не принято")), 0) << reply.toStdString();
    EXPECT_EQ(reply.count(QString::fromUtf8("верно")), 3) << reply.toStdString();
    EXPECT_TRUE(reports.empty());
}

// A row named after a letter and a row named after the same letter with an index: the
// third answer uses both, and each is put in whole, so the server judges 3 + 4.
TEST_F(ClientAgainstServer, EarlierRowsNamesArePutInWholeAndJudgedAsTheLineReadsThem) {
    QTemporaryDir bank;
    ASSERT_TRUE(
        WriteTestBank(bank.path(), QString::fromUtf8("kinematik/Скорости.task"),
                      "<CAPTION>Сложение скоростей</CAPTION>\n<QUEST>Найти v, v!1 и "
                      "w.</QUEST>\n<REQUEST>v;v!1;w;</REQUEST>\n<ANSWER>3;4;7;</ANSWER>\n"));
    StartAndLogIn({}, {}, bank.path());
    Open(QString::fromUtf8("Сложение скоростей"));
    ASSERT_EQ(Task()->AnswerCount(), 3);
    for (const char* answer : {"3", "4"}) {
        QTest::keyClicks(window.focusWidget(), answer);
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClicks(window.focusWidget(), "v+v_1");
    EXPECT_EQ(window.findChild<QLabel*>("readingLine2")->text(), "v+v_1");
    const QString reply = SendAndReadReply();
    EXPECT_EQ(reply.count(QString::fromUtf8("неверно")), 0) << reply.toStdString();
    EXPECT_EQ(reply.count(QString::fromUtf8("не принято")), 0) << reply.toStdString();
    EXPECT_EQ(reply.count(QString::fromUtf8("верно")), 3) << reply.toStdString();
    EXPECT_TRUE(reports.empty());
}

// Four clients log in on one account, one after another: the fourth takes the first one's
// place, the first tells its student why and does not log in again by itself, so the
// server closes one connection and no chase of logins follows.
TEST_F(ClientAgainstServer, AFourthClientOnOneAccountEvictsTheFirstOnceWithoutAChase) {
    StartAndLogIn();
    const QString address = window.findChild<QLineEdit*>("addressField")->text();
    std::vector<std::unique_ptr<MainWindow>> others;
    for (int i = 0; i < 3; ++i) {
        others.push_back(std::make_unique<MainWindow>(
            ClientPlaces{storeFolder.filePath(QString("client%1.ini").arg(i)),
                         storeFolder.filePath(QString("drafts%1").arg(i))}));
        MainWindow& other = *others.back();
        other.show();
        other.SetServerAddress(address);
        const int before = answerer.answered;
        other.findChild<QToolButton*>("connectButton")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.answered >= before + 2; }, kWaitMs))
            << "login dialog and welcome message " << i;
    }
    const QString evicted = QString::fromUtf8("Под этим именем вошли с другого компьютера.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.texts.contains(evicted); }, kWaitMs))
        << answerer.texts.join('|').toStdString();
    QTest::qWait(3500); // a client that logged in again by itself would have done so by now
    const QString log = QString::fromUtf8(server.readAllStandardError());
    EXPECT_EQ(log.count("a newer connection of the same account logged in"), 1)
        << log.toStdString();
    EXPECT_EQ(answerer.texts.count(evicted), 1);
    EXPECT_FALSE(window.Link().IsConnected());
    EXPECT_TRUE(window.findChild<QLabel*>("stateLine")->text().startsWith(evicted));
    for (const auto& other : others)
        EXPECT_TRUE(other->Link().IsConnected());
}

// With the server's certificate trusted (as "--ca FILE" does), the client logs in over
// TLS and the state line says the connection is encrypted.
TEST_F(ClientAgainstServer, AnEncryptedConnectionLogsInAndTheStateLineSaysSo) {
    const TestCertificate made = MakeTestCertificate(storeFolder.path());
    if (made.certificate.isEmpty())
        GTEST_SKIP() << "openssl is not installed";
    window.Link().TrustOnly(QSslCertificate::fromPath(made.certificate));
    StartAndLogIn({"--tls-cert", made.certificate, "--tls-key", made.key}, "tls://");
    EXPECT_TRUE(window.Link().State().LoggedIn());
    EXPECT_TRUE(window.findChild<QLabel*>("stateLine")
                    ->text()
                    .endsWith(QString::fromUtf8(" как Guest (шифрование TLS)")))
        << window.findChild<QLabel*>("stateLine")->text().toStdString();
    EXPECT_TRUE(reports.empty());
}

// The calculator's result, copied with its button and pasted into an answer row with
// Ctrl+V, reads as the number it prints and is judged right.
TEST_F(ClientAgainstServer, TheCalculatorsCopiedResultPastesIntoARowAndIsJudgedRight) {
    QTemporaryDir bank;
    ASSERT_TRUE(WriteTestBank(bank.path(), QString::fromUtf8("kinematik/Малая скорость.task"),
                              "<CAPTION>Малая скорость</CAPTION>\n<QUEST>Найти v.</QUEST>\n"
                              "<REQUEST>v;</REQUEST>\n<ANSWER>1/3000000;</ANSWER>\n"));
    StartAndLogIn({}, {}, bank.path());
    Open(QString::fromUtf8("Малая скорость"));
    ASSERT_EQ(Task()->AnswerCount(), 1);

    CalculatorWindow& calculator = window.Calculator();
    calculator.show();
    auto* formula = calculator.findChild<FormulaField*>("formulaField");
    formula->SetEquation("1/3000000");
    calculator.findChild<QPushButton*>("equalsButton")->click();
    calculator.findChild<QToolButton*>("copyButton")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "3.33333333333333E-7");

    FormulaField* row = Task()->AnswerField(0);
    row->activateWindow();
    row->setFocus();
    QTest::keyClick(row, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(row->Equation(), "3.33333333333333E-7  "); // before the empty row's spaces
    EXPECT_EQ(window.findChild<QLabel*>("readingLine0")->text(),
              QString::fromUtf8("3,33333333333333·10^(-7)"));
    const QString reply = SendAndReadReply();
    EXPECT_EQ(reply.count(QString::fromUtf8("неверно")), 0) << reply.toStdString();
    EXPECT_EQ(reply.count(QString::fromUtf8("верно")), 1) << reply.toStdString();
    EXPECT_TRUE(reports.empty());
}

// Two answers sent, then "Мои ответы": the server's history of the task lists both, the
// first one's reading and verdicts included, and a click puts the first back into the rows.
TEST_F(ClientAgainstServer, MyAnswersListsTheAnswersSentAndPutsOneBack) {
    StartAndLogIn({"--submission-interval", "0"});
    Open(QString::fromUtf8("Балка"));
    ASSERT_EQ(Task()->AnswerCount(), 3);
    for (const char* answer : {"3", "4", "5*2"}) {
        QTest::keyClicks(window.focusWidget(), answer);
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
    }
    Task()->AnswerField(2)->setFocus();
    ASSERT_FALSE(SendAndReadReply().isEmpty());
    const std::vector<std::string> first = Task()->AnswerTexts();
    QTest::keyClicks(Task()->AnswerField(2), "1");
    Task()->AnswerField(2)->setFocus();
    ASSERT_FALSE(SendAndReadReply().isEmpty());
    EXPECT_NE(Task()->AnswerTexts(), first);

    auto* button = window.findChild<QPushButton*>("historyButton");
    ASSERT_TRUE(button->isVisible());
    button->click();
    QListWidget* list = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            list = window.History().findChild<QListWidget*>("submissionList");
            return window.History().isVisible() && list->count() == 2;
        },
        kWaitMs));
    EXPECT_TRUE(list->item(0)->text().contains(QString::fromUtf8("= 5·2")))
        << list->item(0)->text().toStdString();
    EXPECT_TRUE(list->item(0)->text().contains(QString::fromUtf8(" из 3")));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(Task()->AnswerTexts(), first);
    EXPECT_TRUE(reports.empty());
}
