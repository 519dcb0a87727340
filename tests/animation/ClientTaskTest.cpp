// The kinematics task of the bank, received by the main window, animates in its window.

#include "animation/AnimationWindow.h"
#include "animation/StatementRewrite.h"

#include "app/MainWindow.h"
#include "diagram/DrawingContext.h"
#include "engine/FormulaText.h"
#include "platform/ErrorReport.h"
#include "platform/QtText.h"
#include "protocol/QuestSections.h"

#include <QFile>
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

// A value of the table, as the animation draws it (whole pixels).
int Number(const VariableTable& table, const std::string& name) {
    for (std::size_t i = 0; i < table.Count(); ++i)
        if (table.NameAt(i) == name)
            return std::stoi(animation::WholeNumberText(*TextToNumber(table.ValueAt(i))));
    ADD_FAILURE() << "no " << name;
    return 0;
}

TEST(ClientTaskTest, TheKinematicsTaskOfTheBankAnimates) {
    QFile file(QString::fromUtf8(VEKTA_BANK_DIR "/kinematik/Кривошип-2.task"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string payload = platform::ToCp1251(QString::fromUtf8(file.readAll()));
    std::vector<std::string> reports;
    MainWindow window;
    platform::SetErrorReportHandler([&](const std::string& m) { reports.push_back(m); });
    AnimationWindow& animationWindow = window.Animation();
    window.show();
    auto* animationButton = window.findChild<QToolButton*>("animationButton");
    ASSERT_NE(animationButton, nullptr);

    window.showTask(ReadQuestSections("<QUEST:" + std::to_string(payload.size()) + ">" + payload));
    ASSERT_TRUE(animationButton->isVisibleTo(&window));
    QTest::mouseClick(animationButton, Qt::LeftButton);
    ASSERT_TRUE(animationWindow.isVisible());
    // The crank OA lies along the x axis at t = 0, from O (260, 130) to the circle of A at
    // (350, 130).
    EXPECT_EQ(At(animationWindow.Bitmap(), 305, 130), platform::kBlack);
    EXPECT_EQ(At(animationWindow.Bitmap(), 350, 130), platform::kWhite);

    QTest::mouseClick(animationWindow.animateButton, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !animationWindow.frameTimer->isActive(); }, 20000));
    // The run ends at tend = 2.5 with the crank and the circle of A where the last values
    // put them.
    const VariableTable& values = animationWindow.Player().Model().Values;
    EXPECT_GE(Number(values, "t"), 2);
    const int xa = Number(values, "xa"), ya = Number(values, "ya");
    EXPECT_EQ(At(animationWindow.Bitmap(), xa, ya), platform::kWhite);
    EXPECT_EQ(At(animationWindow.Bitmap(), (260 + xa) / 2, (130 + ya) / 2), platform::kBlack);
    EXPECT_TRUE(reports.empty());

    platform::SetErrorReportHandler({});
}

} // namespace
