#pragma once

#include "course/TaskBank.h"

#include <QImage>

#include <string>

// A task as its student sees it in the task view: the statement wrapped at the pane's
// width, the diagram centred under it and the empty answer rows under that, each name
// field as wide as the widest name needs, drawn by the task view's own rendering on a
// canvas over an image (no widget), written as PNG. Drawing text needs a
// QGuiApplication (the offscreen platform serves); any thread may draw.
struct TaskPicture {
    std::string png;
    std::string problem; // UTF-8: why the diagram stopped, or the picture was not made
};

inline constexpr int kTaskPictureWidth = 600;

TaskPicture DrawTaskPicture(const BankTask& task, int width = kTaskPictureWidth);

// A task's diagram alone, as the task view draws it; `problem` (UTF-8) says why the
// drawing stopped, empty when it did not.
struct DiagramImage {
    QImage image;
    std::string problem;
};
DiagramImage DrawTaskDiagram(const std::string& cp1251Image);

// The picture written as PNG, into `png`; false when it cannot be.
bool WritePng(const QImage& image, std::string& png);
