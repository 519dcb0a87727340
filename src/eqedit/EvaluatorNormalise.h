#pragma once

#include "platform/Result.h"

#include <string>

namespace eqedit {

// Makes the level markers of a formula text minimal without changing what it means: of
// two markers in a row only the second counts, and a marker for the level already in
// force goes ("a#@b" becomes "ab", "x#2#3@" becomes "x#23@"). Works in place and returns
// the result.
std::string& Filter(std::string& text);

// Moves a subscript that follows a superscript in front of it, so that a subscripted name
// stays whole before its exponent ("R#2!A@" becomes "R!A#2@"), and rejects a second
// superscript or subscript marker inside the same level, with its message.
platform::Status SetIndexOrder(std::string& text);

// Replaces every occurrence of `name` that has a boundary character (+ - * / ( ) ^ @ #)
// or the edge of the text on both sides by `replacement`, or by `baseReplacement` where
// the name is the base of a power (followed by "#" or "^", and not preceded by "^").
// The search goes on after the inserted text, so a value that contains the name cannot
// make it grow forever.
void ReplaceName(std::string& text, const std::string& name, const std::string& replacement,
                 const std::string& baseReplacement);

inline void ReplaceName(std::string& text, const std::string& name,
                        const std::string& replacement) {
    ReplaceName(text, name, replacement, replacement);
}

} // namespace eqedit
