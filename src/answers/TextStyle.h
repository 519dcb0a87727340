#pragma once

#include <string>
#include <string_view>

namespace answers {

// How a text for people is written. Answers come in CP1251, which has no Greek letters:
// - Unicode: UTF-8, a Greek letter as the letter (ω), a product as "·";
// - Cp1251Words: CP1251 for a MESSAGE frame, a Greek letter by its Russian name
//   ("омега"), a product as CP1251's own middle dot.
enum class TextStyle { Unicode, Cp1251Words };

// Appends CP1251 bytes (a number, a Latin or Cyrillic name) in the style.
void AppendCp1251(std::string& out, std::string_view cp1251, TextStyle style);
// Appends a text written in the source as UTF-8 (the system's own words) in the style.
void AppendWords(std::string& out, std::string_view utf8, TextStyle style);
// Appends the Greek letter of a key typed after the Greek prefix ("w" is omega).
void AppendGreek(std::string& out, char key, TextStyle style);
// The product sign.
void AppendProductSign(std::string& out, TextStyle style);

} // namespace answers
