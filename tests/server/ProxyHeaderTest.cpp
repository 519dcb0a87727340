#include "session/ProxyHeader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kSignature("\r\n\r\n\0\r\nQUIT\n", 12);

std::string Header(char command, char family, const std::string& addresses) {
    return kSignature + command + family + static_cast<char>(addresses.size() >> 8) +
           static_cast<char>(addresses.size() & 0xFF) + addresses;
}

} // namespace

TEST(ProxyHeaderTest, ReadsTheStudentsAddressOfIpv4AndIpv6AndSkipsExtensions) {
    // 10.1.2.3:50000 -> 127.0.0.1:797, then a 4-byte extension; client data follows.
    const std::string v4 =
        Header('\x21', '\x11',
               std::string("\x0A\x01\x02\x03\x7F\x00\x00\x01\xC3\x50\x03\x1D", 12) +
                   std::string("\x04\x00\x01\x00", 4));
    const ProxyHeader header = ReadProxyHeader(v4 + "<LOGIN:3>a;b");
    ASSERT_EQ(header.status, ProxyHeader::Status::Complete);
    EXPECT_EQ(header.length, v4.size());
    EXPECT_EQ(header.family, 4);
    EXPECT_EQ(header.source[0], 10);
    EXPECT_EQ(header.source[3], 3);
    EXPECT_EQ(header.sourcePort, 50000);

    std::string addresses(36, '\0');
    addresses[0] = '\x20';
    addresses[15] = '\x07';
    const ProxyHeader v6 = ReadProxyHeader(Header('\x21', '\x21', addresses));
    ASSERT_EQ(v6.status, ProxyHeader::Status::Complete);
    EXPECT_EQ(v6.family, 6);
    EXPECT_EQ(v6.source[0], 0x20);
    EXPECT_EQ(v6.source[15], 7);

    // The balancer's own connection (LOCAL) names nobody.
    const ProxyHeader local = ReadProxyHeader(Header('\x20', '\x00', ""));
    EXPECT_EQ(local.status, ProxyHeader::Status::Complete);
    EXPECT_EQ(local.family, 0);
}

TEST(ProxyHeaderTest, EveryPrefixAsksForMoreAndWrongHeadersAreRefused) {
    const std::string whole =
        Header('\x21', '\x11', std::string("\x0A\x01\x02\x03\x7F\x00\x00\x01\xC3\x50\x03\x1D", 12));
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_EQ(ReadProxyHeader(whole.substr(0, size)).status, ProxyHeader::Status::Incomplete)
            << size;
    using Status = ProxyHeader::Status;
    EXPECT_EQ(ReadProxyHeader("<LOGIN:3>a;b").status, Status::Invalid);
    EXPECT_EQ(ReadProxyHeader("PROXY TCP4 1.2.3.4 5.6.7.8 1 2\r\n").status, Status::Invalid);
    EXPECT_EQ(ReadProxyHeader(Header('\x11', '\x11', std::string(12, '\0'))).status,
              Status::Invalid); // version 1 in the binary form
    EXPECT_EQ(ReadProxyHeader(Header('\x21', '\x11', std::string(8, '\0'))).status,
              Status::Invalid); // too short for two addresses and ports
    EXPECT_EQ(ReadProxyHeader(kSignature + "\x21\x11\xFF\xFF").status, Status::Invalid);
}
