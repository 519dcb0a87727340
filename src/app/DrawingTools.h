#pragma once

#include "app/AnswerReading.h"

#include <QWidget>

class AnswerReadingLine;
class DrawingSurface;
class FormulaField;
class QLabel;
class QPushButton;

// The tools beside a drawing surface: "Сила" and "Момент", which the next press on the
// picture uses, and the formula fields of the selected object's name and (where the task
// judges magnitudes) magnitude, each with its reading line, as answer rows have. Enter,
// Escape or Tab from the last field gives the keyboard back to the picture.
class DrawingTools : public QWidget {
    Q_OBJECT
public:
    DrawingTools(DrawingSurface* surface, QWidget* parent);

    // A new task: whether it asks for magnitudes, and the names a magnitude may use.
    void SetTask(bool magnitudes, RowNames names);
    // The selected object's name field takes the keyboard.
    void EditSelected();

    FormulaField* NameField() const { return nameField_; }
    FormulaField* MagnitudeField() const { return magnitudeField_; }
    QPushButton* ForceButton() const { return forceButton_; }
    QPushButton* MomentButton() const { return momentButton_; }

    // Lays the tools out in a strip `width` wide; returns its height.
    int Arrange(int width);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowSelected();
    void ShowTool();

    DrawingSurface* surface_;
    QPushButton* forceButton_;
    QPushButton* momentButton_;
    QLabel* nameLabel_;
    QLabel* magnitudeLabel_;
    FormulaField* nameField_;
    FormulaField* magnitudeField_;
    AnswerReadingLine* nameReading_;
    AnswerReadingLine* magnitudeReading_;
    bool magnitudes_ = true;
    bool showing_ = false; // the fields are being filled from the selection
};
