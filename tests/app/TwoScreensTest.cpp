// A task pane whose window moves between screens of different pixel density draws its
// pictures again at the density of the screen it is on.

#include "app/MainWindow.h"
#include "app/TaskView.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

QScreen* Screen(const char* name) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == QLatin1String(name))
            return screen;
    return nullptr;
}

QuestSections Task() {
    QuestSections task;
    task.quest = "A wheel of radius R rolls along a line; find the speed of <sym>w</sym>.";
    task.image = "WIDTH(240);HEIGHT(120);LINE(20,20,200,90);CIRCLE(120,60,30);TEXT(30,80,\"B\");";
    task.request = "vB;";
    return task;
}

// A pane showing the task, its window's top-left corner at `corner`.
void ShowOn(TaskView& view, QPoint corner) {
    view.move(corner);
    view.resize(MainWindow::kDefaultTaskPaneSize);
    view.show();
    QApplication::processEvents();
    view.PrepareStatementImage();
    view.HideGreeting();
    view.ShowTask(Task());
    view.Arrange();
}

QImage Statement(const TaskView& view) {
    return view.findChild<QLabel*>("statement")->pixmap().toImage();
}

} // namespace

TEST(TwoScreensTest, APaneMovedToADenserScreenDrawsItsPicturesAgainAtItsDensity) {
    const QScreen* plain = Screen("plain");
    const QScreen* dense = Screen("dense");
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(dense, nullptr);
    ASSERT_EQ(dense->devicePixelRatio(), 2.0);
    const QPoint onPlain = plain->geometry().topLeft() + QPoint(10, 10);
    const QPoint onDense = dense->geometry().topLeft() + QPoint(10, 10);

    TaskView moved;
    ShowOn(moved, onPlain);
    ASSERT_EQ(moved.devicePixelRatio(), 1.0);
    EXPECT_EQ(Statement(moved).devicePixelRatio(), 1.0);

    moved.move(onDense);
    QApplication::processEvents();
    ASSERT_EQ(moved.devicePixelRatio(), 2.0);
    // The same picture as a pane that was on the dense screen from the start.
    TaskView born;
    ShowOn(born, onDense);
    const QImage afterMove = Statement(moved);
    EXPECT_EQ(afterMove.devicePixelRatio(), 2.0);
    EXPECT_EQ(afterMove.size(), Statement(born).size());
    EXPECT_TRUE(afterMove == Statement(born));

    // And back.
    moved.move(onPlain);
    QApplication::processEvents();
    EXPECT_EQ(Statement(moved).devicePixelRatio(), 1.0);
}
