#include "app/PaintMarks.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace {

double MonotonicMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

// Watches every paint of the application; a milestone's mark is written once the paint
// and what follows it in the same turn of the event loop are done.
class PaintMarks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType())
            Note(static_cast<QWidget*>(watched));
        return false;
    }

private:
    void Note(QWidget* widget) {
        const QString name = widget->objectName();
        const char* what = name == "mainWindow"          ? "window"
                           : name.startsWith("taskLink") ? "list"
                           : name == "statement"         ? "task"
                                                         : nullptr;
        if (what == nullptr)
            return;
        const QPoint centre = widget->mapToGlobal(widget->rect().center());
        QTimer::singleShot(0, this, [what, centre] {
            std::fprintf(stderr, "vekta-mark %s %.3f %d %d\n", what, MonotonicMilliseconds(),
                         centre.x(), centre.y());
            std::fflush(stderr);
        });
    }
};

} // namespace

void InstallPaintMarks(QObject* application) {
    if (qEnvironmentVariableIsSet("VEKTA_PAINT_MARKS"))
        application->installEventFilter(new PaintMarks(application));
}
