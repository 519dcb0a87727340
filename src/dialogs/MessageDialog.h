#pragma once

#include "dialogs/ReportQueue.h"

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;
class FormulaField;

// The program's one modal message box: a caption, a text of one or more lines and, when
// given, a formula drawn by a disabled formula editor. It sizes and centres itself
// around them anew for every message.
class MessageDialog : public QDialog {
    Q_OBJECT
public:
    explicit MessageDialog(QWidget* parent = nullptr);

    // Room the title bar takes beside the caption (the window's icon and close button): a
    // box is at least the caption this much wider, so that its title is never cut.
    static constexpr int kTitleBarButtonsWidth = 80;

    // Shows the texts (CP1251) and returns when the user has closed the box. An empty
    // formula shows no formula. Only one box is ever open: a message that comes while
    // one is up waits (identical ones merged) and is shown when it closes, and the call
    // returns at once.
    void ShowDialog(const std::string& caption, const std::string& text,
                    const std::string& formula);

    // How many different messages wait for the box to close.
    std::size_t WaitingMessages() const { return waiting_.Pending(); }

    QLabel* messageLabel;
    FormulaField* formulaField;
    QPushButton* okButton;

protected:
    // The box comes up in front of every other window of the program, also where no
    // window manager stacks it there.
    void showEvent(QShowEvent* event) override;

private:
    // Sets the texts, places the components and sizes and centres the window.
    void Arrange(const std::string& caption, const std::string& text, const std::string& formula);
    // The width of the caption in the window's canvas font (12 points).
    int CaptionWidth(const std::string& caption) const;
    // What the window frame adds to the client area. The window system tells it only
    // while it knows the window, so the last size it told is kept.
    QSize FrameExtra();

    int formulaHeight_; // the formula editor's height as created
    QSize frameExtra_;
    bool showing_ = false;
    ReportQueue waiting_;
};

// Shows an error report in the dialog under the caption "Ошибка", without a formula (in a
// plain message box when there is no dialog). One report at a time, as ShowDialog.
void ShowErrorReport(MessageDialog* dialog, const std::string& cp1251Message);

// Makes ShowErrorReport into this dialog the application-wide error report: every error
// that no handler catches ends there (in a plain message box once the dialog is gone).
void InstallDialogErrorReport(MessageDialog* dialog);
