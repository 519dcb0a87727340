// The help window: its pages and example formulas, examples that only show, and the
// ways of closing it.

#include "calculator/HelpWindow.h"
#include "eqedit/FormulaField.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class HelpWindowTest : public ::testing::Test {
protected:
    QLabel* Label(const char* name) { return help.findChild<QLabel*>(name); }
    FormulaField* Example(const char* name) { return help.findChild<FormulaField*>(name); }

    // Shows the window modally, runs `inside` while it is up and tells whether the
    // modal show returned (the guard closes it after five seconds otherwise).
    bool ShowAndRun(const std::function<void()>& inside) {
        bool closedInTime = true;
        QTimer::singleShot(0, &help, inside);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            closedInTime = false;
            help.reject();
        });
        guard.start(5000);
        help.exec();
        return closedInTime;
    }

    HelpWindow help;
};

TEST_F(HelpWindowTest, PagesAndExamples) {
    ASSERT_EQ(help.PageControl1->count(), 3);
    EXPECT_EQ(help.PageControl1->tabText(0), QString::fromUtf8("Набор Греческих букв"));
    EXPECT_EQ(help.PageControl1->tabText(1), QString::fromUtf8("Набор выражения, формулы"));
    EXPECT_EQ(help.PageControl1->tabText(2), QString::fromUtf8("Особенности набора формул"));
    EXPECT_EQ(help.PageControl1->currentIndex(), 0);
    EXPECT_EQ(help.windowTitle(), QString::fromUtf8("Помощь"));

    // Greek letters are shown as such; the keys beside them are Latin.
    EXPECT_EQ(Label("Label3")->text(), QString::fromUtf8("ω"));
    EXPECT_EQ(Label("Label6")->text(), QString::fromUtf8("φ"));
    EXPECT_EQ(Label("Label10")->text(), "--   f");
    EXPECT_EQ(
        Label("Label20")->text(),
        QString::fromUtf8("а \"a\" строчная. Будьте внимательны, программа различает регистр."));

    const std::pair<const char*, const char*> examples[] = {
        {"EqEdit1", " W!Ra"},
        {"EqEdit2", " y = cos(x#2@) + tan(z!1@)"},
        {"EqEdit3", "     (   cos(X)  )#2@"},
        {"EqEdit4", "  R!A#2"},
        {"EqEdit5", "  4#(-2)@ + 5#(4-67)@"},
    };
    for (const auto& [name, formula] : examples) {
        SCOPED_TRACE(name);
        FormulaField* example = Example(name);
        ASSERT_NE(example, nullptr);
        EXPECT_EQ(example->Equation(), formula);
        EXPECT_FALSE(example->isEnabled());
    }
}

TEST_F(HelpWindowTest, TheGreekKeyStandsInTheGapOfItsSentence) {
    const QLabel* sentence = Label("Label1");
    const QLabel* key = Label("Label15");
    EXPECT_EQ(key->text(), "F3");
    EXPECT_TRUE(sentence->geometry().contains(key->geometry()));
    EXPECT_GT(key->x(), sentence->x());
}

TEST_F(HelpWindowTest, ExamplesCannotBeEdited) {
    const bool closed = ShowAndRun([&] {
        help.PageControl1->setCurrentIndex(1);
        FormulaField* example = Example("EqEdit2");
        QTest::mouseClick(example, Qt::LeftButton);
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClicks(focused ? focused : &help, "zz");
        EXPECT_FALSE(example->hasFocus());
        EXPECT_EQ(example->Equation(), " y = cos(x#2@) + tan(z!1@)");
        help.BitBtn1->click();
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(help.result(), QDialog::Accepted);
}

TEST_F(HelpWindowTest, EnterAndTheCloseBoxCloseIt) {
    EXPECT_TRUE(help.BitBtn1->isDefault());
    EXPECT_TRUE(ShowAndRun([&] {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &help;
        QTest::keyClick(target, Qt::Key_Return);
    }));
    EXPECT_EQ(help.result(), QDialog::Accepted);
    EXPECT_TRUE(ShowAndRun([&] { help.close(); }));
    EXPECT_FALSE(help.isVisible());
}

} // namespace
