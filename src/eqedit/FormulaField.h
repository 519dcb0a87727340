#pragma once

#include "eqedit/EditModel.h"
#include "eqedit/Evaluator.h"
#include "platform/Canvas.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace platform {
class QtCanvas;
}

namespace eqedit {

// The key codes the formula field hands to its OnKeyDown handler (the toolkit's
// virtual-key codes; letters and digits are their capital characters).
enum KeyCode : int {
    kKeyBackspace = 8,
    kKeyTab = 9,
    kKeyEnter = 13,
    kKeyEscape = 27,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyDelete = 46,
    kKeyF3 = 114,
};

} // namespace eqedit

// The one-line formula editor: superscripts with Up, subscripts with Down, Greek letters
// with F3, shown as they are written on paper. The editing and painting are done by the
// model; the widget turns Qt's keys, characters, clicks and focus into its operations and
// puts its picture on the screen. Tab and Enter are left to the parent, so a dialog's
// default button still answers Enter. A disabled editor shows its formula and takes no
// input. All text is CP1251.
class FormulaField : public QWidget {
    Q_OBJECT
public:
    explicit FormulaField(QWidget* parent = nullptr);
    ~FormulaField() override;

    // The formula text. A different text is shown from its first character; the caret
    // stays inside it.
    const std::string& Equation() const { return model_.Equation(); }
    void SetEquation(const std::string& text);

    int CaretWidth() const { return model_.CaretWidth(); }
    void SetCaretWidth(int width);
    // The font of the baseline; the other levels are 4 points smaller.
    const platform::Font& Font() const { return model_.Font(); }
    void SetFont(const platform::Font& font);
    int BevelWidth() const { return model_.BevelWidth(); }
    void SetBevelWidth(int width);
    // The longest formula typing and pasting make, in bytes; 0 is no limit.
    std::size_t MaxLength() const { return model_.MaxLength(); }
    void SetMaxLength(std::size_t length) { model_.SetMaxLength(length); }

    // The clipboard: Copy puts the formula in the editor's notation on it, which Paste
    // puts back the same. Paste inserts the clipboard's text at the caret as if typed, up
    // to the length limit; characters the code page does not hold are left out. Either
    // shortfall beeps once.
    void Copy() const;
    void Paste();
    void SelectAll();

    // Events. OnKeyDown sees the key code before the editor acts on it (and may change
    // it; a changed key is not taken as a clipboard key); OnKeyPress sees every character but the
    // level markers the editor refuses.
    std::function<void(FormulaField* sender, int& key, Qt::KeyboardModifiers shift)> OnKeyDown;
    std::function<void(FormulaField* sender, char& key)> OnKeyPress;
    std::function<void(FormulaField* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                       int x, int y)>
        OnMouseDown;

    // The editor's own key, character and mouse operations, reached from Qt's events
    // and callable by the forms: key codes are the toolkit's virtual keys, characters
    // CP1251 bytes, x and y inside the bevel.
    void KeyDown(int& key, Qt::KeyboardModifiers shift);
    void KeyPress(char& key);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // The editor's own evaluator (a failure is its CP1251 message).
    // CalculateEquation computes the editor's formula, which it leaves filtered;
    // CalculateTwoEquations rewrites both texts in place; CompareEquation judges the
    // editor's formula and `other` the same function by random trials.
    platform::Result<double> CalculateEquation();
    platform::Result<eqedit::Evaluator::TwoValues> CalculateTwoEquations(std::string& first,
                                                                         std::string& second) {
        return evaluator_.CalculateTwoEquations(first, second);
    }
    platform::Result<bool> CompareEquation(const std::string& other) {
        return evaluator_.CompareEquation(Equation(), other);
    }
    void AddVariable(const std::string& name, double value) { evaluator_.AddVariable(name, value); }
    double GetVariable(const std::string& name) const { return evaluator_.GetVariable(name); }
    void DeleteVariable(const std::string& name) { evaluator_.DeleteVariable(name); }
    eqedit::Evaluator& Evaluator() { return evaluator_; }

    // What a screen reader says for the field: the text set by SetSpokenText (how the
    // formula is read, say), or else the formula on one line ("v_C", "x^2").
    QString SpokenText() const;
    void SetSpokenText(const QString& text);

    bool HasFocus() const { return hasFocus_; }
    const eqedit::EditModel& Model() const { return model_; }

signals:
    // The formula's text has changed: by a key, a character typed or SetEquation.
    void equationChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PaintBevel(QPainter& painter) const;
    // Ctrl+A, Ctrl+C or Ctrl+Insert, Ctrl+V or Shift+Insert: done, and true.
    bool ClipboardKey(const QKeyEvent& event);
    // Qt delivers resize events of a hidden widget only when it is shown; the model
    // takes the size before every operation instead.
    void SyncSize();
    // The formula changed: its text changed for assistive technology too.
    void EquationChanged();
    void AnnounceSpokenText();

    // The model measures on a canvas over a tiny image of its own, so that widths are
    // known outside painting too.
    QImage measureImage_;
    std::unique_ptr<platform::QtCanvas> measure_;
    eqedit::EditModel model_;
    eqedit::Evaluator evaluator_;
    bool hasFocus_ = false;
    QString spokenText_;
    QString announcedText_; // the spoken text assistive technology was last told
};
