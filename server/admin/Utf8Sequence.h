#pragma once

#include <cstddef>
#include <string_view>

// The length of the valid UTF-8 sequence that starts at `i` of `text` (1 to 4 bytes), or 0
// when the bytes there are no valid sequence (a stray continuation byte, an overlong
// two-byte form, a sequence cut short).
inline std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80             ? 1
                               : (lead & 0xE0) == 0xC0 ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    if (length == 0 || (length == 2 && lead < 0xC2) || i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    return length;
}
