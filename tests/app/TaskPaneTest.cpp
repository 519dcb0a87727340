// The task pane on its own, as the main window holds it: where the statement starts on the
// pane, and the pictures drawn again for a screen of another pixel density.

#include "app/MainWindow.h"
#include "app/TaskView.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <string>

namespace {

QuestSections Task(const std::string& quest) {
    QuestSections task;
    task.quest = quest;
    task.image = "LINE(10,20,110,20);";
    task.request = "X;";
    return task;
}

struct Pane {
    Pane() {
        view.resize(MainWindow::kDefaultTaskPaneSize);
        view.PrepareStatementImage();
        view.HideGreeting();
        view.show();
    }
    const QLabel* Label(const char* name) const { return view.findChild<QLabel*>(name); }

    // The first row of the pane's content where the statement's picture shows ink.
    int FirstInkRow() const {
        const QLabel* statement = Label("statement");
        const QImage picture = statement->pixmap().toImage();
        const QRgb background = view.palette().color(QPalette::Button).rgb();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixel(x, y) != background)
                    return statement->y() + y;
        return -1;
    }

    TaskView view;
};

} // namespace

// The statement's picture keeps a blank margin above its first line; the pane shows it only
// under a caption, which it then sets apart from the statement.
TEST(TaskPaneTest, TheStatementStartsAtThePanesTopWithoutACaptionAndUnderTheCaption) {
    Pane pane;
    pane.view.ShowTask(Task("First line of the statement, <sym>w</sym> = 3."));
    pane.view.Arrange();
    const int alone = pane.FirstInkRow();
    EXPECT_GE(alone, 2);
    EXPECT_LT(alone, 16);

    pane.view.ShowTask(Task("First line of the statement, <sym>w</sym> = 3."), "Caption");
    pane.view.Arrange();
    const QLabel* caption = pane.Label("taskCaption");
    EXPECT_TRUE(caption->isVisible());
    EXPECT_GT(pane.Label("statement")->y(), caption->geometry().bottom());
    EXPECT_GT(pane.FirstInkRow(), caption->geometry().bottom());

    // The caption gone again, the statement goes back to the top.
    pane.view.SetCaption({});
    EXPECT_EQ(pane.FirstInkRow(), alone);
}
