#pragma once

#include "drawing/DrawingBoard.h"

#include <QString>
#include <QWidget>

#include <string>

class QPainter;

// The task's diagram as a drawing surface: laid over the diagram in the task view, it
// draws the student's forces and moments on it and turns the mouse and the keyboard into
// calls on the drawing board.
//
// Mouse: with the force tool a press sets the force's point (snapped to the picture's
// points within the reach) and the drag its direction (in steps of 5 degrees; with Shift
// freely); with the moment tool a press sets the point and the drag's turn about it the
// sense. Without a tool a press selects the object under it; dragging its arrowhead turns
// it, dragging the rest moves it.
// Keyboard: F and M add a force or a moment at the keyboard's point; the arrows go to the
// next point that way (Ctrl+arrows take the selected object along); Shift+arrows turn the
// selected force by 5 degrees, Ctrl+Shift+arrows by 45 (Left and Up counter-clockwise;
// a moment takes the sense); Space selects the next object at the point; Enter asks for
// the selected object's name; Delete removes it; Escape lets it go.
// Assistive technology finds a list of the drawn objects, each read as DescribeObject
// says, and hears each change.
class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    enum class Tool { Select, Force, Moment };

    explicit DrawingSurface(QWidget* parent = nullptr);

    // The picture to draw on: its script (CP1251), size and the reach of snapping. The
    // drawing is emptied.
    void SetPicture(const std::string& image, QSize size, double reach);
    // Objects put back (a draft); nothing is selected.
    void SetObjects(std::vector<drawing::DrawnObject> objects);
    const std::vector<drawing::DrawnObject>& Objects() const { return board_.Objects(); }
    const drawing::DrawingBoard& Board() const { return board_; }

    int Selected() const { return board_.Selected(); }
    // The selected object's name or magnitude field changed (CP1251).
    void SetSelectedName(const std::string& name);
    void SetSelectedMagnitude(const std::string& magnitude);

    Tool CurrentTool() const { return tool_; }
    void SetTool(Tool tool);

    // What each object is read as, and the last change told to assistive technology.
    QString ObjectText(int index) const;
    const QString& LastChange() const { return lastChange_; }

signals:
    // The drawing changed: an object added, moved, turned, renamed or removed.
    void drawingChanged();
    // Another object, or none, is selected.
    void selectionChanged();
    // Enter: the selected object's name is to be edited.
    void editRequested();
    // A tool placed its object and is put down.
    void toolChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    enum class Drag { None, Placing, Circling, Turning, Moving };

    drawing::Point At(const QPointF& position) const;
    void SetSelectedText(std::string drawing::DrawnObject::*field, const std::string& text);
    // Tells assistive technology of a change to the object `index` (its text, or `what`
    // when it is gone) and redraws.
    void Announce(QString what, int index, int eventType);
    void SelectionMoved();
    void DrawObject(QPainter& painter, const drawing::DrawnObject& object, bool selected) const;

    drawing::DrawingBoard board_;
    Tool tool_ = Tool::Select;
    Drag drag_ = Drag::None;
    drawing::Point pressAt_;      // where the drag started, snapped for a new object
    drawing::Point grabOffset_;   // from the grabbed point to the object's point
    drawing::Point lastPosition_; // of a moment's drag, to sum its turn
    double swept_ = 0;            // degrees the moment's drag turned, counter-clockwise
    bool dragged_ = false;        // the drag went farther than a click's tremor
    QString lastChange_;
};

// Makes assistive technology find every drawing surface as its list of objects.
void InstallDrawingSurfaceAccessibility();
