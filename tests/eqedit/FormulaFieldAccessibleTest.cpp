// What assistive technology learns of a formula field, through Qt's own accessibility
// interfaces as a bridge to a screen reader reads them.

#include "eqedit/FormulaFieldAccessible.h"
#include "eqedit/FormulaField.h"

#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString WholeText(QAccessibleInterface* field) {
    return field->textInterface()->text(0, field->textInterface()->characterCount());
}

} // namespace

TEST(FormulaFieldAccessibleTest, AFormulaIsWrittenOnOneLineAsItIsRead) {
    EXPECT_EQ(LinearFormulaText(""), "");
    EXPECT_EQ(LinearFormulaText("v!C"), "v_C");
    EXPECT_EQ(LinearFormulaText("x#2a@+1"), "x^(2a)+1");
    EXPECT_EQ(LinearFormulaText("~w!0@ = 2"), QString::fromUtf8("ω_0 = 2"));
    EXPECT_EQ(LinearFormulaText("#~a"), QString::fromUtf8("^α"));
    EXPECT_EQ(LinearFormulaText("  "), "");
    EXPECT_EQ(LinearFormulaText(" F!x  "), "F_x");
    EXPECT_EQ(LinearFormulaText("\xEC/\xF1"), QString::fromUtf8("м/с")); // CP1251
}

TEST(FormulaFieldAccessibleTest, TheFieldIsAnEditableTextThatSaysWhatItReads) {
    QWidget window;
    auto* edit = new FormulaField(&window);
    edit->setAccessibleName("v_B");
    window.show();

    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(edit);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->role(), QAccessible::EditableText);
    EXPECT_EQ(field->text(QAccessible::Name), "v_B");
    EXPECT_TRUE(field->state().editable);
    ASSERT_NE(field->textInterface(), nullptr);

    // Without a reading the formula is spoken as written on one line.
    edit->SetEquation("x#2");
    EXPECT_EQ(field->text(QAccessible::Value), "x^2");
    EXPECT_EQ(WholeText(field), "x^2");
    EXPECT_EQ(field->textInterface()->text(1, 2), "^");
    // A reading given to the field is what it says, until it is taken back.
    edit->SetSpokenText(QString::fromUtf8("2·v_C"));
    EXPECT_EQ(field->text(QAccessible::Value), QString::fromUtf8("2·v_C"));
    EXPECT_EQ(WholeText(field), QString::fromUtf8("2·v_C"));
    edit->SetSpokenText({});
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "+1");
    EXPECT_EQ(WholeText(field), "x^(2+1)");

    // A field that only shows its formula is read-only.
    edit->setEnabled(false);
    EXPECT_TRUE(field->state().readOnly);
    EXPECT_FALSE(field->state().editable);
}
