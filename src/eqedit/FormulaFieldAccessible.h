#pragma once

#include <QAccessibleWidget>
#include <QString>

#include <string_view>

class FormulaField;

// A formula written on one line as it is read aloud or typed in plain text: Greek letters
// as themselves, a raised or lowered run after "^" or "_" (in brackets when longer than
// one character), blanks at the ends left out: "v_C", "x^(2a)", "ω". The text is CP1251
// with the editor's markers.
QString LinearFormulaText(std::string_view formula);

// What assistive technology (a screen reader, through AT-SPI) learns of a formula field:
// an editable text whose name is the field's accessible name and whose text is what the
// field says it reads (FormulaField::SpokenText). Installed for every formula field by
// InstallFormulaFieldAccessibility.
class FormulaFieldAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit FormulaFieldAccessible(FormulaField* field);

    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // The text, read only through this interface: the field is edited with its keys.
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    int cursorPosition() const override;
    void setCursorPosition(int) override {}
    void selection(int, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    const FormulaField* Field() const;
};

// Makes QAccessible build a FormulaFieldAccessible for every formula field; once is enough.
void InstallFormulaFieldAccessibility();
