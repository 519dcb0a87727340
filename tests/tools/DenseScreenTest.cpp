// The client's windows on a screen of device pixel ratio 2 draw what the tools draw with
// --scale 2: the statement, the diagram, the answer rows and the animation at the
// screen's full density.

#include "animation/AnimationWindow.h"
#include "app/MainWindow.h"
#include "app/TaskView.h"

#include "ImageToolRun.h"
#include "ProgramRun.h"

#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

const char* const kQuest = "A wheel of radius R rolls along a line; find the speed of B.";
const char* const kImage = "WIDTH(240);HEIGHT(120);LINE(20,20,200,90);CIRCLE(120,60,30);"
                           "TEXT(30,80,\"B\");";
const char* const kRequest = "vB;w;";

// Where two pictures of the same size differ.
int PixelsThatDiffer(const QImage& a, const QImage& b) {
    const QImage first = a.convertToFormat(QImage::Format_RGB32);
    const QImage second = b.convertToFormat(QImage::Format_RGB32);
    int differ = 0;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x)
            differ += first.pixel(x, y) != second.pixel(x, y);
    return differ;
}

} // namespace

TEST(DenseScreenTest, TheTaskViewDrawsAsThePreviewAtScaleTwo) {
    QTemporaryDir dir;
    const QString task = dir.filePath("task.task");
    std::ofstream(task.toStdString(), std::ios::binary)
        << "<QUEST>" << kQuest << "</QUEST><IMAGE>" << kImage << "</IMAGE><REQUEST>" << kRequest
        << "</REQUEST>";
    const QString png = dir.filePath("preview.png");
    const int width = MainWindow::kDefaultTaskPaneSize.width();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("QT_SCALE_FACTOR");
    const ProgramRun run =
        RunProgram(VEKTA_TASK_PATH,
                   {"preview", task, png, "--scale", "2", "--width", QString::number(width)}, env);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QImage preview(png);

    TaskView view;
    view.resize(MainWindow::kDefaultTaskPaneSize);
    view.PrepareStatementImage();
    view.HideGreeting();
    QuestSections sections;
    sections.quest = kQuest;
    sections.image = kImage;
    sections.request = kRequest;
    EXPECT_EQ(view.ShowTask(sections).Error().message, "");
    view.Arrange();
    view.show();
    ASSERT_EQ(view.devicePixelRatio(), 2.0);
    const auto* statement = view.widget()->findChild<QLabel*>("statement");
    ASSERT_NE(statement, nullptr);
    EXPECT_EQ(statement->pixmap().devicePixelRatio(), 2.0);

    const QImage shown = view.widget()->grab().toImage();
    ASSERT_EQ(shown.devicePixelRatio(), 2.0);
    ASSERT_EQ(preview.width(), 2 * width);
    // The view's content, but for the strip its scroll bar may take at the right.
    const QRect common(0, 0, std::min(shown.width(), preview.width()) - 40,
                       std::min(shown.height(), preview.height()));
    ASSERT_GT(common.height(), 2 * 200);
    EXPECT_EQ(PixelsThatDiffer(shown.copy(common), preview.copy(common)), 0);
}

TEST(DenseScreenTest, TheAnimationWindowDrawsAsTheToolAtScaleTwo) {
    const std::string script = "<VAR>CANVAS_WIDTH=300;CANVAS_HEIGHT=160;</VAR>"
                               "<OBJ>GROUND(150,90,260,0);OBJECT_CIRCLE(60,60,10);"
                               "TEXT(60,20,\"A\");GREKTEXT(10,100,\"w\");</OBJ>";
    const ImageToolRun run = RunImageTool(VEKTA_ANIMATE_PATH, script, {"--scale", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    AnimationWindow form;
    form.LoadAnimation(script);
    form.show();
    ASSERT_EQ(form.Bitmap().devicePixelRatio(), 2.0);
    ASSERT_EQ(form.Bitmap().size(), QSize(600, 320));
    ASSERT_EQ(run.image.size(), QSize(600, 320));
    EXPECT_EQ(PixelsThatDiffer(run.image, form.Bitmap()), 0);
}
