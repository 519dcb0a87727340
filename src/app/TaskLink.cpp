#include "app/TaskLink.h"

#include <QMouseEvent>

TaskLink::TaskLink(QWidget* parent) : QLabel(parent) {}

void TaskLink::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
