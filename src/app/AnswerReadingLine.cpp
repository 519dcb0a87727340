#include "app/AnswerReadingLine.h"

#include "eqedit/FormulaField.h"

namespace {

const char* const kReadColour = "color: rgb(128, 128, 128)";
const char* const kProblemColour = "color: rgb(192, 0, 0)";

} // namespace

AnswerReadingLine::AnswerReadingLine(FormulaField* field, QWidget* parent)
    : QLabel(parent), field_(field), unitLabel_(new QLabel(parent)) {
    unitLabel_->setTextFormat(Qt::PlainText);
    unitLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    unitLabel_->hide();
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ShowColour(kReadColour);
    connect(field_, &FormulaField::equationChanged, this, &AnswerReadingLine::ReadField);
}

void AnswerReadingLine::SetNames(RowNames names) {
    names_ = std::move(names);
    ReadField();
}

// A line of text with room under it for what descends below the baseline, "_" included.
int AnswerReadingLine::LineHeight() const {
    return fontMetrics().lineSpacing() + 2;
}

void AnswerReadingLine::ReadField() {
    reading_ = ReadAnswerRow(field_->Equation(), names_);
    const bool fine =
        reading_.kind == AnswerReading::Kind::Read || reading_.kind == AnswerReading::Kind::Blank;
    ShowColour(fine ? kReadColour : kProblemColour);
    setText(QString::fromStdString(reading_.line));
    setToolTip(text()); // a line wider than the field is cut; its tip shows it whole
    // A screen reader speaks the answer as it is read; what is not read, as typed.
    field_->SetSpokenText(reading_.kind == AnswerReading::Kind::Read ? text() : QString());
}

// The colour changes seldom, and only then is the style set: setting it costs more than
// reading the answer.
void AnswerReadingLine::ShowColour(const char* colourStyle) {
    if (styleSheet() == QLatin1String(colourStyle))
        return;
    setStyleSheet(colourStyle);
}
