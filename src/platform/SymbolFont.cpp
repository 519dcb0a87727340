#include "platform/SymbolFont.h"

#include <array>
#include <cctype>

namespace platform {

namespace {

constexpr char32_t kEmpty = U' ';

// 0x20..0x7F: the ASCII half. Greek capitals and small letters sit at the Latin letters,
// a few signs replace ASCII punctuation.
constexpr std::array<char32_t, 96> kLowerHalf = {
    U' ',      U'!',      U'\u2200', U'#',      U'\u2203', U'%',      U'&',      U'\u220B',
    U'(',      U')',      U'\u2217', U'+',      U',',      U'\u2212', U'.',      U'/',
    U'0',      U'1',      U'2',      U'3',      U'4',      U'5',      U'6',      U'7',
    U'8',      U'9',      U':',      U';',      U'<',      U'=',      U'>',      U'?',
    U'\u2245', U'\u0391', U'\u0392', U'\u03A7', U'\u0394', U'\u0395', U'\u03A6', U'\u0393',
    U'\u0397', U'\u0399', U'\u03D1', U'\u039A', U'\u039B', U'\u039C', U'\u039D', U'\u039F',
    U'\u03A0', U'\u0398', U'\u03A1', U'\u03A3', U'\u03A4', U'\u03A5', U'\u03C2', U'\u03A9',
    U'\u039E', U'\u03A8', U'\u0396', U'[',      U'\u2234', U']',      U'\u22A5', U'_',
    U'\u203E', U'\u03B1', U'\u03B2', U'\u03C7', U'\u03B4', U'\u03B5', U'\u03D5', U'\u03B3',
    U'\u03B7', U'\u03B9', U'\u03C6', U'\u03BA', U'\u03BB', U'\u03BC', U'\u03BD', U'\u03BF',
    U'\u03C0', U'\u03B8', U'\u03C1', U'\u03C3', U'\u03C4', U'\u03C5', U'\u03D6', U'\u03C9',
    U'\u03BE', U'\u03C8', U'\u03B6', U'{',      U'|',      U'}',      U'\u223C', kEmpty,
};

// 0xA0..0xFF: arrows, relations, set and logic signs, and the pieces of tall brackets,
// integrals and braces.
constexpr std::array<char32_t, 96> kUpperHalf = {
    U'\u20AC', U'\u03D2', U'\u2032', U'\u2264', U'\u2044', U'\u221E', U'\u0192', U'\u2663',
    U'\u2666', U'\u2665', U'\u2660', U'\u2194', U'\u2190', U'\u2191', U'\u2192', U'\u2193',
    U'\u00B0', U'\u00B1', U'\u2033', U'\u2265', U'\u00D7', U'\u221D', U'\u2202', U'\u2022',
    U'\u00F7', U'\u2260', U'\u2261', U'\u2248', U'\u2026', U'\u23D0', U'\u23AF', U'\u21B5',
    U'\u2135', U'\u2111', U'\u211C', U'\u2118', U'\u2297', U'\u2295', U'\u2205', U'\u2229',
    U'\u222A', U'\u2283', U'\u2287', U'\u2284', U'\u2282', U'\u2286', U'\u2208', U'\u2209',
    U'\u2220', U'\u2207', U'\u00AE', U'\u00A9', U'\u2122', U'\u220F', U'\u221A', U'\u22C5',
    U'\u00AC', U'\u2227', U'\u2228', U'\u21D4', U'\u21D0', U'\u21D1', U'\u21D2', U'\u21D3',
    U'\u25CA', U'\u27E8', U'\u00AE', U'\u00A9', U'\u2122', U'\u2211', U'\u239B', U'\u239C',
    U'\u239D', U'\u23A1', U'\u23A2', U'\u23A3', U'\u23A7', U'\u23A8', U'\u23A9', U'\u23AA',
    kEmpty,    U'\u27E9', U'\u222B', U'\u2320', U'\u23AE', U'\u2321', U'\u239E', U'\u239F',
    U'\u23A0', U'\u23A4', U'\u23A5', U'\u23A6', U'\u23AB', U'\u23AC', U'\u23AD', kEmpty,
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

bool IsSymbolFontName(std::string_view fontName) {
    constexpr std::string_view kSymbol = "symbol";
    if (fontName.size() != kSymbol.size())
        return false;
    for (std::size_t i = 0; i < kSymbol.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(fontName[i])) != kSymbol[i])
            return false;
    return true;
}

char32_t SymbolFontToUnicode(unsigned char byte) {
    if (byte < 0x20)
        return byte;
    if (byte < 0x80)
        return kLowerHalf[byte - 0x20];
    if (byte < 0xA0)
        return kEmpty;
    return kUpperHalf[byte - 0xA0];
}

std::u32string SymbolTextToUnicode(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out += SymbolFontToUnicode(static_cast<unsigned char>(c));
    return out;
}

std::string SymbolTextToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes)
        AppendUtf8(out, SymbolFontToUnicode(static_cast<unsigned char>(c)));
    return out;
}

} // namespace platform
