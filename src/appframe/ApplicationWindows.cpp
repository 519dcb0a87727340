#include "appframe/ApplicationWindows.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace appframe {

namespace {

std::vector<QPointer<QWidget>>& Parked() {
    static std::vector<QPointer<QWidget>> windows;
    return windows;
}

bool Minimised(const QWidget* window) {
    return (window->windowState() & Qt::WindowMinimized) != 0;
}

std::vector<QWidget*> VisibleWindows() {
    std::vector<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isWindow() && widget->isVisible())
            windows.push_back(widget);
    }
    return windows;
}

void Unminimise(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
}

} // namespace

void HideApplication() {
    // The minimised ones first, so that the window the user minimised comes back in front.
    std::vector<QWidget*> windows = VisibleWindows();
    std::stable_partition(windows.begin(), windows.end(), Minimised);
    for (QWidget* window : windows) {
        if (window->isModal())
            continue;
        Parked().emplace_back(window);
        window->hide();
    }
}

void RestoreApplication() {
    std::vector<QPointer<QWidget>> parked;
    parked.swap(Parked());
    QWidget* front = nullptr;
    for (const QPointer<QWidget>& window : parked) {
        if (window.isNull())
            continue;
        if (front == nullptr)
            front = window;
        Unminimise(window);
        window->show();
    }
    for (QWidget* window : VisibleWindows()) {
        if (Minimised(window)) {
            if (front == nullptr)
                front = window;
            Unminimise(window);
        }
    }
    if (front != nullptr) {
        front->raise();
        front->activateWindow();
    }
}

bool ApplicationHidden() {
    return !Parked().empty();
}

} // namespace appframe
