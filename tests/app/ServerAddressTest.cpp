#include "app/ServerAddress.h"
#include "platform/Cp1251.h"

#include <gtest/gtest.h>

TEST(ServerAddressTest, PortIsOptionalAndDefaultsTo797) {
    const ServerAddress plain = *ParseServerAddress("10.0.0.5");
    EXPECT_EQ(plain.host, "10.0.0.5");
    EXPECT_EQ(plain.port, 797);
    const ServerAddress named = *ParseServerAddress(" vekta.local:8797 ");
    EXPECT_EQ(named.host, "vekta.local");
    EXPECT_EQ(named.port, 8797);
    const ServerAddress v6 = *ParseServerAddress("[::1]:1797");
    EXPECT_EQ(v6.host, "::1");
    EXPECT_EQ(v6.port, 1797);
    EXPECT_EQ(ParseServerAddress("[fe80::1]")->port, 797);
    EXPECT_EQ(ParseServerAddress("::1")->host, "::1");
    // Written back as the student reads it in the state line and the reports.
    EXPECT_EQ(v6.Text(), "[::1]:1797");
    EXPECT_EQ(ParseServerAddress("vekta.local")->Text(), "vekta.local:797");
}

TEST(ServerAddressTest, BadPortsAreRefusedWithAMessage) {
    for (const char* typed : {"host:", "host:0", "host:65536", "host:8o", "[::1", "[::1]x"}) {
        const platform::Result<ServerAddress> address = ParseServerAddress(typed);
        ASSERT_FALSE(address) << typed;
        EXPECT_EQ(address.Error().message,
                  platform::Utf8ToCp1251("Неверный адрес сервера: '") + typed +
                      platform::Utf8ToCp1251("'. Укажите адрес, адрес:порт или [IPv6]:порт."));
    }
}
