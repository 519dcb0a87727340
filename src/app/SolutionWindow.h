#pragma once

#include "diagram/DrawingContext.h"

#include <QImage>
#include <QWidget>

#include <string>

class QLabel;
class QListWidget;
struct SolutionMessage;

// "Решение": a task's solution as the server sent it once the course allowed, in a window
// apart from the task view. Each answer row's reference answer as the reading line reads
// it; for a drawn answer, the diagram with the student's last drawing in orange and the
// right drawing over it in the diagram's own colours, and the magnitudes it asks for.
class SolutionWindow : public QWidget {
    Q_OBJECT
public:
    explicit SolutionWindow(QWidget* parent = nullptr);

    void ShowSolution(const SolutionMessage& solution);
    // The picture shown (drawn at the screen's pixel ratio); null for a task without a
    // drawn answer.
    const QImage& Picture() const { return picture_; }

private:
    // Draws the diagram, the student's drawing and the right one; the message of what could
    // not be drawn (UTF-8), or empty text.
    std::string DrawPicture(const SolutionMessage& solution);

    QLabel* caption_;
    QListWidget* answerList_;
    QLabel* pictureLabel_;
    QLabel* legend_;
    QImage picture_;
    diagram::DrawingContext context_;
};
