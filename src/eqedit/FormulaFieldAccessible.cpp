#include "eqedit/FormulaFieldAccessible.h"

#include "eqedit/FormulaField.h"
#include "eqedit/Notation.h"
#include "platform/QtText.h"

#include <algorithm>
#include <map>

namespace {

QString GlyphText(const eqedit::WalkStep& step, char typed) {
    if (!step.greek)
        return platform::ToQString(step.glyph);
    for (const eqedit::GreekKey& greek : eqedit::GreekKeys())
        if (greek.key == typed)
            return QString::fromStdString(greek.letter);
    return platform::ToQString(step.glyph);
}

// A raised or lowered run without the blanks around it, bracketed when more is left
// than one character.
void CloseRun(QString& text, eqedit::State level, const QString& run) {
    if (level == eqedit::stBaseline) {
        text += run;
        return;
    }
    const QString shown = run.trimmed();
    if (shown.isEmpty())
        return;
    text += level == eqedit::stSuperscript ? QChar('^') : QChar('_');
    text += shown.size() > 1 ? '(' + shown + ')' : shown;
}

QAccessibleInterface* MakeFormulaFieldAccessible(const QString& className, QObject* object) {
    auto* field = qobject_cast<FormulaField*>(object);
    if (className != QLatin1String("FormulaField") || field == nullptr)
        return nullptr;
    return new FormulaFieldAccessible(field);
}

} // namespace

QString LinearFormulaText(std::string_view formula) {
    eqedit::FragmentWalk walk(eqedit::stBaseline);
    QString text, run;
    eqedit::State runLevel = eqedit::stBaseline;
    for (const char c : formula) {
        const eqedit::WalkStep step = walk.Next(c);
        if (!step.drawn)
            continue;
        if (step.level != runLevel) {
            CloseRun(text, runLevel, run);
            run.clear();
            runLevel = step.level;
        }
        run += GlyphText(step, c);
    }
    CloseRun(text, runLevel, run);
    return text.trimmed();
}

FormulaFieldAccessible::FormulaFieldAccessible(FormulaField* field)
    : QAccessibleWidget(field, QAccessible::EditableText) {}

const FormulaField* FormulaFieldAccessible::Field() const {
    return static_cast<const FormulaField*>(widget());
}

QAccessible::State FormulaFieldAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = Field()->isEnabled();
    state.readOnly = !Field()->isEnabled();
    state.focusable = true;
    return state;
}

QString FormulaFieldAccessible::text(QAccessible::Text kind) const {
    switch (kind) {
    case QAccessible::Value:
        return Field()->SpokenText();
    case QAccessible::Name: {
        const QString name = Field()->accessibleName();
        return name.isEmpty() ? Field()->SpokenText() : name;
    }
    default:
        return QAccessibleWidget::text(kind);
    }
}

void* FormulaFieldAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString FormulaFieldAccessible::text(int startOffset, int endOffset) const {
    const QString spoken = Field()->SpokenText();
    const auto size = static_cast<int>(spoken.size());
    const int start = std::clamp(startOffset, 0, size);
    const int end = endOffset < 0 ? size : std::clamp(endOffset, start, size);
    return spoken.mid(start, end - start);
}

int FormulaFieldAccessible::characterCount() const {
    return static_cast<int>(Field()->SpokenText().size());
}

int FormulaFieldAccessible::cursorPosition() const {
    return characterCount();
}

void FormulaFieldAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
}

QString FormulaFieldAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

void InstallFormulaFieldAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeFormulaFieldAccessible);
        return true;
    }();
    (void)installed;
}
