#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The binary header (version 2) a TCP load balancer sends first on each connection it
// passes on, naming the address the connection really came from:
//   12 signature bytes, version and command (0x20 LOCAL, 0x21 PROXY), address family and
//   protocol (0x11 TCP over IPv4, 0x21 TCP over IPv6, others carry no usable address),
//   a 16-bit big-endian length of what follows, then the source and destination
//   addresses, the two ports, and optional extensions (skipped).
struct ProxyHeader {
    enum class Status { Incomplete, Invalid, Complete };
    Status status = Status::Incomplete;
    std::size_t length = 0;                // Complete: bytes the header takes, extensions included
    int family = 0;                        // 4 or 6 when a source address was given, else 0 (the
                                           // balancer's own connection, e.g. a health check)
    std::array<std::uint8_t, 16> source{}; // the first 4 bytes for IPv4
    std::uint16_t sourcePort = 0;
};

// Reads the header at the start of the bytes received so far. Incomplete asks for more;
// Invalid is final (not this header, or one over MaxProxyHeaderBytes).
ProxyHeader ReadProxyHeader(std::string_view bytes);

constexpr std::size_t MaxProxyHeaderBytes = 16 + 512;
