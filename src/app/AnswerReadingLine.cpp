#include "app/AnswerReadingLine.h"

#include "eqedit/FormulaField.h"

namespace {

const QColor kReadColour(128, 128, 128);
const QColor kProblemColour(192, 0, 0);

} // namespace

AnswerReadingLine::AnswerReadingLine(FormulaField* field, QWidget* parent)
    : QLabel(parent), field_(field) {
    setTextFormat(Qt::PlainText);
    ShowColour(kReadColour);
    connect(field_, &FormulaField::equationChanged, this, &AnswerReadingLine::ReadField);
}

void AnswerReadingLine::SetNames(RowNames names) {
    names_ = std::move(names);
    ReadField();
}

int AnswerReadingLine::LineHeight() const {
    return fontMetrics().height();
}

void AnswerReadingLine::ReadField() {
    reading_ = ReadAnswerRow(field_->Equation(), names_);
    const bool fine =
        reading_.kind == AnswerReading::Kind::Read || reading_.kind == AnswerReading::Kind::Blank;
    ShowColour(fine ? kReadColour : kProblemColour);
    setText(QString::fromStdString(reading_.line));
    setToolTip(text()); // a line wider than the field is cut; its tip shows it whole
}

void AnswerReadingLine::ShowColour(const QColor& colour) {
    if (palette().color(QPalette::WindowText) == colour)
        return;
    QPalette shown = palette();
    shown.setColor(QPalette::WindowText, colour);
    setPalette(shown);
}
