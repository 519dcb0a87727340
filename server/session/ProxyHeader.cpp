#include "session/ProxyHeader.h"

#include <algorithm>

namespace {

constexpr std::string_view kSignature("\r\n\r\n\0\r\nQUIT\n", 12);
constexpr std::size_t kFixedBytes = 16;

std::uint8_t Byte(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

} // namespace

ProxyHeader ReadProxyHeader(std::string_view bytes) {
    ProxyHeader header;
    const std::size_t compared = std::min(bytes.size(), kSignature.size());
    if (bytes.substr(0, compared) != kSignature.substr(0, compared)) {
        header.status = ProxyHeader::Status::Invalid;
        return header;
    }
    if (bytes.size() < kFixedBytes)
        return header;
    const std::uint8_t versionCommand = Byte(bytes, 12);
    const std::uint8_t familyProtocol = Byte(bytes, 13);
    const std::size_t length = kFixedBytes + (std::size_t{Byte(bytes, 14)} << 8 | Byte(bytes, 15));
    const bool proxied = versionCommand == 0x21;
    if ((versionCommand != 0x20 && !proxied) || length > MaxProxyHeaderBytes) {
        header.status = ProxyHeader::Status::Invalid;
        return header;
    }
    if (bytes.size() < length)
        return header;
    const std::size_t addressBytes = familyProtocol == 0x11 ? 4 : familyProtocol == 0x21 ? 16 : 0;
    if (proxied && addressBytes > 0) {
        // Source and destination addresses, then the source and destination ports.
        if (length < kFixedBytes + 2 * addressBytes + 4) {
            header.status = ProxyHeader::Status::Invalid;
            return header;
        }
        header.family = addressBytes == 4 ? 4 : 6;
        for (std::size_t k = 0; k < addressBytes; ++k)
            header.source[k] = Byte(bytes, kFixedBytes + k);
        const std::size_t port = kFixedBytes + 2 * addressBytes;
        header.sourcePort =
            static_cast<std::uint16_t>(Byte(bytes, port) << 8 | Byte(bytes, port + 1));
    }
    header.length = length;
    header.status = ProxyHeader::Status::Complete;
    return header;
}
