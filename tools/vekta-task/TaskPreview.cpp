#include "TaskPreview.h"

#include "app/HeadForm.h"
#include "platform/Error.h"

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>

#include <algorithm>

namespace {

// Waits past the window's short pause before it shows the pane.
void LetThePaneChange() {
    QEventLoop loop;
    QTimer::singleShot(250, &loop, &QEventLoop::quit);
    loop.exec();
}

int ContentBottom(const QWidget* content) {
    int bottom = 0;
    for (const QObject* child : content->children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget != nullptr && !widget->isHidden())
            bottom = std::max(bottom, widget->geometry().bottom() + 1);
    }
    return bottom;
}

} // namespace

int DefaultPaneWidth() {
    TClientVantor window;
    return window.ScrollBox2->width();
}

TaskPreview PreviewTask(const QuestSections& task, int paneWidth) {
    TClientVantor window;
    // The tool may show panes narrower than the window's least size allows.
    window.setMinimumSize(0, 0);
    window.resize(window.width() - window.ScrollBox2->width() + paneWidth, window.height());
    window.Label5->hide(); // the greeting is gone once the student has seen the task list
    TaskPreview preview;
    try {
        window.HandleQuest(BuildQuestMessage(task));
    } catch (const platform::Error& error) {
        preview.error = error.what();
    }
    LetThePaneChange();
    QWidget* content = window.ScrollBox2->widget();
    preview.picture = QImage(paneWidth, std::max(1, ContentBottom(content)), QImage::Format_RGB32);
    preview.picture.fill(window.palette().color(QPalette::Button));
    content->render(&preview.picture);
    return preview;
}
