#pragma once

#include <string>
#include <string_view>

namespace platform {

// The "Symbol" font keeps Greek letters and mathematical signs at the codes of Latin
// letters, digits and punctuation ("w" shows as omega). No Linux font does that, so text
// meant for it is translated to the Unicode characters it shows and drawn in an ordinary
// font that has them.

// True for the font name "Symbol" (font names compare without regard to case).
bool IsSymbolFontName(std::string_view fontName);

// The character the Symbol font shows for one byte. Bytes it leaves empty become a blank.
char32_t SymbolFontToUnicode(unsigned char byte);

// A whole byte string as those characters, as UTF-8 or as code points.
std::string SymbolTextToUtf8(std::string_view bytes);
std::u32string SymbolTextToUnicode(std::string_view bytes);

// The font family the translated text is drawn in.
inline constexpr const char* kSymbolSubstituteFamily = "DejaVu Sans";

} // namespace platform
