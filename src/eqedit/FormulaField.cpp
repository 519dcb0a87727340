#include "eqedit/FormulaField.h"

#include "eqedit/FormulaFieldAccessible.h"

#include "platform/QtCanvas.h"
#include "platform/QtText.h"

#include "platform/Beep.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include <QMouseEvent>
#include <QPainter>
#include <optional>

#include <algorithm>
#include <utility>

namespace {

// The toolkit's virtual-key code of a Qt key; letters and digits keep their codes, keys
// the program never asks about give 0.
int VirtualKey(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return eqedit::kKeyBackspace;
    case Qt::Key_Tab:
        return eqedit::kKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return eqedit::kKeyEnter;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return eqedit::kKeyEscape;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return eqedit::kKeyEnd;
    case Qt::Key_Home:
        return eqedit::kKeyHome;
    case Qt::Key_Left:
        return eqedit::kKeyLeft;
    case Qt::Key_Up:
        return eqedit::kKeyUp;
    case Qt::Key_Right:
        return eqedit::kKeyRight;
    case Qt::Key_Down:
        return eqedit::kKeyDown;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return eqedit::kKeyDelete;
    default:
        return 0;
    }
}

// The editor's command for a key, if the key gives one: arrows move the caret and change
// the level, F3 makes the next letter Greek.
std::optional<eqedit::EditCommand> CommandOf(int key) {
    using eqedit::EditCommand;
    switch (key) {
    case eqedit::kKeyBackspace:
        return EditCommand::Backspace;
    case eqedit::kKeyDelete:
        return EditCommand::Delete;
    case eqedit::kKeyLeft:
        return EditCommand::Left;
    case eqedit::kKeyRight:
        return EditCommand::Right;
    case eqedit::kKeyHome:
        return EditCommand::Home;
    case eqedit::kKeyEnd:
        return EditCommand::End;
    case eqedit::kKeyUp:
        return EditCommand::LevelUp;
    case eqedit::kKeyDown:
        return EditCommand::LevelDown;
    case eqedit::kKeyF3:
        return EditCommand::Greek;
    default:
        return std::nullopt;
    }
}

// Keys whose character the editor does not receive: Delete types nothing on the
// toolkit's keyboards, though Qt gives it a text.
bool KeyTypesNothing(int qtKey) {
    return qtKey == Qt::Key_Delete;
}

// Keys the editor leaves to the window it sits in (a dialog's default and cancel keys).
bool LeftToParent(int qtKey) {
    return qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter || qtKey == Qt::Key_Escape;
}

bool IsModifierKey(int qtKey) {
    return qtKey == Qt::Key_Shift || qtKey == Qt::Key_Control || qtKey == Qt::Key_Alt ||
           qtKey == Qt::Key_Meta || qtKey == Qt::Key_AltGr;
}

// The CP1251 byte of a typed character, if the code page holds it.
bool ToByte(QChar typed, char& byte) {
    const std::string bytes = platform::ToCp1251(QString(typed));
    if (bytes.size() != 1 || (bytes[0] == '?' && typed != QLatin1Char('?')))
        return false;
    byte = bytes[0];
    return true;
}

} // namespace

FormulaField::FormulaField(QWidget* parent)
    : QWidget(parent), measureImage_(1, 1, QImage::Format_RGB32),
      measure_(std::make_unique<platform::QtCanvas>(&measureImage_)), model_(*measure_) {
    model_.SetKeyPressHandler([this](char& key) {
        if (OnKeyPress)
            OnKeyPress(this, key);
    });
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    InstallFormulaFieldAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(300, 27);
}

FormulaField::~FormulaField() = default;

// ---- what assistive technology is told ----

QString FormulaField::SpokenText() const {
    return spokenText_.isEmpty() ? LinearFormulaText(Equation()) : spokenText_;
}

void FormulaField::SetSpokenText(const QString& text) {
    spokenText_ = text;
    AnnounceSpokenText();
}

// Whoever reads the formula anew (the answer's reading line) does it in a slot of
// equationChanged, so the spoken text is told once it is up to date.
void FormulaField::EquationChanged() {
    emit equationChanged();
    AnnounceSpokenText();
}

void FormulaField::AnnounceSpokenText() {
    // With no assistive technology listening the text is not made at all: it costs a walk
    // over the whole formula at every keystroke, and is made when it is asked for.
    if (!QAccessible::isActive()) {
        announcedText_.clear();
        return;
    }
    const QString text = SpokenText();
    if (text == announcedText_)
        return;
    const QString before = std::exchange(announcedText_, text);
    QAccessibleTextUpdateEvent textEvent(this, 0, before, text);
    QAccessible::updateAccessibility(&textEvent);
    QAccessibleValueChangeEvent valueEvent(this, text);
    QAccessible::updateAccessibility(&valueEvent);
}

void FormulaField::SyncSize() {
    if (model_.Width() != width() || model_.Height() != height())
        model_.SetSize(width(), height());
}

void FormulaField::SetEquation(const std::string& text) {
    SyncSize();
    if (model_.SetEquation(text)) {
        update();
        EquationChanged();
    }
}

platform::Result<double> FormulaField::CalculateEquation() {
    std::string equation = Equation();
    platform::Result<double> value = evaluator_.CalculateEquation(equation);
    SetEquation(equation); // the formula stays as the evaluator filtered it
    return value;
}

void FormulaField::SetCaretWidth(int width) {
    model_.SetCaretWidth(width);
    update();
}

void FormulaField::SetFont(const platform::Font& font) {
    model_.SetFont(font);
    update();
}

void FormulaField::SetBevelWidth(int width) {
    model_.SetBevelWidth(width);
    update();
}

// ---- the editor's operations ----

void FormulaField::KeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    SyncSize();
    if (const std::optional<eqedit::EditCommand> command = CommandOf(key)) {
        const std::string before = Equation();
        model_.Apply(*command);
        if (Equation() != before)
            EquationChanged();
    }
    update();
}

void FormulaField::KeyPress(char& key) {
    SyncSize();
    const std::string before = Equation();
    model_.KeyPress(key);
    update();
    if (Equation() != before)
        EquationChanged();
}

void FormulaField::SelectAll() {
    model_.Apply(eqedit::EditCommand::SelectAll);
    update();
}

void FormulaField::Copy() const {
    QGuiApplication::clipboard()->setText(platform::ToQString(Equation()));
}

void FormulaField::Paste() {
    const QString text = QGuiApplication::clipboard()->text();
    std::string bytes;
    bool allHeld = true;
    for (QChar c : text) {
        char byte = 0;
        if (ToByte(c, byte))
            bytes += byte;
        else
            allHeld = false;
    }
    SyncSize();
    const std::string before = Equation();
    const bool allFit = model_.Paste(bytes);
    if (!allHeld || !allFit)
        platform::Beep();
    update();
    if (Equation() != before)
        EquationChanged();
}

void FormulaField::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    SyncSize();
    model_.MouseDown(x);
    update();
}

// ---- Qt events ----

void FormulaField::keyPressEvent(QKeyEvent* event) {
    const int pressed = VirtualKey(event->key());
    int key = pressed;
    KeyDown(key, event->modifiers());
    // A handler that changed the key has taken it, a clipboard key included.
    if (key == pressed && ClipboardKey(*event)) {
        event->accept();
        return;
    }
    bool typed = false;
    if (!KeyTypesNothing(event->key())) {
        for (QChar c : event->text()) {
            char byte = 0;
            if (ToByte(c, byte)) {
                typed = typed || eqedit::IsPrintable(byte);
                KeyPress(byte);
            }
        }
    }
    // A key that neither types nor edits drops the selection; commands see to it
    // themselves.
    if (model_.Selected() && !typed && !IsModifierKey(event->key()) && !CommandOf(key)) {
        model_.DropSelection();
        update();
    }
    if (LeftToParent(event->key()))
        event->ignore();
    else
        event->accept();
}

bool FormulaField::ClipboardKey(const QKeyEvent& event) {
    if (event.matches(QKeySequence::SelectAll))
        SelectAll();
    else if (event.matches(QKeySequence::Copy))
        Copy();
    else if (event.matches(QKeySequence::Paste))
        Paste();
    else
        return false;
    return true;
}

void FormulaField::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), at.x() - BevelWidth(), at.y() - BevelWidth());
    event->accept();
}

void FormulaField::focusInEvent(QFocusEvent* event) {
    hasFocus_ = true;
    update();
    QWidget::focusInEvent(event);
}

void FormulaField::focusOutEvent(QFocusEvent* event) {
    hasFocus_ = false;
    update();
    QWidget::focusOutEvent(event);
}

void FormulaField::resizeEvent(QResizeEvent* event) {
    SyncSize();
    QWidget::resizeEvent(event);
}

// ---- painting ----

// The soft lowered bevel: a shadow along the top and left edges, a light line along the
// bottom and right ones.
void FormulaField::PaintBevel(QPainter& painter) const {
    const int bevel = BevelWidth();
    if (bevel <= 0)
        return;
    const QColor shadow(160, 160, 160);
    const QColor light(255, 255, 255);
    painter.fillRect(0, 0, width(), bevel, shadow);
    painter.fillRect(0, 0, bevel, height(), shadow);
    painter.fillRect(0, height() - bevel, width(), bevel, light);
    painter.fillRect(width() - bevel, 0, bevel, height(), light);
}

void FormulaField::paintEvent(QPaintEvent*) {
    SyncSize();
    // The field is drawn off screen and copied in one piece, so it does not flicker.
    // At the screen's pixel ratio, so that the text is as sharp as the window's own.
    QImage field =
        platform::SurfaceImage(std::max(1, width()), std::max(1, height()), devicePixelRatio());
    eqedit::CaretShape caret;
    {
        platform::QtCanvas canvas(&field);
        caret = model_.Paint(canvas);
    }
    QPainter painter(this);
    PaintBevel(painter);
    const int bevel = BevelWidth();
    const QRect client(bevel, bevel, width() - 2 * bevel, height() - 2 * bevel);
    painter.setClipRect(client);
    painter.drawImage(client.topLeft(), field);
    if (hasFocus_)
        painter.fillRect(bevel + caret.x, bevel + caret.y, caret.width, caret.height, Qt::black);
}
