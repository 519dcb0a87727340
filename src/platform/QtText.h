#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace platform {

// The widget boundary: CP1251 bytes to and from QString, through the one codec.
QString ToQString(std::string_view cp1251);
std::string ToCp1251(const QString& text);

// A UTF-8 literal of the source (a Russian caption or message) as CP1251 bytes.
std::string Cp(std::string_view utf8);

} // namespace platform
