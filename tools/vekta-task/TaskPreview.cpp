#include "TaskPreview.h"

#include "app/MainWindow.h"
#include "app/TaskView.h"
#include "platform/QtCanvas.h"

#include <algorithm>

namespace {

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
    return MainWindow::kDefaultTaskPaneSize.width();
}

TaskPreview PreviewTask(const QuestSections& task, int paneWidth) {
    TaskView view;
    view.resize(paneWidth, MainWindow::kDefaultTaskPaneSize.height());
    view.PrepareStatementImage();
    view.HideGreeting(); // the greeting is gone once the student has seen the task list
    TaskPreview preview;
    preview.error = view.ShowTask(task).Error().message;
    view.Arrange();
    QWidget* content = view.widget();
    // At the view's own device pixel ratio, so that its sharp pictures stay sharp.
    preview.picture = platform::SurfaceImage(paneWidth, std::max(1, ContentBottom(content)),
                                             view.devicePixelRatio());
    preview.picture.fill(view.palette().color(QPalette::Button));
    content->render(&preview.picture);
    return preview;
}
