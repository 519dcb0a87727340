#pragma once

#include "protocol/QuestSections.h"

#include <QImage>

#include <string>

// What a student sees once the task has arrived: the whole content of the task view pane
// (statement, diagram box, answer rows, the send button), drawn by the client's own task
// view with the pane paneWidth wide, as tall as that content, in the pane's coordinates,
// at the application's device pixel ratio (the picture has that many more pixels).
struct TaskPreview {
    QImage picture;
    std::string error; // the message the client would report for this task (CP1251)
};

// The pane's width in the main window's default size.
int DefaultPaneWidth();

// Needs a QApplication.
TaskPreview PreviewTask(const QuestSections& task, int paneWidth);
