#include "app/ServerAddress.h"

#include "platform/Cp1251.h"
#include "platform/Trim.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view kTlsScheme = "tls://";

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

platform::Failure BadAddress(const std::string& typed) {
    return {platform::Utf8ToCp1251("Неверный адрес сервера: '") +
            std::string(platform::TrimBlanks(typed)) +
            platform::Utf8ToCp1251(
                "'. Адрес сервера пишется так: host, host:port или tls://host:port")};
}

bool StartsWithIgnoringCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualIgnoringCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

// A web address pasted from a browser or a letter: its scheme and a trailing "/" go, its
// host and port stay. Neither scheme means an encrypted connection; "tls://" does.
void DropWebScheme(std::string& text) {
    for (std::string_view scheme : {"http://", "https://"})
        if (StartsWithIgnoringCase(text, scheme)) {
            text.erase(0, scheme.size());
            if (!text.empty() && text.back() == '/')
                text.pop_back();
            return;
        }
}

// What no host name or address holds: a path, a scheme, spaces, user names.
bool Unreadable(const std::string& host) {
    return host.empty() || host.find_first_of(" \t/\\@?#[]") != std::string::npos;
}

// The port number, or nothing when the text is not a number from 1 to 65535.
std::optional<std::uint16_t> ParsePort(const std::string& text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value == 0 ||
        value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

} // namespace

platform::Result<ServerAddress> ParseServerAddress(const std::string& typed) {
    std::string text(platform::TrimBlanks(typed));
    ServerAddress address;
    if (StartsWithIgnoringCase(text, kTlsScheme)) {
        address.tls = true;
        text.erase(0, kTlsScheme.size());
        if (text.empty())
            return BadAddress(typed);
    } else {
        DropWebScheme(text);
    }
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string::npos)
            return BadAddress(typed);
        address.host = text.substr(1, close - 1);
        if (Unreadable(address.host))
            return BadAddress(typed);
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            const std::optional<std::uint16_t> port =
                rest.front() == ':' ? ParsePort(rest.substr(1)) : std::nullopt;
            if (!port)
                return BadAddress(typed);
            address.port = *port;
        }
        return address;
    }
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || text.find(':', colon + 1) != std::string::npos) {
        address.host = text; // no port, or a bare IPv6 address
        if (Unreadable(address.host))
            return BadAddress(typed);
        return address;
    }
    address.host = text.substr(0, colon);
    if (Unreadable(address.host))
        return BadAddress(typed);
    const std::optional<std::uint16_t> port = ParsePort(text.substr(colon + 1));
    if (!port)
        return BadAddress(typed);
    address.port = *port;
    return address;
}

std::string ServerAddress::HostPort() const {
    const bool bracketed = host.find(':') != std::string::npos;
    return (bracketed ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string ServerAddress::Text() const {
    return tls ? std::string(kTlsScheme) + HostPort() : HostPort();
}
