#pragma once

#include <string>
#include <string_view>

namespace platform {

// Windows-1251 <-> UTF-8. All protocol and formula text is CP1251 bytes; these two
// functions are the only place where it meets Unicode. A character that CP1251 cannot
// hold becomes "?"; a malformed UTF-8 sequence becomes "?" as well.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view cp1251);

// The Unicode code point of one CP1251 byte (0x98, unassigned, maps to U+FFFD).
char32_t Cp1251ToUnicode(unsigned char byte);

// The CP1251 byte of a code point, or '?' when it has none.
char UnicodeToCp1251(char32_t codePoint);

// Appends one code point of the Basic Multilingual Plane as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace platform
