#pragma once

#include <QObject>
#include <QPoint>

#include <functional>
#include <vector>

class QScrollArea;
class QWidget;

// The mouse and the keyboard of the task view, apart from typing. Tab walks a ring: the
// answer rows, "Отправить результат", the menu, and back to the first row (Shift+Tab the
// other way); widgets hidden, disabled or taking no Tab are passed over. The wheel scrolls
// by three lines of statement text per notch; PageUp and PageDown scroll a page, also
// from inside an answer field. A click on the bare pane gives the keyboard to the click
// target; a click into a field that takes the focus leaves it there. A widget reached by
// Tab inside the pane is scrolled into view.
class TaskNavigation : public QObject {
    Q_OBJECT
public:
    // `lineHeight` is the height of one line of statement text, in pixels.
    TaskNavigation(QScrollArea* view, int lineHeight);

    // The widgets of the ring in the pane, in order (rows and the button); an empty list
    // means that no task is shown and Tab keeps its ordinary way.
    void SetPaneRing(std::function<std::vector<QWidget*>()> ring);
    // The widgets the ring goes through after the pane's, before turning back.
    void SetMenu(std::vector<QWidget*> menu);
    void SetClickTarget(QWidget* target) { clickTarget_ = target; }
    // Tab, the page keys and clicks are looked at in `widget` (and what it passes on).
    void Watch(QWidget* widget);

    int WheelStep() const { return 3 * lineHeight_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<QWidget*> Ring() const;
    bool MoveFocus(QWidget* from, bool forward);
    void ScrollByWheel(int angleDelta);
    void ScrollPages(int pages);
    bool InPane(const QWidget* widget) const;
    void GiveFocusOnClick(QWidget* watched, QPoint at);

    QScrollArea* view_;
    int lineHeight_;
    int wheelRest_ = 0; // eighths of a degree not yet scrolled (fine-grained wheels)
    std::function<std::vector<QWidget*>()> paneRing_;
    std::vector<QWidget*> menu_;
    QWidget* clickTarget_ = nullptr;
};

// The height of a line of statement text, which the wheel scrolls by.
int StatementLineHeight();
