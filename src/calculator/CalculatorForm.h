#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

class QFrame;
class QPushButton;
class QToolButton;
class TApplicationEvents;
class TEqEdit;
class Expression;
class TTrayIcon;

// The calculator: a formula typed or clicked together in the formula editor is replaced
// by its value on "=" or Enter; errors go to the message dialog. The window also carries
// the program-wide handlers: the error report of every window and the parking of the
// program in the notification area while it is minimised.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    TEqEdit* EqEdit1;
    QFrame* ControlBar1;
    QToolButton* ToolButton1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton3;
    TApplicationEvents* ApplicationEvents1;
    TTrayIcon* TrayIcon1;

    // The text of the last result.
    std::string ResultText;

    // Computes the editor's formula and shows its value in place of it, or the error in
    // the message dialog. True when a value is shown.
    bool CalculateFormula();

    // The editor's key handler, called before the editor acts on the same key.
    void EqEdit1KeyDown(TEqEdit* sender, int& key, Qt::KeyboardModifiers shift);

    // The program-wide handlers.
    void ApplicationEvents1Exception(const std::string& cp1251Message);
    void ApplicationEvents1Minimize();
    void ApplicationEvents1Restore();
    // The wake-up hot key (message 786, identifier 255) brings the calculator to the
    // front. Nothing registers that key; the handler stays for a party that delivers it.
    void ApplicationEvents1Message(unsigned message, int hotKeyId);

    static constexpr unsigned kHotKeyMessage = 786;
    static constexpr int kWakeUpHotKey = 255;

private:
    void Button29Click();
    void Button21Click();
    void Button19Click();
    void Button14Click();
    void Button13Click();
    void Button16Click();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();

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

    std::unique_ptr<Expression> CalculatorPacket;
    QTimer resultTimer_;
    bool resultPending_ = false;
};

extern TForm1* Form1;
