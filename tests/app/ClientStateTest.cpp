#include "app/ClientSettings.h"
#include "app/ReconnectSchedule.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ReconnectScheduleTest, WaitsDoubleUpToHalfAMinuteAndStartAgainAfterSuccess) {
    ReconnectSchedule schedule;
    std::vector<int> waits;
    for (int i = 0; i < 9; ++i)
        waits.push_back(schedule.NextDelaySeconds());
    EXPECT_EQ(waits, (std::vector<int>{1, 2, 4, 8, 16, 30, 30, 30, 30}));
    EXPECT_EQ(schedule.Tries(), 9);
    for (int i = 0; i < 10000; ++i)
        schedule.NextDelaySeconds();
    EXPECT_EQ(schedule.NextDelaySeconds(), 30);
    schedule.Reset();
    EXPECT_EQ(schedule.NextDelaySeconds(), 1);
    EXPECT_EQ(ReconnectWaitText(4), "Связь потеряна; повтор через 4 с");
}

TEST(ClientSettingsTest, TheLastLoginIsRememberedWithoutItsPassword) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/client.ini";
    EXPECT_FALSE(ClientSettings(ini).serverAddress());
    EXPECT_FALSE(ClientSettings(ini).userName());
    ClientSettings(ini).rememberLogin("vekta.example:797", "Иванов");
    const ClientSettings again(ini);
    EXPECT_EQ(again.serverAddress(), "vekta.example:797");
    EXPECT_EQ(again.userName(), "Иванов");
    // Device tokens are kept per server and user, whatever characters those hold.
    ClientSettings(ini).rememberDeviceToken("tls://vekta.example:797", "Иванов", "ab12");
    ClientSettings(ini).rememberDeviceToken("vekta.example:797", "Иванов", "cd34");
    EXPECT_EQ(again.deviceToken("tls://vekta.example:797", "Иванов"), "ab12");
    EXPECT_EQ(again.deviceToken("vekta.example:797", "Иванов"), "cd34");
    EXPECT_FALSE(again.deviceToken("vekta.example:797", "Петров"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("password"));
}

TEST(ClientSettingsTest, ADamagedOrAbsurdValueIsNotOffered) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/client.ini";
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[connection]\nserver=" + QByteArray(5000, 'x') + "\nuser=\n\x01\xff[[[\n");
    file.close();
    EXPECT_FALSE(ClientSettings(ini).serverAddress());
    EXPECT_FALSE(ClientSettings(ini).userName());
}
