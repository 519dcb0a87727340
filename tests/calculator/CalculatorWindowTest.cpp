// The calculator driven as a student drives it: buttons clicked and keys typed into its
// formula editor, values replacing the formula, errors in the message dialog.

#include "calculator/CalculatorWindow.h"
#include "dialogs/MessageDialog.h"
#include "eqedit/FormulaField.h"
#include "platform/Convert.h"
#include "platform/ErrorReport.h"
#include "platform/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// What the message dialog showed.
struct Message {
    int count = 0;
    QString caption;
    QString text;
    std::string formula; // "" when none was shown
};

class CalculatorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetDecimalChar('.');
        form.show();
    }

    void Click(const char* name) {
        auto* button = form.findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = {}) {
        QTest::sendKeyEvent(QTest::Click, form.formulaField, key, text, modifiers);
    }
    std::string Formula() const { return form.formulaField->Equation(); }
    int Caret() const { return form.formulaField->Model().CaretPos(); }

    // Lets posted keys and the short wait before a value run out.
    void Settle() {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    // Runs `act`, reading and closing every message dialog it brings up.
    Message Watch(const std::function<void()>& act) {
        Message seen;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!dialog.isVisible())
                return;
            ++seen.count;
            seen.caption = dialog.windowTitle();
            seen.text = dialog.messageLabel->text();
            seen.formula = dialog.formulaField->isVisible() ? dialog.formulaField->Equation() : "";
            dialog.accept();
        });
        poll.start(5);
        act();
        Settle();
        return seen;
    }

    MessageDialog dialog;
    CalculatorWindow form{&dialog};
};

TEST_F(CalculatorWindowTest, ButtonsBuildTheFormulaAndEqualsReplacesItByItsValue) {
    for (const char* name : {"digit2Button", "plusButton", "digit3Button"})
        Click(name);
    Settle();
    EXPECT_EQ(Formula(), "2+3");
    EXPECT_EQ(Caret(), 3); // each button leaves the caret at the end
    EXPECT_TRUE(form.formulaField->hasFocus());
    Click("equalsButton");
    Settle();
    EXPECT_EQ(Formula(), "5");
    EXPECT_EQ(form.lastResultText, "5");
    EXPECT_EQ(Caret(), 0);

    Click("clearButton");
    for (const char* name : {"cosButton", "digit0Button", "closeBracketButton", "equalsButton"})
        Click(name);
    Settle();
    EXPECT_EQ(Formula(), "1"); // cos(0)
    // The functions take radians, and their buttons say so; "°" after a number is degrees.
    for (const char* name : {"cosButton", "sinButton", "tanButton"})
        EXPECT_TRUE(
            form.findChild<QPushButton*>(name)->toolTip().contains(QString::fromUtf8("в радианах")))
            << name;
    Click("clearButton");
    Click("sinButton");
    Settle();
    QTest::keyClicks(form.formulaField, QString::fromUtf8("30°)"));
    EXPECT_EQ(Formula(), "sin(30\xB0)");
    Click("equalsButton");
    Settle();
    EXPECT_EQ(Formula(), "0.5");

    Click("clearButton");
    Click("piButton");
    Settle();
    EXPECT_EQ(Formula(), "~p");
    Click("backButton"); // Back takes one byte, even of a Greek letter
    Settle();
    EXPECT_EQ(Formula(), "~");
    Click("piButton");
    Click("backButton");
    Click("backButton");
    Settle();
    EXPECT_EQ(Formula(), "~");
    Click("clearButton");
    Click("piButton");
    Click("equalsButton");
    Settle();
    EXPECT_EQ(Formula(), "3.14159265358979");

    // "=" reads back what it printed, in exponent form too.
    form.formulaField->SetEquation("1/3000000");
    Click("equalsButton");
    Settle();
    EXPECT_EQ(Formula(), "3.33333333333333E-7");
    Click("equalsButton");
    Settle();
    EXPECT_EQ(Formula(), "3.33333333333333E-7");
}

TEST_F(CalculatorWindowTest, EngineErrorsAreShownAndTheFormulaStays) {
    struct Case {
        const char* formula;
        const char* message;
        const char* shownFormula;
    };
    const Case cases[] = {
        {"1/0", "Ошибка: Деление на нуль", ""},
        {"x+1", "Ошибка: нет такой переменной:", "    x"},
        {"(1+2", "Ошибка: нехватает закрывающей скобки", ""},
        // Raised while the formula is read: shown the same way, with its own message.
        {"2*/3", "Ошибка: пустой операнд в формуле", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        form.formulaField->SetEquation("");
        QTest::keyClicks(form.formulaField, c.formula);
        const Message seen = Watch([&] { Key(Qt::Key_Return); });
        EXPECT_EQ(seen.count, 1);
        EXPECT_EQ(seen.caption, QString::fromUtf8("Ошибка"));
        EXPECT_EQ(seen.text, QString::fromUtf8(c.message));
        EXPECT_EQ(seen.formula, c.shownFormula);
        EXPECT_EQ(Formula(), c.formula);
    }
}

TEST_F(CalculatorWindowTest, KeysOfTheEditor) {
    QTest::keyClicks(form.formulaField, "6*7");
    Key(Qt::Key_Return);
    Settle();
    EXPECT_EQ(Formula(), "42");

    // Ctrl+C then Ctrl+V doubles the formula (the keys carry their control characters).
    Key(Qt::Key_C, Qt::ControlModifier, QString(QChar(3)));
    EXPECT_EQ(QApplication::clipboard()->text(), "42");
    Key(Qt::Key_V, Qt::ControlModifier, QString(QChar(0x16)));
    Settle();
    EXPECT_EQ(Formula(), "4242");
    EXPECT_EQ(Caret(), 4);

    Key(Qt::Key_Escape);
    Settle();
    EXPECT_EQ(Formula(), "");

    // A sign typed or clicked in a subscript goes on the baseline, where it is read.
    QTest::keyClicks(form.formulaField, "4");
    Key(Qt::Key_Down);
    QTest::keyClicks(form.formulaField, "1");
    Click("plusButton");
    Settle();
    EXPECT_EQ(Formula(), "4!1@+");
    Key(Qt::Key_Down);
    QTest::keyClicks(form.formulaField, "2*3");
    EXPECT_EQ(Formula(), "4!1@+!2@*3");
}

TEST_F(CalculatorWindowTest, ToolButtonsUseTheClipboard) {
    QApplication::clipboard()->setText(QString::fromUtf8("ы+1"));
    Click("pasteButton");
    Click("pasteButton");
    Settle();
    EXPECT_EQ(Formula(), platform::ToCp1251(QString::fromUtf8("ы+1ы+1")));
    form.formulaField->SetEquation("2*x");
    Click("copyButton");
    EXPECT_EQ(QApplication::clipboard()->text(), "2*x");
}

TEST_F(CalculatorWindowTest, AKeyDuringTheShortBlankActsOnTheValue) {
    QTest::keyClicks(form.formulaField, "2+2");
    Key(Qt::Key_Return);
    Click("multiplyButton"); // before the value has appeared
    Settle();
    EXPECT_EQ(Formula(), "4*");
}

} // namespace
