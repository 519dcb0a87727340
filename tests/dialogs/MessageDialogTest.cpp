// The message dialog: its self-sizing arithmetic, the optional formula and closing by
// Enter. ShowDialog is modal, so each test looks at the dialog from inside its own event
// loop and closes it with the Enter key.

#include "dialogs/MessageDialog.h"
#include "eqedit/FormulaField.h"
#include "platform/ErrorReport.h"
#include "platform/QtCanvas.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Layout {
    bool shown = false;
    int labelLeft = 0, labelWidth = 0, labelHeight = 0;
    bool formulaVisible = false;
    int formulaTop = 0, formulaHeight = 0, formulaLeft = 0;
    std::string formula;
    int buttonTop = 0, buttonLeft = 0;
    QRect window;
    QString caption;
};

class MessageDialogTest : public ::testing::Test {
protected:
    // Shows a message, records the layout while the dialog is up and presses Enter.
    Layout Show(const std::string& caption, const std::string& text, const std::string& formula) {
        Layout seen;
        QTimer::singleShot(0, &form, [&] {
            seen.shown = form.isVisible();
            seen.labelLeft = form.messageLabel->x();
            seen.labelWidth = form.messageLabel->width();
            seen.labelHeight = form.messageLabel->height();
            seen.formulaVisible = form.formulaField->isVisible();
            seen.formulaTop = form.formulaField->y();
            seen.formulaHeight = form.formulaField->height();
            seen.formulaLeft = form.formulaField->x();
            seen.formula = form.formulaField->Equation();
            seen.buttonTop = form.okButton->y();
            seen.buttonLeft = form.okButton->x();
            seen.window = form.frameGeometry();
            seen.caption = form.windowTitle();
            QWidget* target = form.focusWidget() ? form.focusWidget() : &form;
            QTest::keyClick(target, Qt::Key_Return);
        });
        // Should Enter fail to close it, the test must still end.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &form, &QDialog::reject);
        guard.start(5000);
        form.ShowDialog(caption, text, formula);
        return seen;
    }

    static int CaptionWidth(const std::string& caption) {
        QImage scratch(1, 1, QImage::Format_RGB32);
        platform::QtCanvas canvas(&scratch);
        platform::Font font;
        font.size = 12;
        canvas.SetFont(font);
        return canvas.TextWidth(caption);
    }

    MessageDialog form;
};

} // namespace

TEST_F(MessageDialogTest, ComponentsAsCreated) {
    EXPECT_EQ(form.objectName(), "messageDialog");
    EXPECT_EQ(form.findChild<QLabel*>("messageLabel"), form.messageLabel);
    EXPECT_EQ(form.findChild<FormulaField*>("formulaField"), form.formulaField);
    EXPECT_EQ(form.findChild<QPushButton*>("okButton"), form.okButton);
    EXPECT_FALSE(form.formulaField->isEnabled());
    EXPECT_EQ(form.formulaField->geometry(), QRect(88, 48, 97, 25));
    EXPECT_EQ(form.formulaField->Font().size, 12);
    EXPECT_TRUE(form.okButton->isDefault());
    EXPECT_EQ(form.okButton->text(), "OK");
    EXPECT_EQ(form.okButton->size(), QSize(75, 25));
}

TEST_F(MessageDialogTest, SizesFollowTheLabelsOwnHeight) {
    const Layout plain = Show(platform::Cp("Сообщение:"), platform::Cp("Задание принято"), "");
    ASSERT_TRUE(plain.shown);
    EXPECT_EQ(plain.caption, QString::fromUtf8("Сообщение:"));
    const int lh = plain.labelHeight;
    EXPECT_FALSE(plain.formulaVisible);
    EXPECT_EQ(plain.buttonTop, 24 + lh + 10);
    EXPECT_EQ(plain.window.height(), plain.buttonTop + 65);
    // A text narrower than the caption: the box holds the caption and the title bar's
    // buttons, so the title is never cut ("Соо…ие:"), and the text is centred.
    ASSERT_LT(30 + plain.labelWidth,
              CaptionWidth(platform::Cp("Сообщение:")) + MessageDialog::kTitleBarButtonsWidth);
    EXPECT_EQ(plain.window.width(),
              CaptionWidth(platform::Cp("Сообщение:")) + MessageDialog::kTitleBarButtonsWidth);
    EXPECT_EQ(plain.labelLeft, plain.window.width() / 2 - plain.labelWidth / 2);
    const Layout wide = Show(platform::Cp("Сообщение:"),
                             platform::Cp("Задание принято, ответы записаны на сервере"), "");
    EXPECT_EQ(wide.window.width(), 30 + wide.labelWidth);
    EXPECT_EQ(wide.labelLeft, 15);
    EXPECT_EQ(plain.buttonLeft, plain.window.width() / 2 - 37);

    const Layout withFormula = Show(platform::Cp("Ошибка"), platform::Cp("Задание принято"), "x#2");
    EXPECT_TRUE(withFormula.formulaVisible);
    EXPECT_EQ(withFormula.formula, "    x#2");
    EXPECT_EQ(withFormula.formulaHeight, 25);
    EXPECT_EQ(withFormula.formulaTop, static_cast<int>(24 + 1.5 * lh));
    EXPECT_EQ(withFormula.buttonTop, withFormula.formulaTop + 25 + 10);
    EXPECT_EQ(withFormula.window.height(), withFormula.buttonTop + 65);
    EXPECT_EQ(withFormula.formulaLeft, withFormula.window.width() / 2 - 48);

    // The next message without a formula hides it again and lays out afresh.
    const Layout again = Show(platform::Cp("Сообщение:"), platform::Cp("Задание принято"), "");
    EXPECT_FALSE(again.formulaVisible);
    EXPECT_EQ(again.formulaHeight, 0);
    EXPECT_EQ(again.buttonTop, plain.buttonTop);
    EXPECT_EQ(again.window.size(), plain.window.size());
}

TEST_F(MessageDialogTest, WideCaptionWidensTheWindowAndCentresTheText) {
    const std::string caption =
        platform::Cp("Очень длинный заголовок сообщения сервера для проверки ширины");
    const Layout seen = Show(caption, "ok", "");
    const int cw = CaptionWidth(caption);
    ASSERT_LT(30 + seen.labelWidth, cw);
    EXPECT_EQ(seen.window.width(), static_cast<int>(cw * 1.2));
    EXPECT_EQ(seen.labelLeft, seen.window.width() / 2 - seen.labelWidth / 2);
}

TEST_F(MessageDialogTest, LinesOfTheTextMakeTheDialogTaller) {
    const Layout one = Show("A", "first line", "");
    const Layout two = Show("A", "first line\r\nsecond line", "");
    EXPECT_GE(two.labelHeight, 2 * one.labelHeight - 2);
    EXPECT_EQ(two.window.height() - one.window.height(), two.labelHeight - one.labelHeight);
    EXPECT_EQ(form.messageLabel->text(), "first line\nsecond line");
}

TEST_F(MessageDialogTest, ServerTextIsShownAsPlainText) {
    Show("A", "<b>bold?</b>", "");
    EXPECT_EQ(form.messageLabel->textFormat(), Qt::PlainText);
    EXPECT_EQ(form.messageLabel->text(), "<b>bold?</b>");
}

TEST_F(MessageDialogTest, EnterClosesWithOkAndTheWindowIsCentred) {
    const Layout seen = Show("A", "text", "");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(seen.window.x(), screen.width() / 2 - seen.window.width() / 2);
    EXPECT_EQ(seen.window.y(), screen.height() / 2 - seen.window.height() / 2);
}

TEST_F(MessageDialogTest, MessagesWhileOneIsUpWaitMergedAndAreShownOneAtATime) {
    std::vector<QString> shown;
    int mostBoxesAtOnce = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        int boxes = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            boxes += qobject_cast<MessageDialog*>(widget) && widget->isVisible() ? 1 : 0;
        mostBoxesAtOnce = std::max(mostBoxesAtOnce, boxes);
        if (!form.isVisible())
            return;
        shown.push_back(form.messageLabel->text());
        if (shown.size() == 1) {
            for (int i = 0; i < 100; ++i) // each call returns at once
                form.ShowDialog(platform::Cp("Ошибка"), "junk", "");
            for (int i = 0; i < 7; ++i)
                form.ShowDialog(platform::Cp("Ошибка"), "other " + std::to_string(i), "");
            EXPECT_EQ(form.WaitingMessages(), ReportQueue::kMaxPending);
        }
        form.accept();
    });
    closer.start(10);
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        while (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(10000);
    form.ShowDialog(platform::Cp("Сообщение:"), "first", "");
    ASSERT_EQ(shown.size(), 1 + ReportQueue::kMaxPending);
    EXPECT_EQ(mostBoxesAtOnce, 1);
    EXPECT_EQ(shown[0], "first");
    EXPECT_EQ(shown[1], QString::fromUtf8("junk\n(всего таких сообщений: 100)"));
    EXPECT_EQ(shown[2], "other 0");
    EXPECT_EQ(shown[5], QString::fromUtf8("other 3\n(не показано других сообщений: 3)"));
    EXPECT_EQ(form.WaitingMessages(), 0u);
}

TEST_F(MessageDialogTest, UncaughtErrorsAreShownUnderTheErrorCaption) {
    InstallDialogErrorReport(&form);
    QString caption, text;
    QTimer::singleShot(0, &form, [&] {
        caption = form.windowTitle();
        text = form.messageLabel->text();
        form.accept();
    });
    platform::ReportError(platform::Cp("'12a' is not a valid integer value"));
    platform::ReportError(""); // an empty message is not shown
    platform::SetErrorReportHandler({});
    EXPECT_EQ(caption, QString::fromUtf8("Ошибка"));
    EXPECT_EQ(text, "'12a' is not a valid integer value");
}
