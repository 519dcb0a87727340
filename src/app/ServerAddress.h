#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <string>

// The server address as typed in the main window: "host", "host:port" or
// "[IPv6]:port"; a bare IPv6 address ("::1") is a host. Without a port the port is 797.
// Written after "tls://", the connection is encrypted and the server's certificate checked.
struct ServerAddress {
    static constexpr std::uint16_t DefaultPort = 797;

    std::string host;
    std::uint16_t port = DefaultPort;
    bool tls = false;

    // "host:port", an IPv6 host in brackets, as the student reads it on the state line.
    std::string HostPort() const;
    // The address as it is typed again: HostPort() after "tls://" when encrypted.
    std::string Text() const;
};

// Reads a typed address; fails with a message for the user when the port is not a
// number from 1 to 65535 or the brackets do not close.
platform::Result<ServerAddress> ParseServerAddress(const std::string& typed);
