#include "app/DrawingTools.h"

#include "app/AnswerReadingLine.h"
#include "app/DrawingSurface.h"
#include "app/ResultPayload.h"
#include "app/WidgetMaking.h"
#include "eqedit/FormulaField.h"
#include "tasklayout/AnswerRows.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kGap = 6;
constexpr int kNameWidth = 90;

QPushButton* MakeToolButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus); // the keyboard has F and M in the picture
    return button;
}

} // namespace

DrawingTools::DrawingTools(DrawingSurface* surface, QWidget* parent)
    : QWidget(parent), surface_(surface) {
    setObjectName("drawingTools");
    forceButton_ = MakeToolButton(this, "forceTool", "Сила");
    momentButton_ = MakeToolButton(this, "momentTool", "Момент");
    nameLabel_ = MakeLabel(this, "drawingNameLabel", "Имя:");
    magnitudeLabel_ = MakeLabel(this, "drawingMagnitudeLabel", "Величина:");
    nameField_ = new FormulaField(this);
    nameField_->setObjectName("drawingNameField");
    nameField_->setAccessibleName(QString::fromUtf8("Имя"));
    nameField_->SetMaxLength(32);
    magnitudeField_ = new FormulaField(this);
    magnitudeField_->setObjectName("drawingMagnitudeField");
    magnitudeField_->setAccessibleName(QString::fromUtf8("Величина"));
    magnitudeField_->SetMaxLength(kMaxPreparedAnswer);
    nameReading_ = new AnswerReadingLine(nameField_, this);
    nameReading_->setObjectName("drawingNameReading");
    magnitudeReading_ = new AnswerReadingLine(magnitudeField_, this);
    magnitudeReading_->setObjectName("drawingMagnitudeReading");
    for (FormulaField* field : {nameField_, magnitudeField_})
        field->installEventFilter(this);

    connect(forceButton_, &QPushButton::clicked, this, [this](bool on) {
        surface_->SetTool(on ? DrawingSurface::Tool::Force : DrawingSurface::Tool::Select);
        surface_->setFocus(Qt::OtherFocusReason);
    });
    connect(momentButton_, &QPushButton::clicked, this, [this](bool on) {
        surface_->SetTool(on ? DrawingSurface::Tool::Moment : DrawingSurface::Tool::Select);
        surface_->setFocus(Qt::OtherFocusReason);
    });
    connect(surface_, &DrawingSurface::toolChanged, this, &DrawingTools::ShowTool);
    connect(surface_, &DrawingSurface::selectionChanged, this, &DrawingTools::ShowSelected);
    connect(surface_, &DrawingSurface::editRequested, this, &DrawingTools::EditSelected);
    connect(nameField_, &FormulaField::equationChanged, this, [this] {
        if (!showing_)
            surface_->SetSelectedName(nameField_->Equation());
    });
    connect(magnitudeField_, &FormulaField::equationChanged, this, [this] {
        if (!showing_)
            surface_->SetSelectedMagnitude(magnitudeField_->Equation());
    });
    ShowSelected();
}

void DrawingTools::SetTask(bool magnitudes, RowNames names) {
    magnitudes_ = magnitudes;
    magnitudeLabel_->setVisible(magnitudes);
    magnitudeField_->setVisible(magnitudes);
    magnitudeReading_->setVisible(magnitudes);
    // A name is read as a name, never refused for not being declared.
    nameReading_->SetNames({});
    magnitudeReading_->SetNames(std::move(names));
    ShowTool();
    ShowSelected();
}

void DrawingTools::EditSelected() {
    if (surface_->Selected() >= 0)
        nameField_->setFocus(Qt::OtherFocusReason);
}

int DrawingTools::Arrange(int width) {
    const int buttonHeight = forceButton_->sizeHint().height();
    forceButton_->setGeometry(0, 0, forceButton_->sizeHint().width(), buttonHeight);
    momentButton_->setGeometry(forceButton_->geometry().right() + 1 + kGap, 0,
                               momentButton_->sizeHint().width(), buttonHeight);
    const int top = buttonHeight + kGap;
    const int fieldHeight = nameField_->height();
    nameLabel_->adjustSize();
    magnitudeLabel_->adjustSize();
    const int labelTop = top + (fieldHeight - nameLabel_->height()) / 2;
    nameLabel_->move(0, labelTop);
    const int nameLeft = nameLabel_->width() + kGap;
    nameField_->setGeometry(nameLeft, top, kNameWidth, fieldHeight);
    const int readingHeight = nameReading_->LineHeight();
    nameReading_->setGeometry(nameLeft, top + fieldHeight, kNameWidth, readingHeight);
    const int magnitudeLabelLeft = nameLeft + kNameWidth + 2 * kGap;
    magnitudeLabel_->move(magnitudeLabelLeft, labelTop);
    const int magnitudeLeft = magnitudeLabelLeft + magnitudeLabel_->width() + kGap;
    const int magnitudeWidth = std::max(60, width - magnitudeLeft);
    magnitudeField_->setGeometry(magnitudeLeft, top, magnitudeWidth, fieldHeight);
    magnitudeReading_->setGeometry(magnitudeLeft, top + fieldHeight, magnitudeWidth, readingHeight);
    const int height = top + fieldHeight + readingHeight;
    resize(std::max(width, magnitudeLeft + magnitudeWidth), height);
    return height;
}

// The fields show the selected object's texts, and take input only while one is selected.
void DrawingTools::ShowSelected() {
    const int selected = surface_->Selected();
    showing_ = true;
    if (selected < 0) {
        nameField_->SetEquation(kEmptyAnswerText);
        magnitudeField_->SetEquation(kEmptyAnswerText);
    } else {
        const drawing::DrawnObject& object =
            surface_->Objects()[static_cast<std::size_t>(selected)];
        nameField_->SetEquation(object.name.empty() ? kEmptyAnswerText : object.name);
        magnitudeField_->SetEquation(object.magnitude.empty() ? kEmptyAnswerText
                                                              : object.magnitude);
    }
    showing_ = false;
    nameField_->setEnabled(selected >= 0);
    magnitudeField_->setEnabled(selected >= 0 && magnitudes_);
}

void DrawingTools::ShowTool() {
    forceButton_->setChecked(surface_->CurrentTool() == DrawingSurface::Tool::Force);
    momentButton_->setChecked(surface_->CurrentTool() == DrawingSurface::Tool::Moment);
}

// Enter and Escape in a field give the keyboard back to the picture; Tab goes from the
// name to the magnitude and from the last field back to the picture.
bool DrawingTools::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        surface_->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Tab:
        if (watched == nameField_ && magnitudeField_->isVisible() && magnitudeField_->isEnabled())
            magnitudeField_->setFocus(Qt::TabFocusReason);
        else
            surface_->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_Backtab:
        if (watched == magnitudeField_)
            nameField_->setFocus(Qt::BacktabFocusReason);
        else
            surface_->setFocus(Qt::BacktabFocusReason);
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
