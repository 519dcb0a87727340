#pragma once

#include <string_view>

namespace platform {

namespace detail {

inline std::string_view TrimOf(std::string_view text, std::string_view around) {
    const std::size_t first = text.find_first_not_of(around);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(around) - first + 1);
}

} // namespace detail

// The text without the spaces and tabs around it. Every other byte stays, CP1251 letters
// and line breaks among them: a typed line keeps what the user put in it.
inline std::string_view TrimBlanks(std::string_view text) {
    return detail::TrimOf(text, " \t");
}

// The text without the spaces, tabs and line-break characters around it: a line of a file
// read whether it ends in "\n" or "\r\n".
inline std::string_view TrimWhitespace(std::string_view text) {
    return detail::TrimOf(text, " \t\r\n");
}

} // namespace platform
