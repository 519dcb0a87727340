// The task view of the main window: a QUEST from a testing server played by a QTcpServer
// inside the test becomes the statement, the diagram and the answer rows; the keyboard
// alone fills them and sends them.

#include "MainWindowFixture.h"

#include "app/MainWindow.h"
#include "app/TaskView.h"

#include "app/AnswerReadingLine.h"
#include "app/DrawingSurface.h"
#include "app/DrawingTools.h"
#include "app/LoginDialog.h"
#include "diagram/DrawingContext.h"
#include "dialogs/MessageDialog.h"
#include "eqedit/FormulaField.h"
#include "eqedit/Notation.h"
#include "platform/Cp1251.h"
#include "platform/ErrorReport.h"
#include "platform/QtText.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <variant>

namespace {

struct ShownDialog {
    QString caption;
    QString text;
    std::string formula;
};

// Closes the next message dialog as soon as it is up and keeps what it showed.
void CloseNextDialog(ShownDialog& shown) {
    OnNextModal([&shown](QDialog* dialog) {
        auto* box = qobject_cast<MessageDialog*>(dialog);
        ASSERT_NE(box, nullptr);
        shown = {box->windowTitle(), box->messageLabel->text(),
                 box->formulaField->isHidden() ? "" : box->formulaField->Equation()};
        box->accept();
    });
}

std::string Quest(const std::string& sections) {
    return "<QUEST:" + std::to_string(sections.size()) + ">" + sections;
}

class TaskViewWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // The login is declined, so the test server takes only the frames under test.
        OnNextModal([](QDialog* dialog) { dialog->reject(); });
        Find<QLineEdit>("addressField")->setText(QString("127.0.0.1:%1").arg(server.serverPort()));
        Find<QToolButton>("connectButton")->click();
        ASSERT_TRUE(server.waitForNewConnection(kWaitMs));
        peer = server.nextPendingConnection();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Link().IsConnected(); }, kWaitMs));
    }

    // Sends a task and waits until its pane is up with the first answer field focused.
    void ShowTask(const std::string& sections) {
        const std::string frame = Quest(sections);
        peer->write(frame.data(), static_cast<qint64>(frame.size()));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return Task()->AnswerCount() > 0 && window->focusWidget() == Answer(0); },
            kWaitMs));
    }

    FormulaField* Answer(int row) const { return Task()->AnswerField(row); }
    QWidget* Focused() const { return window->focusWidget(); }

    // The next whole frame the server receives, or empty text when none comes.
    std::string NextFrame(int waitMs = kWaitMs) {
        FrameReceiver frames;
        const bool arrived = QTest::qWaitFor(
            [&] {
                frames.Receive(peer->readAll().toStdString());
                return !frames.MessageQueue().empty();
            },
            waitMs);
        return arrived ? frames.MessageQueue().front() : "";
    }

    QTcpSocket* peer = nullptr;
};

const std::string kThreeAnswers = "<NAME>t1</NAME><QUEST>Find <sym>w</sym> and the rest.</QUEST>"
                                  "<IMAGE>LINE(10,20,110,20);</IMAGE><REQUEST>X;Y;Z;</REQUEST>";

// A task with a drawn answer, as a newer server sends it.
const std::string kDrawnTask =
    "<NAME>d1</NAME><QUEST>Draw the forces.</QUEST><IMAGE>LINE(40,70,260,70);"
    "TEXT(36,80,\"A\");CIRCLE(260,70,3);TEXT(256,80,\"B\");</IMAGE><REQUEST>X;</REQUEST>"
    "<VARIABLES>F;</VARIABLES><DRAWING>1;10;1</DRAWING>";

} // namespace

// The picture by the keyboard alone, as a screen reader finds it: a list of its objects,
// each read with its name, point and direction, and the last change told as the list's
// description; the drawing goes after the rows, and an object without a name stops it.
TEST_F(TaskViewWindowTest, ThePictureIsAListOfItsObjectsAndTellsEachChange) {
    ShowTask(kDrawnTask);
    DrawingSurface* surface = Task()->Drawing();
    ASSERT_TRUE(surface->isVisible());
    QTest::keyClick(Focused(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(Focused(), surface);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(surface);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->childCount(), 0);

    const auto key = [this](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(Focused(), k, m);
    };
    const struct {
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        const char* typed; // into the field Enter opens; nullptr: none
        std::vector<const char*> items;
        const char* change; // the last change told
    } steps[] = {
        {{{Qt::Key_F, Qt::NoModifier}},
         nullptr,
         {"сила без имени в точке A, вверх"},
         "добавлена сила без имени в точке A, вверх"},
        {{}, "R_A", {"сила R_A в точке A, вверх"}, "сила R_A в точке A, вверх"},
        {{{Qt::Key_Left, Qt::ShiftModifier},
          {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier}},
         nullptr,
         {"сила R_A в точке A, под углом 140°"},
         "сила R_A в точке A, под углом 140°"},
        {{{Qt::Key_Right, Qt::ShiftModifier},
          {Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier}},
         nullptr,
         {"сила R_A в точке A, вверх"},
         "сила R_A в точке A, вверх"},
        // Away to B and a moment there; the arrows alone do not change the drawing.
        {{{Qt::Key_Right, Qt::NoModifier}, {Qt::Key_M, Qt::NoModifier}},
         nullptr,
         {"сила R_A в точке A, вверх", "момент без имени против часовой стрелки"},
         "добавлен момент без имени против часовой стрелки"},
        {{{Qt::Key_Down, Qt::ShiftModifier}},
         nullptr,
         {"сила R_A в точке A, вверх", "момент без имени по часовой стрелке"},
         "момент без имени по часовой стрелке"},
    };
    for (const auto& step : steps) {
        for (const auto& [k, m] : step.keys)
            key(k, m);
        if (step.typed != nullptr) {
            key(Qt::Key_Return);
            ASSERT_EQ(Focused(), Task()->DrawingToolbox()->NameField());
            QTest::keyClicks(Focused(), step.typed);
            key(Qt::Key_Return);
            ASSERT_EQ(Focused(), surface);
        }
        ASSERT_EQ(list->childCount(), static_cast<int>(step.items.size()));
        for (std::size_t k = 0; k < step.items.size(); ++k)
            EXPECT_EQ(list->child(static_cast<int>(k))->text(QAccessible::Name),
                      QString::fromUtf8(step.items[k]));
        EXPECT_EQ(list->text(QAccessible::Description), QString::fromUtf8(step.change));
    }
    EXPECT_TRUE(list->child(1)->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);

    // The moment has no name: nothing is sent, and the student is told which object.
    key(Qt::Key_Tab);
    ASSERT_EQ(Focused(), Answer(0));
    QTest::keyClicks(Focused(), "3");
    ShownDialog shown;
    CloseNextDialog(shown);
    key(Qt::Key_Return);
    EXPECT_TRUE(shown.text.startsWith(QString::fromUtf8("Момент: не задано имя")))
        << shown.text.toStdString();
    EXPECT_EQ(NextFrame(200), "");

    // Deleted, it is told gone; the force goes after the row, its name in the notation.
    surface->setFocus();
    key(Qt::Key_Delete);
    EXPECT_EQ(list->childCount(), 1);
    EXPECT_EQ(list->text(QAccessible::Description),
              QString::fromUtf8("удалён момент без имени по часовой стрелке"));
    Answer(0)->setFocus();
    key(Qt::Key_Return);
    const std::string frame = NextFrame();
    EXPECT_EQ(ReadPayload(frame), " X @=3; @DRAW=force 40 70 90 R!A;");
}

TEST_F(TaskViewWindowTest, ThreeAnswersMakeThreeRowsUnderTheFramedDiagram) {
    ShowTask(kThreeAnswers);
    EXPECT_TRUE(Task()->isVisible());
    EXPECT_TRUE(Find<QPushButton>("sendButton")->isVisible());
    EXPECT_FALSE(Find<QToolButton>("animationButton")->isVisible()); // no animation
    ASSERT_EQ(Task()->AnswerCount(), 3);
    const int imageBottom = Find<QLabel>("statement")->geometry().bottom() + 1;
    const int paneWidth = Task()->width();
    // Each row is 32 pixels plus its reading line, which is empty while nothing is typed.
    const int lineHeight = Task()->ReadingLine(0)->height();
    EXPECT_GT(lineHeight, 0);
    for (int row = 0; row < 3; ++row) {
        const int top = imageBottom + 20 + (32 + lineHeight) * row;
        const FormulaField* name = Task()->NameField(row);
        EXPECT_EQ(name->geometry(), QRect(15, top, 60, 27));
        EXPECT_FALSE(name->isEnabled());
        EXPECT_EQ(Answer(row)->geometry(), QRect(75, top, paneWidth - 115, 27));
        EXPECT_EQ(Answer(row)->Equation(), "  ");
        EXPECT_EQ(Task()->ReadingLine(row)->geometry(),
                  QRect(75, top + 27, paneWidth - 115, lineHeight));
        EXPECT_TRUE(Task()->ReadingLine(row)->isVisible());
        EXPECT_EQ(Task()->ReadingLine(row)->text(), "");
    }
    EXPECT_EQ(Task()->NameField(1)->Equation(), " Y @=");
    EXPECT_EQ(Find<QPushButton>("sendButton")->y(),
              Task()->ReadingLine(2)->geometry().bottom() + 1 + 10);

    // The 300 x 160 box sits centred at the bottom of the picture: black frame, green field.
    const QImage picture = Find<QLabel>("statement")->pixmap().toImage();
    const int boxLeft = Find<QLabel>("statement")->width() / 2 - 150;
    const int boxTop = Find<QLabel>("statement")->height() - 160;
    EXPECT_EQ(QColor(picture.pixel(boxLeft, boxTop + 80)), QColor(Qt::black));
    EXPECT_EQ(QColor(picture.pixel(boxLeft + 150, boxTop + 80)), QColor(195, 220, 98));
    EXPECT_EQ(QColor(picture.pixel(boxLeft + 50, boxTop + 20)), QColor(Qt::black)); // the line

    // Resizing re-wraps the statement and keeps the diagram centred.
    window->resize(900, 500);
    QTest::qWait(20);
    EXPECT_EQ(Find<QLabel>("statement")->width(), Task()->width() - 20);
    EXPECT_EQ(Answer(0)->width(), Task()->width() - 115);
    EXPECT_TRUE(reports.empty());
}

TEST_F(TaskViewWindowTest, TheKeyboardAloneFillsTheAnswersAndEnterSendsThem) {
    ShowTask(kThreeAnswers);
    QTest::keyClicks(Focused(), "10");
    QTest::keyClick(Focused(), Qt::Key_Tab);
    ASSERT_EQ(Focused(), Answer(1));
    QTest::keyClicks(Focused(), "2*X");
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QTest::keyClicks(Focused(), "Y+1");
    QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Find<QPushButton>("sendButton"));
    QTest::keyClick(Focused(), Qt::Key_Backtab);
    ASSERT_EQ(Focused(), Answer(2));
    QTest::keyClick(Focused(), Qt::Key_Return);
    // Each answer goes as its line reads it, with the answers above put in, to the end of
    // the chain.
    const std::string frame = NextFrame();
    EXPECT_EQ(ReadTag(frame), "SETRESULTQUEST");
    EXPECT_EQ(ReadPayload(frame), " X @=10; Y @=2*(10); Z @=(2*(10))+1;");
    // Enter on the button sends too; in the address field it connects and sends nothing.
    Find<QPushButton>("sendButton")->setFocus();
    QTest::keyClick(Focused(), Qt::Key_Enter);
    EXPECT_EQ(ReadTag(NextFrame()), "SETRESULTQUEST");
    auto* address = Find<QLineEdit>("addressField");
    address->setFocus();
    ASSERT_EQ(Focused(), address);
    OnNextModal([](QDialog* dialog) { dialog->reject(); });
    QTest::keyClick(address, Qt::Key_Return);
    EXPECT_TRUE(server.waitForNewConnection(kWaitMs)); // connected again, as the button does
    EXPECT_EQ(NextFrame(200), "");
}

TEST_F(TaskViewWindowTest, AnUnbalancedAnswerOrALostConnectionSendsNothingAndSaysWhy) {
    ShowTask(kThreeAnswers);
    QTest::keyClicks(Answer(0), "1");
    QTest::keyClicks(Answer(1), "(2");
    const std::string typed = Answer(1)->Equation();
    ShownDialog shown;
    CloseNextDialog(shown);
    Find<QPushButton>("sendButton")->click();
    EXPECT_EQ(shown.caption, QString::fromUtf8("Ошибка"));
    EXPECT_TRUE(shown.text.startsWith(QString::fromUtf8("не хватает закрывающей скобки (знак ")))
        << shown.text.toStdString();
    EXPECT_EQ(shown.text, Task()->ReadingLine(1)->text());          // as the row's line says
    EXPECT_TRUE(shown.formula.ends_with(" Y @=")) << shown.formula; // the row to fix
    EXPECT_EQ(Answer(1)->Equation(), typed);
    EXPECT_EQ(NextFrame(200), "");

    peer->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Link().IsConnected(); }, kWaitMs));
    QTest::keyClicks(Answer(1), ")");
    const std::string balanced = Answer(1)->Equation();
    CloseNextDialog(shown);
    Find<QPushButton>("sendButton")->click();
    EXPECT_EQ(shown.text, QString::fromUtf8("Ответ не отправлен: нет соединения с сервером."));
    EXPECT_EQ(Answer(1)->Equation(), balanced);
}

TEST_F(TaskViewWindowTest, ANewTaskReusesRowsAndAClearedViewShowsNothing) {
    // Long labels widen the name column for every row: each shows its "=", and the answer
    // fields start after the widest.
    ShowTask(platform::Utf8ToCp1251("<QUEST>q</QUEST><REQUEST>M!max;R;F!трения!покоя;</REQUEST>"));
    const int column = Task()->NameField(0)->width();
    EXPECT_GT(column, 60);
    for (int row = 0; row < 3; ++row) {
        const FormulaField* name = Task()->NameField(row);
        EXPECT_EQ(name->Model().VisibleText(), name->Equation()) << row;
        EXPECT_EQ(name->width(), column);
        EXPECT_EQ(Answer(row)->x(), 15 + column);
    }
    EXPECT_GE(column, TaskView::AnswerLabelWidth(platform::Utf8ToCp1251("F!трения!покоя")));
    ShowTask(kThreeAnswers);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Task()->NameField(0)->Equation() == " X @="; }, kWaitMs));
    EXPECT_EQ(Task()->NameField(0)->width(), 60);
    EXPECT_EQ(Answer(0)->x(), 75);
    ShowTask("<QUEST>q</QUEST><IMAGE>HEIGHT(x);</IMAGE><REQUEST>a;</REQUEST><ANIMATE>s</ANIMATE>");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reports.empty(); }, kWaitMs));
    EXPECT_EQ(reports[0], "'x' is not a valid integer value");
    EXPECT_EQ(Task()->AnswerCount(), 1);
    EXPECT_TRUE(Task()->NameField(1)->isHidden());
    EXPECT_EQ(Task()->NameField(0)->Equation(), " a @=");
    EXPECT_TRUE(Find<QToolButton>("animationButton")->isVisible());

    Task()->Clear();
    EXPECT_EQ(Task()->AnswerCount(), 0);
    EXPECT_TRUE(Task()->NameField(0)->isHidden());
    EXPECT_FALSE(Task()->isVisible());
    EXPECT_FALSE(Find<QPushButton>("sendButton")->isVisible());

    // A task that asks for nothing keeps the button under its picture.
    const std::string noAnswers = Quest("<QUEST>q</QUEST>");
    peer->write(noAnswers.data(), static_cast<qint64>(noAnswers.size()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Task()->isVisible(); }, kWaitMs));
    EXPECT_EQ(Find<QPushButton>("sendButton")->y(),
              Find<QLabel>("statement")->geometry().bottom() + 1 + 20);
}

// ---- the mouse and the keyboard in the pane ----

namespace {

// A statement of many forced lines, so that the rows are below the visible part.
std::string LongTask() {
    std::string quest;
    for (int line = 0; line < 60; ++line)
        quest += "line |";
    return "<QUEST>" + quest +
           "end</QUEST><IMAGE>LINE(10,20,110,20);</IMAGE><REQUEST>X;Y;</REQUEST>";
}

void Wheel(QWidget* target, int angleDelta) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace

namespace {

const std::string kDeclaredNames = "<NAME>t2</NAME><QUEST>q</QUEST><IMAGE>LINE(1,1,9,9);</IMAGE>"
                                   "<REQUEST>V;W;</REQUEST><VARIABLES>v!C;m;R;</VARIABLES>";

// The colour the line's text is drawn in: red, grey, or none when nothing is drawn.
enum class Ink { None, Grey, Red };
Ink LineInk(QLabel* line) {
    const QImage drawn = line->grab().toImage();
    Ink ink = Ink::None;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor c = drawn.pixelColor(x, y);
            if (c.red() > c.green() + 60)
                return Ink::Red;
            if (c.red() < 200 && std::abs(c.red() - c.green()) < 8)
                ink = Ink::Grey;
        }
    return ink;
}

} // namespace

TEST_F(TaskViewWindowTest, AClickPutsTheCaretWhereItFallsAndKeepsTheKeyboardThere) {
    ShowTask(kThreeAnswers);
    QTest::keyClicks(Answer(1), "abc");
    const int textEnd = Answer(1)->Model().CaretPos();
    QTest::mouseClick(Answer(1), Qt::LeftButton, Qt::NoModifier, QPoint(2, 13));
    EXPECT_EQ(Focused(), Answer(1));
    EXPECT_LT(Answer(1)->Model().CaretPos(), textEnd);
    QTest::keyClicks(Focused(), "Z");
    EXPECT_EQ(Answer(1)->Equation().find('Z'), Answer(1)->Equation().find("abc") - 1)
        << Answer(1)->Equation();
    EXPECT_EQ(Answer(0)->Equation(), "  ");

    // A click into another row moves the keyboard there; a click on the statement, or on
    // a row's name that takes no input, gives it to the button.
    Task()->ensureWidgetVisible(Answer(2));
    QTest::mouseClick(Answer(2), Qt::LeftButton, Qt::NoModifier, QPoint(40, 13));
    EXPECT_EQ(Focused(), Answer(2));
    QTest::mouseClick(Find<QLabel>("statement"), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(Focused(), Find<QPushButton>("sendButton"));
    QTest::mouseClick(Answer(0), Qt::LeftButton, Qt::NoModifier, QPoint(40, 13));
    ASSERT_EQ(Focused(), Answer(0));
    QTest::mouseClick(Task()->NameField(0), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(Focused(), Find<QPushButton>("sendButton"));
}

TEST_F(TaskViewWindowTest, TabWalksTheRowsTheButtonAndTheMenuRoundBothWays) {
    ShowTask(kThreeAnswers);
    const std::vector<QWidget*> ring = {
        Answer(0),
        Answer(1),
        Answer(2),
        Find<QPushButton>("sendButton"),
        Find<QToolButton>("tasksButton"),
        Find<QToolButton>("calculatorButton"),
        Find<QToolButton>("helpButton")}; // "Анимация" is hidden: no animation
    for (std::size_t step = 1; step <= ring.size(); ++step) {
        QTest::keyClick(Focused(), Qt::Key_Tab);
        ASSERT_EQ(Focused(), ring[step % ring.size()]) << "Tab " << step;
    }
    for (std::size_t step = 1; step <= ring.size(); ++step) {
        QTest::keyClick(Focused(), Qt::Key_Backtab);
        ASSERT_EQ(Focused(), ring[(2 * ring.size() - step) % ring.size()]) << "Shift+Tab " << step;
    }
    QTest::keyClick(Focused(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), ring.back());

    // With an animation its button takes its place in the menu.
    ShowTask("<QUEST>q</QUEST><REQUEST>a;</REQUEST><ANIMATE>s</ANIMATE>");
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Find<QToolButton>("animationButton"));
}

TEST_F(TaskViewWindowTest, TheWheelScrollsThreeLinesAndThePageKeysAPage) {
    ShowTask(LongTask());
    QScrollBar* bar = Task()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), bar->pageStep()); // the rows are out of sight
    bar->setValue(0); // the view opens at the first row; the wheel is tried from the top
    QWidget* viewport = Task()->viewport();
    Wheel(viewport, -120);
    const int notch = bar->value();
    // Three lines of 10-point text, whatever the font: well over the old 3 pixels.
    EXPECT_GE(notch, 30);
    EXPECT_LE(notch, 75);
    Wheel(viewport, -40); // a fine-grained wheel: three small turns make one notch
    Wheel(viewport, -40);
    EXPECT_EQ(bar->value(), notch);
    Wheel(viewport, -40);
    EXPECT_EQ(bar->value(), 2 * notch);
    Wheel(viewport, 240);
    EXPECT_EQ(bar->value(), 0);

    // The page keys work from inside an answer field and leave its text and caret alone;
    // typing brings the field back into view.
    FormulaField* field = Answer(0);
    const std::string text = field->Equation();
    const int caret = field->Model().CaretPos();
    ASSERT_EQ(bar->value(), 0);
    QTest::keyClick(field, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), bar->pageStep());
    EXPECT_EQ(Focused(), field);
    EXPECT_EQ(field->Equation(), text);
    EXPECT_EQ(field->Model().CaretPos(), caret);
    QTest::keyClick(field, Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), 0);
    bar->setValue(0);
    QTest::keyClicks(field, "7");
    const QRect shown(QPoint(0, bar->value()), Task()->viewport()->size());
    EXPECT_TRUE(shown.contains(field->geometry())) << bar->value();
}

TEST_F(TaskViewWindowTest, EachRowShowsItsReadingAndOnlyAnUnreadableRowStopsSending) {
    ShowTask(kDeclaredNames);
    QLabel* first = Task()->ReadingLine(0);
    QLabel* second = Task()->ReadingLine(1);
    QTest::keyClicks(Focused(), "2v");
    EXPECT_EQ(first->text(), QString::fromUtf8("v: нет такого обозначения")); // v_C is
    EXPECT_EQ(LineInk(first), Ink::Red);
    QTest::keyClick(Focused(), Qt::Key_Down);
    QTest::keyClicks(Focused(), "C");
    EXPECT_EQ(first->text(), QString::fromUtf8("2·v_C"));
    EXPECT_EQ(LineInk(first), Ink::Grey);
    // Assistive technology hears the row's name and the answer as it is read; an answer
    // that is not read, as it is typed.
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(Answer(0));
    EXPECT_EQ(spoken->text(QAccessible::Name), "V");
    EXPECT_EQ(spoken->text(QAccessible::Value), QString::fromUtf8("2·v_C"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Answer(1))->text(QAccessible::Name), "W");
    QTest::keyClicks(Focused(), "+");
    EXPECT_EQ(spoken->text(QAccessible::Value), "2v_C+"); // the sign ended the subscript
    QTest::keyClick(Focused(), Qt::Key_Backspace);

    // The name of the row above is readable; a letter run that is not declared is red,
    // tells what was probably meant, and stops the sending: the message names the row and
    // the name.
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QTest::keyClicks(Focused(), "V*mR");
    EXPECT_EQ(second->text(), QString::fromUtf8("mR: нет такого обозначения; возможно, m*R?"));
    EXPECT_EQ(LineInk(second), Ink::Red);
    ShownDialog unknown;
    CloseNextDialog(unknown);
    Find<QPushButton>("sendButton")->click();
    EXPECT_EQ(unknown.text, second->text());
    EXPECT_TRUE(unknown.formula.ends_with(" W @=")) << unknown.formula;
    EXPECT_EQ(NextFrame(200), "");
    QTest::keyClick(Focused(), Qt::Key_Backspace);
    QTest::keyClicks(Focused(), "*R");
    EXPECT_EQ(second->text(), QString::fromUtf8("V·m·R"));
    Find<QPushButton>("sendButton")->click();
    EXPECT_EQ(ReadPayload(NextFrame()), " V @=2*v!C@; W @=(2*v!C@)*m*R;");

    // An answer that cannot be read stops the sending with the problem its line shows.
    QTest::keyClicks(Answer(1), "+");
    EXPECT_TRUE(second->text().startsWith(QString::fromUtf8("не хватает числа")))
        << second->text().toStdString();
    ShownDialog shown;
    CloseNextDialog(shown);
    Find<QPushButton>("sendButton")->click();
    EXPECT_EQ(shown.caption, QString::fromUtf8("Ошибка"));
    EXPECT_EQ(shown.text, second->text());
    EXPECT_TRUE(shown.formula.ends_with(" W @=")) << shown.formula;
    EXPECT_EQ(NextFrame(200), "");

    // A blank answer shows an empty line; a task without declared names leaves every name
    // to the server and shows no name as unknown.
    Answer(1)->SetEquation("  ");
    EXPECT_EQ(second->text(), "");
    ShowTask(kThreeAnswers);
    QTest::keyClicks(Focused(), "ab");
    EXPECT_EQ(first->text(), "ab");
    EXPECT_EQ(LineInk(first), Ink::Grey);
    EXPECT_TRUE(reports.empty());
}

// The moving point of the bank: rows v, a, a_τ, ρ on a task that declares no names. The ρ row
// is typed as a student types it, with the keys of the levels and of the Greek letters: its
// line shows the rows' names, and the server gets the answers above in their place.
TEST_F(TaskViewWindowTest, WhatTheLineShowsIsWhatIsSentAndTheFieldDrawsWhatIsRead) {
    ShowTask("<NAME>t3</NAME><QUEST>q</QUEST><REQUEST>v;a;a!~t;~r;</REQUEST>"
             "<VARIABLES></VARIABLES>");
    const auto keys = [this](std::initializer_list<std::variant<const char*, Qt::Key>> steps) {
        for (const auto& step : steps) {
            if (const auto* text = std::get_if<const char*>(&step))
                QTest::keyClicks(Focused(), *text);
            else
                QTest::keyClick(Focused(), std::get<Qt::Key>(step));
        }
    };
    keys({"2", Qt::Key_Tab, "3", Qt::Key_Tab, "1", Qt::Key_Tab});
    keys({"v", Qt::Key_Up, "2", Qt::Key_Down, "/sqrt(a", Qt::Key_Up, "2", Qt::Key_Down, "-a",
          Qt::Key_Down, Qt::Key_F3, "t", Qt::Key_Up, Qt::Key_Up, "2", Qt::Key_Down, ")"});
    EXPECT_EQ(Task()->ReadingLine(3)->text(), QString::fromUtf8("v^2/sqrt(a^2-a_τ^2)"));
    EXPECT_EQ(LineInk(Task()->ReadingLine(3)), Ink::Grey);
    Find<QPushButton>("sendButton")->click();
    EXPECT_EQ(ReadPayload(NextFrame()),
              " v @=2; a @=3; a!~t @=1; ~r @=(2)#2@/sqrt((3)#2@-(1)#2@);");

    // The names are declared, and there are none: a name of the statement that is not
    // declared is red and nothing goes.
    Answer(1)->SetEquation("3*q");
    EXPECT_EQ(Task()->ReadingLine(1)->text(), QString::fromUtf8("q: нет такого обозначения"));
    EXPECT_EQ(LineInk(Task()->ReadingLine(1)), Ink::Red);
    ShownDialog shown;
    CloseNextDialog(shown);
    Find<QPushButton>("sendButton")->click();
    EXPECT_EQ(shown.text, Task()->ReadingLine(1)->text());
    EXPECT_TRUE(shown.formula.ends_with(" a @=")) << shown.formula;
    EXPECT_EQ(NextFrame(200), "");

    // An operator typed in a subscript ends it, in the field as in the reading: the rest
    // is drawn on the baseline.
    ShowTask(kDeclaredNames);
    keys({"v", Qt::Key_Down, "C*2^0.5"});
    const std::string typed = Answer(0)->Equation();
    EXPECT_NE(typed.find("v!C@*2^0.5"), std::string::npos) << typed;
    EXPECT_EQ(eqedit::LevelAt(typed, Answer(0)->Model().CaretPos()), eqedit::stBaseline);
    EXPECT_EQ(Task()->ReadingLine(0)->text(), QString::fromUtf8("v_C·2^0.5"));
    EXPECT_TRUE(reports.empty());
}

// A task opens at the top of its statement with the first row taking the keyboard; once the
// window is resized, the focused row is brought whole into view.
TEST_F(TaskViewWindowTest, ATaskOpensAtItsTopAndAResizeShowsTheFocusedRow) {
    const auto inView = [this](QWidget* part) {
        const QWidget* viewport = Task()->viewport();
        const QRect place(part->mapTo(viewport, QPoint(0, 0)), part->size());
        return viewport->rect().contains(place);
    };
    ShowTask("<NAME>tall</NAME><QUEST>Find the reactions of the supports.</QUEST>"
             "<IMAGE>HEIGHT(700);WIDTH(300);LINE(10,20,110,20);</IMAGE><REQUEST>X;Y;</REQUEST>");
    EXPECT_EQ(Task()->verticalScrollBar()->value(), 0); // the statement's first lines
    EXPECT_FALSE(inView(Answer(0)));
    EXPECT_EQ(Focused(), Answer(0));
    window->resize(window->width() + 20, window->height() + 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return inView(Answer(0)); }, kWaitMs));
    EXPECT_GT(Task()->verticalScrollBar()->value(), 0);
    EXPECT_EQ(Focused(), Answer(0));
    ShowTask(kThreeAnswers);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Task()->AnswerCount() == 3; }, kWaitMs));
    EXPECT_LT(Task()->verticalScrollBar()->value(), 40); // the statement stays in view
    EXPECT_TRUE(inView(Answer(0)));
}

// The pane's arrangement on showing a task, or a change of the window's height alone,
// keeps the statement's picture; a new width wraps and draws it anew.
TEST_F(TaskViewWindowTest, TheStatementIsDrawnAgainOnlyWhenTheWidthChanges) {
    ShowTask(kThreeAnswers);
    auto* statement = Find<QLabel>("statement");
    const qint64 drawn = statement->pixmap().cacheKey();
    Task()->Arrange();
    window->resize(window->width(), window->height() + 40);
    QCoreApplication::processEvents();
    EXPECT_EQ(statement->pixmap().cacheKey(), drawn);
    window->resize(window->width() + 60, window->height());
    QCoreApplication::processEvents();
    EXPECT_NE(statement->pixmap().cacheKey(), drawn);
    EXPECT_EQ(statement->width(), Task()->width() - 20);
}

// A row with a unit: the unit stands after the field, which gives it room; a bare number
// reads in it with its SI value, and is sent bare.
TEST_F(TaskViewWindowTest, ARowWithAUnitShowsItAfterTheFieldAndReadsAQuantity) {
    ShowTask(platform::Utf8ToCp1251("<NAME>u</NAME><QUEST>q</QUEST><REQUEST>X;Y;</REQUEST>"
                                    "<VARIABLES></VARIABLES><UNITS>кН;;</UNITS>"));
    QLabel* unit = Find<QLabel>("unitLabel0");
    EXPECT_TRUE(unit->isVisible());
    EXPECT_EQ(unit->text(), QString::fromUtf8("кН"));
    EXPECT_FALSE(Find<QLabel>("unitLabel1")->isVisible());
    EXPECT_LT(Answer(0)->width(), Answer(1)->width());
    EXPECT_LE(Answer(0)->geometry().right(), unit->geometry().left());
    QTest::keyClicks(Focused(), "-5");
    EXPECT_EQ(Task()->ReadingLine(0)->text(), QString::fromUtf8("-5 кН = -5000 Н"));
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QTest::keyClicks(Focused(), "1");
    Find<QPushButton>("sendButton")->click();
    EXPECT_EQ(ReadPayload(NextFrame()), " X @=-5; Y @=1;");
}
