#include "app/DrawingSurface.h"

#include "answers/Read.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kAngleStep = 5;
constexpr double kCoarseAngleStep = 45;
// A drag shorter than this is a click: a force keeps its default direction (up).
constexpr double kClickTremor = 4;
constexpr double kDefaultForceAngle = 90;

const QColor kForceColour(0, 0, 255); // as a force of the diagram is drawn
const QColor kMomentColour(255, 0, 0);
const QColor kSelectedColour(0, 150, 0);
const QColor kCursorColour(255, 128, 0);

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

QPointF ToWidget(drawing::Point at) {
    return {at.x, at.y};
}

// The arrowhead of a line ending at `tip` pointing along `angle` (degrees, y up).
QPolygonF ArrowHead(QPointF tip, double angle) {
    const double back = Radians(angle + 180);
    const double spread = Radians(22);
    const double length = 10;
    return QPolygonF{
        tip, tip + QPointF(length * std::cos(back + spread), -length * std::sin(back + spread)),
        tip + QPointF(length * std::cos(back - spread), -length * std::sin(back - spread))};
}

// "добавлена сила ...", "добавлен момент ...": the verb agrees with the object.
QString Told(const char* forceVerb, const char* momentVerb, const drawing::DrawnObject& object,
             const QString& text) {
    return QString::fromUtf8(object.kind == drawing::ObjectKind::Force ? forceVerb : momentVerb) +
           " " + text;
}

std::string NameShown(const std::string& field) {
    const std::optional<std::string> key = drawing::FieldNameKey(field);
    return key ? answers::NameText(*key) : std::string();
}

} // namespace

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent) {
    setObjectName("drawingSurface");
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    InstallDrawingSurfaceAccessibility();
}

void DrawingSurface::SetPicture(const std::string& image, QSize size, double reach) {
    board_.SetPicture(image, reach);
    resize(size);
    tool_ = Tool::Select;
    drag_ = Drag::None;
    lastChange_.clear();
    update();
}

void DrawingSurface::SetObjects(std::vector<drawing::DrawnObject> objects) {
    board_.SetObjects(std::move(objects));
    update();
    emit selectionChanged();
}

void DrawingSurface::SetTool(Tool tool) {
    tool_ = tool;
    emit toolChanged();
}

QString DrawingSurface::ObjectText(int index) const {
    if (index < 0 || index >= static_cast<int>(Objects().size()))
        return {};
    return QString::fromStdString(
        drawing::DescribeObject(Objects()[static_cast<std::size_t>(index)], board_.Labels()));
}

void DrawingSurface::SetSelectedName(const std::string& name) {
    SetSelectedText(&drawing::DrawnObject::name, name);
}

void DrawingSurface::SetSelectedMagnitude(const std::string& magnitude) {
    SetSelectedText(&drawing::DrawnObject::magnitude, magnitude);
}

// A field of the selected object takes its text, and the change is told.
void DrawingSurface::SetSelectedText(std::string drawing::DrawnObject::*field,
                                     const std::string& text) {
    const int selected = board_.Selected();
    if (selected < 0 || Objects()[static_cast<std::size_t>(selected)].*field == text)
        return;
    if (field == &drawing::DrawnObject::name)
        board_.SetName(selected, text);
    else
        board_.SetMagnitude(selected, text);
    Announce(ObjectText(selected), selected, QAccessible::NameChanged);
}

void DrawingSurface::Announce(QString what, int index, int eventType) {
    lastChange_ = std::move(what);
    update();
    emit drawingChanged();
    QAccessibleEvent changed(this, static_cast<QAccessible::Event>(eventType));
    if (index >= 0)
        changed.setChild(index);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent told(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&told);
}

// The selection moved: the fields follow it, and a screen reader reads the object now
// selected.
void DrawingSurface::SelectionMoved() {
    update();
    emit selectionChanged();
    if (board_.Selected() < 0 || !hasFocus())
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(board_.Selected());
    QAccessible::updateAccessibility(&focus);
}

// A place of the mouse in the diagram's pixels, kept on the picture: a drag that leaves
// it moves nothing off it.
drawing::Point DrawingSurface::At(const QPointF& position) const {
    return {std::clamp(std::round(position.x()), 0.0, static_cast<double>(width() - 1)),
            std::clamp(std::round(position.y()), 0.0, static_cast<double>(height() - 1))};
}

// ---- painting ----

void DrawingSurface::DrawObject(QPainter& painter, const drawing::DrawnObject& object,
                                bool selected) const {
    const QPointF at = ToWidget(object.at);
    const std::string name = NameShown(object.name);
    if (object.kind == drawing::ObjectKind::Force) {
        const QColor colour = selected ? kSelectedColour : kForceColour;
        const QPointF tip = at + QPointF(drawing::kArrowLength * std::cos(Radians(object.angle)),
                                         -drawing::kArrowLength * std::sin(Radians(object.angle)));
        painter.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(at, tip - (tip - at) * (6 / drawing::kArrowLength));
        painter.setPen(QPen(colour, 1));
        painter.setBrush(colour);
        painter.drawPolygon(ArrowHead(tip, object.angle));
        painter.setBrush(Qt::white);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawEllipse(at, 2.5, 2.5);
        painter.setPen(colour);
        if (!name.empty())
            painter.drawText(tip + QPointF(4, -4), QString::fromStdString(name));
        return;
    }
    const QColor colour = selected ? kSelectedColour : kMomentColour;
    const double r = drawing::kMomentRadius;
    const QRectF box(at.x() - r, at.y() - r, 2 * r, 2 * r);
    // An arc of 270 degrees from the right, its head at the end that shows the sense.
    const double start = object.ccw ? -45 : 225;
    const double span = object.ccw ? 270 : -270;
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(box, static_cast<int>(start * 16), static_cast<int>(span * 16));
    const double end = start + span;
    const QPointF tip = at + QPointF(r * std::cos(Radians(end)), -r * std::sin(Radians(end)));
    painter.setBrush(colour);
    painter.setPen(QPen(colour, 1));
    painter.drawPolygon(ArrowHead(tip, end + (object.ccw ? 90 : -90)));
    painter.setBrush(Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawEllipse(at, 2.5, 2.5);
    painter.setPen(colour);
    if (!name.empty())
        painter.drawText(at + QPointF(r + 3, -r), QString::fromStdString(name));
}

void DrawingSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool showPoints = hasFocus() || tool_ != Tool::Select || drag_ != Drag::None;
    if (showPoints) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(128, 128, 128, 140));
        for (const drawing::Point& p : board_.Points())
            painter.drawEllipse(ToWidget(p), 2, 2);
    }
    for (std::size_t k = 0; k < Objects().size(); ++k)
        DrawObject(painter, Objects()[k], static_cast<int>(k) == board_.Selected());
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(kCursorColour, 1.5, Qt::DashLine));
        painter.drawEllipse(ToWidget(board_.Cursor()), 7, 7);
        painter.setPen(QPen(kCursorColour, 1, Qt::DotLine));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

// ---- mouse ----

void DrawingSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const drawing::Point at = At(event->position());
    dragged_ = false;
    if (tool_ == Tool::Force || tool_ == Tool::Moment) {
        pressAt_ = board_.Snap(at);
        lastPosition_ = at;
        swept_ = 0;
        if (tool_ == Tool::Force) {
            board_.AddForce(pressAt_, kDefaultForceAngle);
            drag_ = Drag::Placing;
        } else {
            board_.AddMoment(pressAt_, true);
            drag_ = Drag::Circling;
        }
        SelectionMoved();
        return;
    }
    const drawing::ObjectHit hit = board_.ObjectAt(at);
    board_.Select(hit.index);
    drag_ = hit.index < 0 ? Drag::None : hit.head ? Drag::Turning : Drag::Moving;
    if (hit.index >= 0) {
        const drawing::Point point = Objects()[static_cast<std::size_t>(hit.index)].at;
        grabOffset_ = {point.x - at.x, point.y - at.y};
        pressAt_ = point;
    }
    SelectionMoved();
}

void DrawingSurface::mouseMoveEvent(QMouseEvent* event) {
    const drawing::Point at = At(event->position());
    const bool free = (event->modifiers() & Qt::ShiftModifier) != 0;
    if (std::hypot(at.x - pressAt_.x, at.y - pressAt_.y) >= kClickTremor)
        dragged_ = true;
    switch (drag_) {
    case Drag::None:
        return;
    case Drag::Placing:
    case Drag::Turning: {
        if (!dragged_)
            return;
        const double angle = drawing::DirectionAngle(pressAt_, at);
        board_.SetSelectedAngle(free ? std::round(angle)
                                     : drawing::RoundedAngle(angle, kAngleStep));
        break;
    }
    case Drag::Circling: {
        // The turn of the drag about the moment's point, summed move by move.
        const double before = drawing::DirectionAngle(pressAt_, lastPosition_);
        const double now = drawing::DirectionAngle(pressAt_, at);
        const bool farEnough = std::hypot(lastPosition_.x - pressAt_.x,
                                          lastPosition_.y - pressAt_.y) >= kClickTremor &&
                               std::hypot(at.x - pressAt_.x, at.y - pressAt_.y) >= kClickTremor;
        if (farEnough)
            swept_ += std::remainder(now - before, 360.0);
        lastPosition_ = at;
        if (swept_ != 0)
            board_.SetSelectedSense(swept_ > 0);
        break;
    }
    case Drag::Moving:
        board_.MoveSelected(board_.Snap({at.x + grabOffset_.x, at.y + grabOffset_.y}));
        break;
    }
    update();
}

void DrawingSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || drag_ == Drag::None) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const Drag finished = drag_;
    drag_ = Drag::None;
    const int selected = board_.Selected();
    if (finished == Drag::Placing || finished == Drag::Circling) {
        tool_ = Tool::Select;
        emit toolChanged();
        Announce(Told("добавлена", "добавлен", Objects()[static_cast<std::size_t>(selected)],
                      ObjectText(selected)),
                 selected, QAccessible::ObjectCreated);
        // A new object is named at once.
        emit editRequested();
        return;
    }
    if (dragged_)
        Announce(ObjectText(selected), selected, QAccessible::NameChanged);
    update();
}

// ---- keyboard ----

void DrawingSurface::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int selected = board_.Selected();
    drawing::Heading heading = drawing::Heading::Left;
    bool arrow = true;
    switch (event->key()) {
    case Qt::Key_Left:
        heading = drawing::Heading::Left;
        break;
    case Qt::Key_Right:
        heading = drawing::Heading::Right;
        break;
    case Qt::Key_Up:
        heading = drawing::Heading::Up;
        break;
    case Qt::Key_Down:
        heading = drawing::Heading::Down;
        break;
    default:
        arrow = false;
    }
    if (arrow) {
        if ((modifiers & Qt::ShiftModifier) != 0) {
            const double step =
                (modifiers & Qt::ControlModifier) != 0 ? kCoarseAngleStep : kAngleStep;
            const bool counterClockwise =
                heading == drawing::Heading::Left || heading == drawing::Heading::Up;
            if (selected >= 0) {
                board_.TurnSelected(counterClockwise ? step : -step);
                Announce(ObjectText(selected), selected, QAccessible::NameChanged);
            }
        } else if ((modifiers & Qt::ControlModifier) != 0) {
            if (selected >= 0) {
                board_.MoveSelectedToward(heading);
                Announce(ObjectText(selected), selected, QAccessible::NameChanged);
            }
        } else {
            board_.MoveCursor(heading);
            SelectionMoved();
        }
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_F:
    case Qt::Key_M: {
        if (modifiers != Qt::NoModifier)
            break;
        const int added = event->key() == Qt::Key_F
                              ? board_.AddForce(board_.Cursor(), kDefaultForceAngle)
                              : board_.AddMoment(board_.Cursor(), true);
        Announce(Told("добавлена", "добавлен", Objects()[static_cast<std::size_t>(added)],
                      ObjectText(added)),
                 added, QAccessible::ObjectCreated);
        SelectionMoved();
        event->accept();
        return;
    }
    case Qt::Key_Space:
        if (board_.SelectNextAtCursor())
            SelectionMoved();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected >= 0)
            emit editRequested();
        event->accept();
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (selected >= 0) {
            const QString gone =
                Told("удалена", "удалён", Objects()[static_cast<std::size_t>(selected)],
                     ObjectText(selected));
            board_.DeleteSelected();
            Announce(gone, selected, QAccessible::ObjectDestroyed);
            SelectionMoved();
        }
        event->accept();
        return;
    case Qt::Key_Escape:
        if (selected >= 0 || tool_ != Tool::Select) {
            board_.Select(-1);
            SetTool(Tool::Select);
            SelectionMoved();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void DrawingSurface::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void DrawingSurface::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}
