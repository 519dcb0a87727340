#include "app/NewLabelC.h"

#include <QMouseEvent>

TNewLabel::TNewLabel(QWidget* parent) : QLabel(parent) {}

void TNewLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
