// Parking the program in the notification area: minimising any window hides the program
// and shows the icon, a double click brings it back; without a notification area the
// program is never hidden.

#include "appframe/TrayIcon.h"
#include "appframe/ApplicationTray.h"
#include "appframe/ApplicationWindows.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        tray = parking.Icon();
        tray->TrayAvailable = [this] { return trayAvailable; };
        main.show();
    }
    void TearDown() override { appframe::RestoreApplication(); }

    void Minimise() { main.setWindowState(main.windowState() | Qt::WindowMinimized); }
    bool Parked() const { return !main.isVisible() && tray->Visible(); }
    bool Back() const {
        return main.isVisible() && !(main.windowState() & Qt::WindowMinimized) && !tray->Visible();
    }

    bool trayAvailable = true;
    ApplicationTray parking;
    QWidget form; // another window of the program
    TrayIcon* tray = nullptr;
    QWidget main;
};

TEST_F(TrayIconTest, MinimisingParksAndADoubleClickOfAnyButtonRestores) {
    EXPECT_EQ(tray->Hint(), platform::Cp("Клиент системы \"ВЕКТА\""));
    EXPECT_FALSE(tray->Visible());
    form.show();
    Minimise();
    EXPECT_TRUE(Parked());
    EXPECT_FALSE(form.isVisible()); // the whole program leaves the task bar
    EXPECT_TRUE(tray->Hide);

    tray->Activated(QSystemTrayIcon::Trigger); // a single click does not restore
    EXPECT_TRUE(Parked());
    tray->Activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(Back());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(tray->Hide);

    Minimise();
    tray->Activated(QSystemTrayIcon::Context);
    EXPECT_TRUE(Parked());
    tray->Activated(QSystemTrayIcon::Context); // a right double click
    EXPECT_TRUE(Back());
}

TEST_F(TrayIconTest, RestoringByTheWindowSystemAlsoRemovesTheIcon) {
    Minimise();
    ASSERT_TRUE(Parked());
    main.setWindowState(main.windowState() & ~Qt::WindowMinimized);
    EXPECT_FALSE(tray->Visible());
}

TEST_F(TrayIconTest, WithoutANotificationAreaTheProgramStaysOnTheTaskBar) {
    trayAvailable = false;
    Minimise();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(tray->Visible());
    EXPECT_FALSE(appframe::ApplicationHidden());
    const platform::Result<bool> shown = tray->SetVisible(true);
    ASSERT_FALSE(shown.Ok());
    EXPECT_EQ(shown.Error().message, "Cannot Create System Shell Notification Icon");
    EXPECT_FALSE(tray->Visible());
}

TEST(TrayIconHint, LongHintsAreIgnored) {
    TrayIcon tray;
    tray.SetHint(std::string(63, 'a'));
    tray.SetHint(std::string(64, 'b'));
    EXPECT_EQ(tray.Hint(), std::string(63, 'a'));
}

} // namespace
