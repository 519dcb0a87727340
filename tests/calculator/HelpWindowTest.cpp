// The help window: its pages and example formulas, examples that only show, and the
// ways of closing it.

#include "calculator/HelpWindow.h"
#include "eqedit/FormulaField.h"
#include "eqedit/Notation.h"
#include "platform/SymbolFont.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
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
    ASSERT_EQ(help.pageTabs->count(), 3);
    EXPECT_EQ(help.pageTabs->tabText(0), QString::fromUtf8("Набор Греческих букв"));
    EXPECT_EQ(help.pageTabs->tabText(1), QString::fromUtf8("Набор выражения, формулы"));
    EXPECT_EQ(help.pageTabs->tabText(2), QString::fromUtf8("Особенности набора формул"));
    EXPECT_EQ(help.pageTabs->currentIndex(), 0);
    EXPECT_EQ(help.windowTitle(), QString::fromUtf8("Помощь"));

    // Greek letters are shown as such; the keys beside them are Latin.
    EXPECT_EQ(Label("greekLetter_w")->text(), QString::fromUtf8("ω"));
    EXPECT_EQ(Label("greekLetter_f")->text(), QString::fromUtf8("φ"));
    EXPECT_EQ(Label("greekKey_f")->text(), "--   f");
    EXPECT_EQ(
        Label("letterCaseWarning")->text(),
        QString::fromUtf8("а \"a\" строчная. Будьте внимательны, программа различает регистр."));
    EXPECT_TRUE(Label("logarithmText")->text().contains(QString::fromUtf8("десятичный")));
    EXPECT_TRUE(Label("angleUnitsText")->text().contains(QString::fromUtf8("в радианах")));

    const std::pair<const char*, const char*> examples[] = {
        {"letterCaseExample", " W!Ra"},
        {"functionArgumentsExample", " y = cos(x#2@) + tan(z!1@)"},
        {"functionPowerExample", "     (   cos(X)  )#2@"},
        {"variablePowerExample", "  R!A#2"},
        {"compoundPowerExample", "  4#(-2)@ + 5#(4-67)@"},
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
    const QLabel* sentence = Label("greekPrefixText");
    const QLabel* key = Label("greekPrefixKeyCap");
    EXPECT_EQ(key->text(), "F3");
    EXPECT_TRUE(sentence->geometry().contains(key->geometry()));
    EXPECT_GT(key->x(), sentence->x());
    // It stands on one line of the sentence and covers nothing of the next ("регистре.").
    const int lineHeight = QFontMetrics(sentence->font()).lineSpacing();
    EXPECT_EQ((key->y() - sentence->y()) / lineHeight,
              (key->geometry().bottom() - sentence->y()) / lineHeight);
}

// The list is the editor's: every key that gives a Greek letter after F3 is listed once,
// beside the letter the editor draws for it.
TEST_F(HelpWindowTest, EveryGreekLetterOfTheEditorIsListedOnceWithItsKey) {
    const QList<QLabel*> letters = help.findChildren<QLabel*>(QRegularExpression("^greekLetter_"));
    EXPECT_EQ(static_cast<std::size_t>(letters.size()), eqedit::GreekKeys().size());
    for (char key = ' '; key <= '~'; ++key) {
        eqedit::FragmentWalk walk(eqedit::stBaseline);
        walk.Next(eqedit::kGreekPrefix);
        const eqedit::WalkStep step = walk.Next(key); // markers draw nothing
        const std::string drawn = platform::SymbolTextToUtf8(step.glyph);
        const QString name = QString("greekLetter_") + QLatin1Char(key);
        const QList<QLabel*> found = help.findChildren<QLabel*>(name);
        const bool greek =
            step.drawn && QString::fromStdString(drawn).front().script() == QChar::Script_Greek;
        ASSERT_EQ(found.size(), greek ? 1 : 0) << key << " " << drawn;
        if (!greek)
            continue;
        EXPECT_EQ(found[0]->text().toStdString(), drawn) << key;
        const auto* keyLabel = help.findChild<QLabel*>(QString("greekKey_") + QLatin1Char(key));
        ASSERT_NE(keyLabel, nullptr) << key;
        EXPECT_EQ(keyLabel->text(), QString("--   ") + QLatin1Char(key));
    }
    // The letters the tasks use, which the old list left out.
    for (const char* letter : {"α", "β", "τ", "Ω"})
        EXPECT_TRUE(std::any_of(letters.begin(), letters.end(), [&](const QLabel* label) {
            return label->text() == QString::fromUtf8(letter);
        })) << letter;
}

// "F3" is dark on a light face: some of its pixels are dark, most are light.
TEST_F(HelpWindowTest, TheGreekKeyCanBeRead) {
    help.show();
    const QImage key = Label("greekPrefixKeyCap")->grab().toImage();
    int dark = 0;
    int light = 0;
    for (int y = 0; y < key.height(); ++y)
        for (int x = 0; x < key.width(); ++x) {
            const int lightness = QColor(key.pixel(x, y)).lightness();
            dark += lightness < 90 ? 1 : 0;
            light += lightness > 200 ? 1 : 0;
        }
    EXPECT_GT(dark, 0);
    EXPECT_GT(light, key.width() * key.height() / 2);
}

TEST_F(HelpWindowTest, TheTextsAreSpeltRight) {
    for (const QLabel* label : help.findChildren<QLabel*>())
        EXPECT_FALSE(label->text().contains(QString::fromUtf8("прежднее")))
            << label->objectName().toStdString();
    EXPECT_TRUE(
        Label("upPositionText")->text().contains(QString::fromUtf8("Возврат в прежнее положение")));
    EXPECT_TRUE(Label("downPositionText")
                    ->text()
                    .contains(QString::fromUtf8("Возврат в прежнее положение")));
}

TEST_F(HelpWindowTest, ExamplesCannotBeEdited) {
    const bool closed = ShowAndRun([&] {
        help.pageTabs->setCurrentIndex(1);
        FormulaField* example = Example("functionArgumentsExample");
        QTest::mouseClick(example, Qt::LeftButton);
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClicks(focused ? focused : &help, "zz");
        EXPECT_FALSE(example->hasFocus());
        EXPECT_EQ(example->Equation(), " y = cos(x#2@) + tan(z!1@)");
        help.okButton->click();
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(help.result(), QDialog::Accepted);
}

TEST_F(HelpWindowTest, EnterAndTheCloseBoxCloseIt) {
    EXPECT_TRUE(help.okButton->isDefault());
    EXPECT_TRUE(ShowAndRun([&] {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &help;
        QTest::keyClick(target, Qt::Key_Return);
    }));
    EXPECT_EQ(help.result(), QDialog::Accepted);
    EXPECT_TRUE(ShowAndRun([&] { help.close(); }));
    EXPECT_FALSE(help.isVisible());
}

} // namespace
