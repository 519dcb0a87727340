#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

class QFrame;
class QPushButton;
class QToolButton;
class FormulaField;
class Expression;
class HelpWindow;
class MessageDialog;

// The calculator: a formula typed or clicked together in the formula editor is replaced
// by its value on "=" or Enter; errors go to the message dialog, and the help button opens
// the help window (both belong to the calculator's owner; either may be absent).
class CalculatorWindow : public QWidget {
    Q_OBJECT
public:
    explicit CalculatorWindow(MessageDialog* messages = nullptr, HelpWindow* help = nullptr,
                              QWidget* parent = nullptr);
    ~CalculatorWindow() override;

    FormulaField* formulaField;
    QFrame* toolFrame;
    QToolButton* copyButton;
    QToolButton* pasteButton;
    QToolButton* helpButton;

    // The text of the last result.
    std::string lastResultText;

    // Computes the editor's formula and shows its value in place of it, or the error in
    // the message dialog. True when a value is shown.
    bool CalculateFormula();

    // The editor's key handler, called before the editor acts on the same key.
    void formulaKeyDown(FormulaField* sender, int& key, Qt::KeyboardModifiers shift);

private:
    void typeKeyCaption();
    void typeFunction();
    void typePi();
    void clearFormula();
    void deleteLastCharacter();
    void calculate();
    void openHelp();

    void CreateToolBar();
    void CreateButtons();
    QPushButton* AddButton(const char* name, const QString& caption, const QRect& place);

    // Editing the formula from the buttons: the new text goes into the editor, which
    // takes the focus and gets its caret moved to the end.
    void SetFormulaText(const std::string& text);
    void AppendToFormula(const std::string& text);
    void CopyFormula();
    void PasteIntoFormula();
    void PostEnd();
    void PostHome();

    // A value replaces the formula after the editor has been empty for a moment. The
    // value is put in at once when the user acts on the editor before then.
    void ShowResultSoon();
    void ShowPendingResult();

    std::unique_ptr<Expression> expression_;
    QTimer resultTimer_;
    bool resultPending_ = false;
    MessageDialog* messages_;
    HelpWindow* help_;
};
