// The formula editor widget under the offscreen platform, driven by Qt key and mouse
// events as a user would drive it.

#include "eqedit/FormulaField.h"
#include "platform/Beep.h"
#include "platform/QtCanvas.h"
#include "platform/QtText.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

class FormulaFieldTest : public ::testing::Test {
protected:
    FormulaFieldTest() {
        window.resize(400, 100);
        edit = new FormulaField(&window);
        edit->setObjectName("formulaField");
        edit->move(10, 10);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        platform::SetBeepHandler([this] { ++beeps; });
    }
    ~FormulaFieldTest() override { platform::SetBeepHandler(nullptr); }

    void Key(Qt::Key key) { QTest::keyClick(edit, key); }
    void Type(const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
    QImage Picture() { return edit->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget window;
    FormulaField* edit = nullptr;
    int beeps = 0;
};

// The box around the dark pixels of columns [left, right) of an image, inside a 1-pixel
// bevel.
struct Ink {
    int top = 1 << 20, bottom = -1, left = 1 << 20, right = -1;
    bool Empty() const { return bottom < 0; }
    int Height() const { return bottom - top + 1; }
};

Ink InkIn(const QImage& image, int left, int right) {
    Ink ink;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = std::max(left, 1); x < std::min(right, image.width() - 1); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
    return ink;
}

} // namespace

TEST_F(FormulaFieldTest, DefaultsAndNames) {
    FormulaField fresh;
    EXPECT_EQ(fresh.width(), 300);
    EXPECT_EQ(fresh.height(), 27);
    EXPECT_EQ(fresh.Equation(), "");
    EXPECT_EQ(fresh.CaretWidth(), 2);
    EXPECT_EQ(fresh.Font().size, 14);
    EXPECT_EQ(fresh.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(window.findChild<FormulaField*>("formulaField"), edit);
}

TEST_F(FormulaFieldTest, KeySequencesReachTheFormula) {
    ASSERT_TRUE(edit->HasFocus());
    Type("a");
    Key(Qt::Key_Up);
    Type("2");
    Key(Qt::Key_Down);
    Type("b");
    EXPECT_EQ(edit->Equation(), "a#2@b");

    edit->SetEquation("");
    Key(Qt::Key_F3);
    Type("w");
    EXPECT_EQ(edit->Equation(), "~w");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(edit->Equation(), "");

    Type("xyz");
    Key(Qt::Key_Home);
    Key(Qt::Key_Delete);
    EXPECT_EQ(edit->Equation(), "yz");
    Key(Qt::Key_End);
    Key(Qt::Key_Left);
    Type("-");
    EXPECT_EQ(edit->Equation(), "y-z");
    Key(Qt::Key_End);
    EXPECT_EQ(beeps, 0);
    Key(Qt::Key_End);
    Key(Qt::Key_Right);
    EXPECT_EQ(beeps, 2);
}

TEST_F(FormulaFieldTest, CyrillicLettersAreTypedAsCodePageBytes) {
    Type(QString::fromUtf8("дЖ"));
    EXPECT_EQ(edit->Equation(), "\xE4\xC6");
    // A character the code page does not hold is not typed at all.
    Type(QString::fromUtf8("\u4E2D"));
    EXPECT_EQ(edit->Equation(), "\xE4\xC6");
}

TEST_F(FormulaFieldTest, EventsSeeVirtualKeysAndTypedBytes) {
    std::string keys;
    std::string chars;
    edit->OnKeyDown = [&](FormulaField* sender, int& key, Qt::KeyboardModifiers) {
        EXPECT_EQ(sender, edit);
        keys += std::to_string(key) + " ";
    };
    edit->OnKeyPress = [&](FormulaField*, char& key) { chars += key; };
    Key(Qt::Key_Backspace);
    Key(Qt::Key_End);
    Key(Qt::Key_Home);
    Key(Qt::Key_Left);
    Key(Qt::Key_Up);
    Key(Qt::Key_Right);
    Key(Qt::Key_Down);
    Key(Qt::Key_Delete);
    Key(Qt::Key_F3);
    QGuiApplication::clipboard()->setText("v"); // Ctrl+V pastes it, a Greek letter
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(keys, "8 35 36 37 38 39 40 46 114 17 86 "); // Ctrl goes down first
    // Up and Down insert their markers through the key press; the typed marker does not
    // reach the event.
    chars.clear();
    edit->SetEquation("");
    Type("#q");
    EXPECT_EQ(chars, "q");
    EXPECT_EQ(edit->Equation(), "q");

    // A handler may change the key before the editor acts on it.
    edit->OnKeyDown = [](FormulaField*, int& key, Qt::KeyboardModifiers) {
        if (key == 27)
            key = 36; // Escape as Home
    };
    Key(Qt::Key_Escape);
    EXPECT_EQ(edit->Model().CaretPos(), 0);
}

TEST_F(FormulaFieldTest, EnterIsLeftToTheDialogsDefaultButton) {
    QDialog dialog;
    auto* inner = new FormulaField(&dialog);
    auto* button = new QPushButton("OK", &dialog);
    button->move(0, 40);
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    inner->setFocus();
    QTest::keyClick(inner, Qt::Key_A);
    QTest::keyClick(inner, Qt::Key_Return);
    EXPECT_EQ(inner->Equation(), "a");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FormulaFieldTest, TabMovesTheFocusOn) {
    auto* next = new FormulaField(&window);
    next->move(10, 50);
    next->show();
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_TRUE(next->HasFocus());
    EXPECT_FALSE(edit->HasFocus());
    EXPECT_EQ(edit->Equation(), "");
    EXPECT_EQ(next->Equation(), "");
}

TEST_F(FormulaFieldTest, ClickTakesFocusAndPlacesTheCaret) {
    edit->SetEquation("abcdef");
    edit->clearFocus();
    ASSERT_FALSE(edit->HasFocus());
    const int bevel = edit->BevelWidth();
    const int third = edit->Model().EqWidth("abc", eqedit::stBaseline);
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(bevel + third, 10));
    EXPECT_TRUE(edit->HasFocus());
    EXPECT_EQ(edit->Model().CaretPos(), 3);
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(290, 10));
    EXPECT_EQ(edit->Model().CaretPos(), 6);
}

// The view is cut to the usable width, which is wider than the caret limit by the caret:
// a click on the last shown character must scroll rather than leave the caret past the
// limit, where it would be drawn over the bevel.
TEST_F(FormulaFieldTest, ClickAtTheRightEndKeepsTheCaretLeftOfTheLimit) {
    const std::string shown(10, 'm');
    const int bevel = edit->BevelWidth();
    const int shownWidth = edit->Model().EqWidth(shown, eqedit::stBaseline);
    ASSERT_GT(edit->Model().EqWidth("m", eqedit::stBaseline), 1);
    // The usable width holds the ten characters and one pixel more; the caret limit then
    // lies inside the tenth.
    edit->resize(shownWidth + 2 * bevel + 1, edit->height());
    edit->SetEquation(std::string(40, 'm'));
    ASSERT_EQ(edit->Model().VisibleText(), shown);
    ASSERT_GE(shownWidth, edit->Model().CaretLimit());

    for (const int x : {shownWidth - 1, shownWidth + 1}) {
        edit->SetEquation("");
        edit->SetEquation(std::string(40, 'm'));
        QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(bevel + x, 10));
        const eqedit::EditModel& model = edit->Model();
        EXPECT_EQ(model.CaretPos(), 10) << "click at " << x;
        EXPECT_LT(model.CaretX(), model.CaretLimit()) << "click at " << x;
        EXPECT_GT(model.FirstVisible(), 1) << "click at " << x;
        // The view still starts at FirstVisible and shows what follows the caret.
        EXPECT_GT(model.FirstVisible() - 1 + static_cast<int>(model.VisibleText().size()), 10);
    }
    Type("x");
    EXPECT_EQ(edit->Equation().find('x'), 10u);
    EXPECT_LT(edit->Model().CaretX(), edit->Model().CaretLimit());
}

TEST_F(FormulaFieldTest, DisabledEditorShowsItsFormulaAndTakesNoInput) {
    edit->SetEquation("ab");
    edit->setEnabled(false);
    EXPECT_FALSE(edit->HasFocus());
    Type("c");
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(3, 10));
    EXPECT_EQ(edit->Equation(), "ab");
    EXPECT_FALSE(InkIn(Picture(), 0, 300).Empty());
}

TEST_F(FormulaFieldTest, SuperscriptsAreHigherAndSmallerSubscriptsSitOnTheBaseline) {
    edit->clearFocus(); // no caret over the first glyph
    const auto glyphs = [&](const std::string& text) {
        edit->SetEquation(text);
        const QImage image = Picture();
        const int first = edit->Model().EqWidth("0", eqedit::stBaseline);
        const int bevel = edit->BevelWidth();
        return std::pair{InkIn(image, bevel, bevel + first), InkIn(image, bevel + first, 300)};
    };
    const auto [base, super] = glyphs("0#0");
    ASSERT_FALSE(base.Empty());
    ASSERT_FALSE(super.Empty());
    EXPECT_LT(super.Height(), base.Height());
    EXPECT_LE(super.top, base.top + 1);
    EXPECT_LT(super.bottom, base.bottom);

    const auto [base2, sub] = glyphs("0!0");
    EXPECT_LT(sub.Height(), base2.Height());
    EXPECT_GT(sub.top, base2.top);
    // The cell bottoms line up; the ink may differ by the smaller font's shorter descent.
    EXPECT_NEAR(sub.bottom, base2.bottom, 2);
}

TEST_F(FormulaFieldTest, CaretHeightFollowsTheLevelBeforeIt) {
    const auto caretInk = [&](const std::string& text) {
        edit->SetEquation(text);
        QTest::keyClick(edit, Qt::Key_End);
        const int x = edit->BevelWidth() + edit->Model().CaretX();
        return InkIn(Picture(), x + 1, x + 2);
    };
    const Ink full = caretInk("0");
    const Ink super = caretInk("0#0");
    const Ink sub = caretInk("0!0");
    ASSERT_FALSE(full.Empty());
    EXPECT_LT(super.Height(), full.Height());
    EXPECT_EQ(super.top, full.top);
    EXPECT_EQ(sub.Height(), super.Height());
    EXPECT_EQ(sub.bottom, full.bottom);
    // Without the focus there is no caret.
    edit->clearFocus();
    const int x = edit->BevelWidth() + edit->Model().CaretX();
    EXPECT_TRUE(InkIn(Picture(), x + 1, x + 2).Empty());
}

TEST_F(FormulaFieldTest, GreekLetterIsDrawnAsTheGreekCharacter) {
    edit->SetEquation("~p");
    edit->clearFocus();
    const Ink drawn = InkIn(Picture(), 0, 300);
    ASSERT_FALSE(drawn.Empty());

    // The letter pi drawn directly in the font the canvas uses for "Symbol".
    platform::Font symbol = edit->Font();
    symbol.name = "Symbol";
    QImage expected(300, 27, QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        painter.setFont(platform::ToQFont(symbol));
        painter.setPen(Qt::black);
        painter.drawText(QPoint(5, 20), QString(QChar(0x3C0)));
    }
    const Ink pi = InkIn(expected, 0, 300);
    EXPECT_EQ(drawn.right - drawn.left, pi.right - pi.left);
    EXPECT_EQ(drawn.Height(), pi.Height());

    // And not as the Latin letter.
    edit->SetEquation("p");
    const Ink latin = InkIn(Picture(), 0, 300);
    EXPECT_TRUE(latin.Height() != drawn.Height() || latin.right - latin.left != pi.right - pi.left);
}

TEST_F(FormulaFieldTest, TheEditorsOwnEvaluatorComputesAndComparesWhatWasTyped) {
    Type("x");
    Key(Qt::Key_Up);
    Type("2");
    Key(Qt::Key_Down);
    Type("+pi");
    edit->AddVariable("x", 3);
    const platform::Result<double> value = edit->CalculateEquation();
    ASSERT_TRUE(value.Ok());
    EXPECT_NEAR(*value, 9 + 3.141592653589793, 1e-12);
    EXPECT_EQ(edit->Equation(), "x#2@+pi"); // already filtered: nothing to remove

    EXPECT_TRUE(edit->CompareEquation("x*x+pi").Value());
    EXPECT_FALSE(edit->CompareEquation("x*x").Value());

    edit->DeleteVariable("x");
    EXPECT_FALSE(edit->CalculateEquation().Ok()); // x is unknown now
}

// Paste puts the clipboard's text in at the caret as if typed; copy gives the formula in
// the editor's notation, which pastes back the same.
TEST_F(FormulaFieldTest, PasteTypesTheClipboardAtTheCaretAndCopyGivesTheNotation) {
    struct Case {
        const char* before; // the formula, the caret after its `caret` first bytes
        int caret;
        const char* clipboard; // UTF-8
        std::size_t limit;
        const char* after; // CP1251
        int beeps;
    };
    const Case cases[] = {
        {"", 0, "3.33333333333333E-7", 0, "3.33333333333333E-7", 0},
        {"a+", 2, "x#2@+~w", 0, "a+x#2@+~w", 0},
        {"ab", 1, "X", 0, "aXb", 0},
        // As typed: what a subscript cannot hold goes in on the baseline.
        {"", 0, "v!C*2", 0, "v!C@*2", 0},
        // The reading line reads ^ and _: they stay as they are.
        {"", 0, "x^2+v_C", 0, "x^2+v_C", 0},
        {"", 0, "дж", 0, "\xE4\xE6", 0},
        {"", 0, "1\n", 0, "1", 0},
        // Outside the code page: left out, one beep for all.
        {"", 0, "a中b中c", 0, "abc", 1},
        {"", 0, "2·3°", 0,
         "2\xB7"
         "3\xB0",
         0},
        // Up to the limit, one beep; and one beep for both shortfalls.
        {"", 0, "1234567", 5, "12345", 1},
        {"12", 2, "345", 5, "12345", 0},
        {"", 0, "12中3456", 5, "12345", 1},
        {"", 0, "v!C*2", 4, "v!C", 1},
    };
    int changes = 0;
    QObject::connect(edit, &FormulaField::equationChanged, [&] { ++changes; });
    for (const Case& c : cases) {
        for (const auto key : {Qt::Key_V, Qt::Key_Insert}) {
            const auto modifiers = key == Qt::Key_V ? Qt::ControlModifier : Qt::ShiftModifier;
            edit->SetMaxLength(0);
            edit->SetEquation(c.before);
            Key(Qt::Key_Home);
            for (int i = 0; i < c.caret; ++i)
                Key(Qt::Key_Right);
            edit->SetMaxLength(c.limit);
            QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
            beeps = 0;
            changes = 0;
            QTest::keyClick(edit, key, modifiers);
            EXPECT_EQ(edit->Equation(), c.after) << c.clipboard;
            EXPECT_EQ(beeps, c.beeps) << c.clipboard;
            EXPECT_EQ(changes, 1) << c.clipboard;
        }
    }
    // Typing stops at the limit too.
    edit->SetMaxLength(3);
    edit->SetEquation("12");
    Key(Qt::Key_End);
    beeps = 0;
    Type("34");
    EXPECT_EQ(edit->Equation(), "123");
    EXPECT_EQ(beeps, 1);
    edit->SetMaxLength(0);

    for (const auto& [key, modifiers] : {std::pair{Qt::Key_C, Qt::ControlModifier},
                                         std::pair{Qt::Key_Insert, Qt::ControlModifier}}) {
        for (const char* formula : {"x#2@+v!C@*~w", "\xE4-1"}) {
            edit->SetEquation(formula);
            QGuiApplication::clipboard()->clear();
            QTest::keyClick(edit, key, modifiers);
            EXPECT_EQ(QGuiApplication::clipboard()->text(), platform::ToQString(formula));
            EXPECT_EQ(edit->Equation(), formula);
            edit->SetEquation("");
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(edit->Equation(), formula);
        }
    }
}

// Ctrl+A selects the whole formula, drawn highlighted: typing replaces it, Delete and
// BackSpace clear it, any other key drops the selection and does what it does.
TEST_F(FormulaFieldTest, SelectAllIsReplacedByTypingClearedByDeletingAndDroppedByOtherKeys) {
    struct Case {
        std::vector<Qt::Key> keys; // after Ctrl+A
        const char* typed;         // then
        const char* after;
    };
    const Case cases[] = {
        {{}, "5", "5"},
        {{}, "", "ab+c"},
        {{Qt::Key_Backspace}, "", ""},
        {{Qt::Key_Delete}, "", ""},
        {{Qt::Key_Delete}, "7", "7"},
        {{Qt::Key_End}, "5", "ab+c5"},
        {{Qt::Key_Left}, "5", "ab+5c"},
        {{Qt::Key_Home, Qt::Key_Delete}, "", "b+c"},
        {{Qt::Key_Up}, "2", "ab+c#2"},
        {{Qt::Key_F3}, "w", "ab+c~w"},
        {{Qt::Key_Escape}, "5", "ab+c5"},
        {{Qt::Key_Shift}, "5", "5"},
    };
    const auto selected = [&] {
        const QImage image = Picture();
        for (int x = 1; x < 20; ++x)
            if (image.pixel(x, 5) == qRgb(0, 0, 128))
                return true;
        return false;
    };
    for (const Case& c : cases) {
        edit->SetEquation("ab+c");
        Key(Qt::Key_End);
        EXPECT_FALSE(selected());
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        EXPECT_TRUE(edit->Model().Selected());
        EXPECT_TRUE(selected());
        for (Qt::Key key : c.keys)
            Key(key);
        Type(c.typed);
        EXPECT_EQ(edit->Equation(), c.after) << c.after;
        EXPECT_FALSE(edit->Model().Selected() && *c.typed != '\0') << c.after;
    }
    // Pasting over a selection replaces it; a click drops it; an empty field selects nothing.
    QGuiApplication::clipboard()->setText("9");
    edit->SetEquation("ab");
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Equation(), "9");
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(3, 10));
    EXPECT_FALSE(edit->Model().Selected());
    EXPECT_FALSE(selected());
    edit->SetEquation("");
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(edit->Model().Selected());
}
