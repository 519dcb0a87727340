#pragma once

#include "app/AnswerReading.h"

#include <QLabel>

class FormulaField;

// The line under an answer field: how the answer is read (grey) or what keeps it from
// being read (red), drawn anew whenever the field's formula changes. A blank answer shows
// an empty line of the same height.
class AnswerReadingLine : public QLabel {
    Q_OBJECT
public:
    AnswerReadingLine(FormulaField* field, QWidget* parent);

    // The names the row may use; the line is read again with them.
    void SetNames(RowNames names);
    // The line's height, whatever it shows.
    int LineHeight() const;
    const AnswerReading& Reading() const { return reading_; }
    // The row's unit, shown after the answer field (a sibling of the line, placed by the
    // rows' layout); empty text when there is none to show.
    QLabel* UnitLabel() const { return unitLabel_; }

private:
    void ReadField();
    void ShowColour(const char* colourStyle);

    FormulaField* field_;
    RowNames names_;
    AnswerReading reading_;
    QLabel* unitLabel_;
};
