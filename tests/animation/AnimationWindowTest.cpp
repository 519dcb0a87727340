// The animation window under the offscreen platform: its buttons, its timer and its picture.

#include "animation/AnimationWindow.h"

#include "diagram/DrawingContext.h"
#include "platform/ErrorReport.h"

#include <QFrame>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

platform::Color At(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return platform::Rgb(qRed(p), qGreen(p), qBlue(p));
}

// Still: a white circle at (300, 60); final frame: one at (100, 60).
const char* const kScript = "<VAR>tend=0.2;</VAR><OBJ>LINE(10,10,50,10);</OBJ>"
                            "<FIRSTOBJ>CIRCLE(300,60,10);</FIRSTOBJ>"
                            "<LASTOBJ>CIRCLE(100,60,10);</LASTOBJ>";

struct Reports {
    std::vector<std::string> messages;
    Reports() {
        platform::SetErrorReportHandler(
            [this](const std::string& message) { messages.push_back(message); });
    }
    ~Reports() { platform::SetErrorReportHandler({}); }
};

TEST(AnimationWindowTest, OpensWithTheStillPictureAndRunsToTheFinalFrame) {
    AnimationWindow form;
    auto* animate = form.findChild<QToolButton*>("animateButton");
    auto* close = form.findChild<QToolButton*>("closeButton");
    ASSERT_NE(animate, nullptr);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(animate->text(), QString::fromUtf8("Анимировать"));
    EXPECT_EQ(close->text(), QString::fromUtf8("Закрыть"));
    EXPECT_EQ(form.size(), QSize(513, 246));

    form.LoadAnimation(kScript);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.size(), QSize(514, 245));
    EXPECT_EQ(form.buttonPanel->geometry(), QRect(0, 204, 514, 41));

    form.show();
    EXPECT_EQ(animate->width(), 257);
    EXPECT_EQ(close->geometry(), QRect(258, 4, 254, 33));
    EXPECT_EQ(At(form.Bitmap(), 300, 60), platform::kWhite);
    EXPECT_EQ(At(form.Bitmap(), 100, 60), diagram::FrameColor);
    EXPECT_FALSE(form.frameTimer->isActive());

    QTest::mouseClick(animate, Qt::LeftButton);
    EXPECT_TRUE(form.frameTimer->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!form.frameTimer->isActive(), 10000);
    EXPECT_EQ(At(form.Bitmap(), 300, 60), diagram::FrameColor);
    EXPECT_EQ(At(form.Bitmap(), 100, 60), platform::kWhite);
    const QImage shown = form.grab().toImage();
    EXPECT_EQ(At(shown, 100, 60), platform::kWhite);
}

TEST(AnimationWindowTest, ClosingDuringARunStopsItAndReopeningShowsTheStill) {
    AnimationWindow form;
    std::string endless = kScript;
    endless.replace(endless.find("tend=0.2"), 8, "tend=99999");
    form.LoadAnimation(endless);
    form.show();
    QTest::mouseClick(form.animateButton, Qt::LeftButton);
    // The run's frames leave out the still picture's circle.
    QTRY_VERIFY_WITH_TIMEOUT(At(form.Bitmap(), 300, 60) == diagram::FrameColor, 10000);
    ASSERT_TRUE(form.frameTimer->isActive());

    QTest::mouseClick(form.closeButton, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.frameTimer->isActive());
    form.show();
    EXPECT_FALSE(form.frameTimer->isActive());
    EXPECT_EQ(At(form.Bitmap(), 300, 60), platform::kWhite);
}

TEST(AnimationWindowTest, AnErrorInAFrameIsReportedOnceAndEndsTheRun) {
    Reports reports;
    AnimationWindow form;
    form.LoadAnimation("<OBJ>LINE(1.5,0,1,1);</OBJ>");
    form.show();
    ASSERT_EQ(reports.messages.size(), 1u);
    EXPECT_EQ(reports.messages[0], "'1.5' is not a valid integer value");

    QTest::mouseClick(form.animateButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!form.frameTimer->isActive(), 10000);
    QTest::qWait(20);
    EXPECT_EQ(reports.messages.size(), 2u);

    // The next run starts afresh; a good script draws again.
    form.LoadAnimation(kScript);
    form.hide();
    form.show();
    EXPECT_EQ(At(form.Bitmap(), 300, 60), platform::kWhite);
    EXPECT_EQ(reports.messages.size(), 2u);
}

// Frames as heavy as the work budget allows, one after another: the student's click on
// "Закрыть" still goes through the event loop between two of them and ends the run.
TEST(AnimationWindowTest, AHeavyRunStillAnswersTheCloseButton) {
    Reports reports;
    std::string heavy = "<VAR>tend=99999;</VAR><FUN>x=260+200*sin(t);</FUN><OBJ>";
    for (int i = 0; i < diagram::kMaxPrimitives - 10; ++i)
        heavy += "CIRCLE(x,135,100);";
    AnimationWindow form;
    form.LoadAnimation(heavy + "</OBJ>");
    form.show();
    QTest::mouseClick(form.animateButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(form.Player().Model().Values.GetValue("t").value > 0, 10000);
    ASSERT_TRUE(form.frameTimer->isActive());

    // The click is queued as the window system would deliver it, not sent at once.
    QTimer::singleShot(0, form.closeButton,
                       [&form] { QTest::mouseClick(form.closeButton, Qt::LeftButton); });
    QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 10000);
    EXPECT_FALSE(form.frameTimer->isActive());
    EXPECT_TRUE(reports.messages.empty());
}

} // namespace
