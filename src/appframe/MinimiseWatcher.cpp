#include "appframe/MinimiseWatcher.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>

MinimiseWatcher::MinimiseWatcher(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

bool MinimiseWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::WindowStateChange || !watched->isWidgetType() ||
        !static_cast<QWidget*>(watched)->isWindow())
        return false;
    const bool was = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
    const bool is = static_cast<QWidget*>(watched)->windowState() & Qt::WindowMinimized;
    if (!was && is && OnMinimize)
        OnMinimize();
    else if (was && !is && OnRestore)
        OnRestore();
    return false;
}
