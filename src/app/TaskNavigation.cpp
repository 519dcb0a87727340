#include "app/TaskNavigation.h"

#include "platform/QtCanvas.h"
#include "tasklayout/QuestTextLayout.h"

#include <QImage>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

// One notch of an ordinary wheel, in eighths of a degree.
constexpr int kNotch = 120;

bool TakesTab(const QWidget* widget) {
    return widget != nullptr && widget->isVisible() && widget->isEnabled() &&
           (widget->focusPolicy() & Qt::TabFocus) != 0;
}

// Tab and Shift+Tab alone: Ctrl+Tab and Alt+Tab belong to others.
int TabDirection(const QKeyEvent* key) {
    if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0)
        return 0;
    if (key->key() == Qt::Key_Backtab ||
        (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier) != 0))
        return -1;
    return key->key() == Qt::Key_Tab ? 1 : 0;
}

} // namespace

TaskNavigation::TaskNavigation(QScrollArea* view, int lineHeight)
    : QObject(view), view_(view), lineHeight_(std::max(1, lineHeight)) {
    view_->viewport()->installEventFilter(this);
    view_->installEventFilter(this);
}

bool TaskNavigation::InPane(const QWidget* widget) const {
    return widget != nullptr && (widget == view_ || view_->isAncestorOf(widget));
}

void TaskNavigation::SetPaneRing(std::function<std::vector<QWidget*>()> ring) {
    paneRing_ = std::move(ring);
}

void TaskNavigation::SetMenu(std::vector<QWidget*> menu) {
    menu_ = std::move(menu);
    for (QWidget* widget : menu_)
        widget->installEventFilter(this);
}

void TaskNavigation::Watch(QWidget* widget) {
    widget->installEventFilter(this);
}

std::vector<QWidget*> TaskNavigation::Ring() const {
    std::vector<QWidget*> ring = paneRing_ ? paneRing_() : std::vector<QWidget*>{};
    if (std::none_of(ring.begin(), ring.end(), TakesTab))
        return {};
    ring.insert(ring.end(), menu_.begin(), menu_.end());
    return ring;
}

// Moves the keyboard to the next (or previous) member of the ring that takes Tab; false
// when `from` is not in the ring, so that Tab goes its ordinary way.
bool TaskNavigation::MoveFocus(QWidget* from, bool forward) {
    const std::vector<QWidget*> ring = Ring();
    const auto at = std::find(ring.begin(), ring.end(), from);
    if (at == ring.end())
        return false;
    const auto count = static_cast<std::ptrdiff_t>(ring.size());
    std::ptrdiff_t index = at - ring.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        index = (index + (forward ? 1 : count - 1)) % count;
        QWidget* next = ring[static_cast<std::size_t>(index)];
        if (!TakesTab(next))
            continue;
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        if (view_->widget() != nullptr && view_->widget()->isAncestorOf(next))
            view_->ensureWidgetVisible(next);
        return true;
    }
    return true; // the only member that takes Tab keeps it
}

void TaskNavigation::ScrollByWheel(int angleDelta) {
    wheelRest_ += angleDelta;
    const int notches = wheelRest_ / kNotch;
    wheelRest_ -= notches * kNotch;
    QScrollBar* bar = view_->verticalScrollBar();
    bar->setValue(bar->value() - notches * WheelStep());
}

void TaskNavigation::ScrollPages(int pages) {
    QScrollBar* bar = view_->verticalScrollBar();
    bar->setValue(bar->value() + pages * bar->pageStep());
}

// A click anywhere in the pane but on a field that takes the keyboard by clicking gives
// the keyboard to the click target. The release is passed up from the widget clicked to
// the pane's widgets, its place mapped on the way, so the widget is found under it.
void TaskNavigation::GiveFocusOnClick(QWidget* watched, QPoint at) {
    if (clickTarget_ == nullptr || !clickTarget_->isVisible())
        return;
    const QWidget* clicked = watched->childAt(at);
    if (clicked == nullptr)
        clicked = watched;
    const bool takesClick = (clicked->focusPolicy() & Qt::ClickFocus) != 0 &&
                            clicked->isEnabled() && clicked != view_ &&
                            clicked != view_->viewport();
    if (!takesClick)
        clickTarget_->setFocus(Qt::MouseFocusReason);
}

bool TaskNavigation::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Wheel:
        if (watched != view_->viewport())
            break;
        ScrollByWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    case QEvent::MouseButtonRelease:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget != nullptr && InPane(widget))
            GiveFocusOnClick(widget, static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown) {
            if (key->modifiers() != Qt::NoModifier || !InPane(qobject_cast<QWidget*>(watched)))
                break;
            ScrollPages(key->key() == Qt::Key_PageDown ? 1 : -1);
            return true;
        }
        const int direction = TabDirection(key);
        if (direction != 0 && MoveFocus(qobject_cast<QWidget*>(watched), direction > 0))
            return true;
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

int StatementLineHeight() {
    QImage surface(1, 1, QImage::Format_RGB32); // measures only
    platform::QtCanvas measure(&surface);
    measure.SetFont(QuestBaseFont());
    return measure.TextHeight("Wg");
}
