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
    for (const char* typed :
         {"host:", "host:0", "host:65536", "host:8o", "[::1", "[::1]x", "", "ftp://host",
          "http://host/path", "host/", "user@host:797", "my host", "http://", "[]:797"}) {
        const platform::Result<ServerAddress> address = ParseServerAddress(typed);
        ASSERT_FALSE(address) << typed;
        EXPECT_EQ(address.Error().message,
                  platform::Utf8ToCp1251("Неверный адрес сервера: '") + typed +
                      platform::Utf8ToCp1251(
                          "'. Адрес сервера пишется так: host, host:port или tls://host:port"));
    }
}

TEST(ServerAddressTest, APastedWebAddressGivesItsHostAndPortUnencrypted) {
    struct Row {
        const char* typed;
        const char* host;
        int port;
    };
    for (const Row& row : {Row{"http://127.0.0.1:7970", "127.0.0.1", 7970},
                           Row{"http://127.0.0.1:7970/", "127.0.0.1", 7970},
                           Row{" HTTPS://vekta.local/ ", "vekta.local", 797},
                           Row{"https://[::1]:1797", "::1", 1797}}) {
        const platform::Result<ServerAddress> address = ParseServerAddress(row.typed);
        ASSERT_TRUE(address) << row.typed;
        EXPECT_EQ(address->host, row.host) << row.typed;
        EXPECT_EQ(address->port, row.port) << row.typed;
        EXPECT_FALSE(address->tls) << row.typed;
    }
}

TEST(ServerAddressTest, TlsSchemeMakesTheConnectionEncrypted) {
    const ServerAddress secure = *ParseServerAddress(" TLS://vekta.local ");
    EXPECT_TRUE(secure.tls);
    EXPECT_EQ(secure.host, "vekta.local");
    EXPECT_EQ(secure.port, 797);
    const ServerAddress v6 = *ParseServerAddress("tls://[fe80::1]:1797");
    EXPECT_TRUE(v6.tls);
    EXPECT_EQ(v6.host, "fe80::1");
    EXPECT_EQ(v6.port, 1797);
    EXPECT_EQ(ParseServerAddress("tls://::1")->host, "::1");
    // The state line shows host and port; typed again (remembered settings), the scheme stays.
    EXPECT_EQ(v6.HostPort(), "[fe80::1]:1797");
    EXPECT_EQ(v6.Text(), "tls://[fe80::1]:1797");
    EXPECT_EQ(ParseServerAddress(v6.Text())->Text(), v6.Text());
    EXPECT_FALSE(ParseServerAddress("10.0.0.5:797")->tls);
    for (const char* typed : {"tls://", "tls://host:0", "tls://[::1"})
        EXPECT_FALSE(ParseServerAddress(typed)) << typed;
}
