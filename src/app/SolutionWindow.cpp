#include "app/SolutionWindow.h"

#include "app/SolutionContent.h"
#include "diagram/DiagramDocument.h"
#include "drawing/SolutionImage.h"
#include "platform/Cp1251.h"
#include "platform/QtCanvas.h"
#include "platform/QtText.h"
#include "protocol/Messages.h"
#include "tasklayout/QuestImage.h"

#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QVBoxLayout>

SolutionWindow::SolutionWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("solutionWindow");
    setWindowTitle(QString::fromUtf8("Решение"));
    setMinimumWidth(360);
    caption_ = new QLabel(this);
    caption_->setObjectName("solutionCaption");
    answerList_ = new QListWidget(this);
    answerList_->setObjectName("solutionAnswers");
    answerList_->setWordWrap(true);
    pictureLabel_ = new QLabel(this);
    pictureLabel_->setObjectName("solutionPicture");
    pictureLabel_->setAlignment(Qt::AlignCenter);
    legend_ = new QLabel(this);
    legend_->setObjectName("solutionLegend");
    legend_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(answerList_);
    layout->addWidget(pictureLabel_);
    layout->addWidget(legend_);
    layout->addStretch(1);
}

void SolutionWindow::ShowSolution(const SolutionMessage& solution) {
    const SolutionContent content = ReadSolutionContent(solution);
    setWindowTitle(QString::fromUtf8("Решение: ") + platform::ToQString(solution.task));
    caption_->setText(QString::fromUtf8("Верные ответы вашего варианта:"));
    answerList_->clear();
    for (const SolutionLine& line : content.rows)
        answerList_->addItem(QString::fromStdString(line.name + " = " + line.answer));
    for (const SolutionLine& line : content.magnitudes)
        answerList_->addItem(
            QString::fromStdString("на рисунке " + line.name + " = " + line.answer));
    if (content.rows.empty() && content.magnitudes.empty())
        answerList_->addItem(QString::fromUtf8("Ответов в строках нет."));
    answerList_->setFixedHeight(std::min(answerList_->sizeHintForRow(0) * answerList_->count() +
                                             2 * answerList_->frameWidth() + 4,
                                         240));

    picture_ = QImage();
    pictureLabel_->setVisible(content.drawing);
    legend_->setVisible(content.drawing);
    if (!content.drawing) {
        adjustSize();
        return;
    }
    std::string problem = DrawPicture(solution);
    if (problem.empty())
        problem = content.problem;
    pictureLabel_->setPixmap(QPixmap::fromImage(picture_));
    QString legend = QString::fromUtf8(
        content.drawn.empty()
            ? "Верный рисунок: силы синим, моменты красным. Вы рисунка не отправляли."
            : "Оранжевым — ваш последний отправленный рисунок; поверх него верный: силы "
              "синим, моменты красным.");
    if (!problem.empty())
        legend += "\n" + QString::fromStdString(problem);
    legend_->setText(legend);
    adjustSize();
}

std::string SolutionWindow::DrawPicture(const SolutionMessage& solution) {
    const SolutionContent content = ReadSolutionContent(solution);
    std::string script = solution.image;
    const QuestImageHeader header = ReadQuestImageHeader(script);
    picture_ = platform::SurfaceImage(header.size.width, header.size.height, devicePixelRatioF());
    platform::Status drawn = platform::Done{};
    {
        platform::QtCanvas canvas(&picture_);
        drawn = DrawQuestImage(context_, canvas, header.size, script, platform::kWhite);
        drawing::DrawStudentObjects(canvas, content.drawn);
        // The right drawing goes over the student's, in the diagram's own colours.
        const platform::Status over =
            diagram::DrawDiagramStatements(context_, drawing::SolutionStatements(content.expected));
        if (drawn)
            drawn = over;
    }
    context_.canvas = nullptr; // the canvas lived for this drawing only
    return platform::Cp1251ToUtf8(header.error.empty() ? drawn.Error().message : header.error);
}
