#pragma once

#include "answers/Problem.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace answers {

// The pieces of an answer text. Spaces are dropped; the level markers become the
// opening and closing of an exponent (a "#" at the baseline opens one, an "@" inside it
// closes it, the end of the text closes one left open; markers that change nothing are
// dropped); a name takes its subscript ("!" or "_") with it.
struct Token {
    enum class Kind {
        Number, // text: as typed ("1,6E-19"), an angle in degrees with "°" ("30°"); value
        Word,   // text: the letters (a key, "~x" for a Greek letter); index: the subscript
        Plus,
        Minus,
        Times,
        Divide,
        Caret,
        Open,
        Close,
        ExponentOpen,
        ExponentClose,
        End,
    };
    Kind kind = Kind::End;
    std::size_t position = 0;
    std::string text;
    std::string index;
    double value = 0;
};

// A number may be followed by "e" or "E", an optional sign and digits: its power of ten
// ("1,6E-19"). Where a task knows a name "e" or "E" (or that letter with digits after
// it), that letter is the name instead: "2E-3" is then 2·E-3.
struct ExponentLetters {
    bool lower = true; // "e" starts a power of ten
    bool upper = true; // "E" starts a power of ten
};

std::variant<std::vector<Token>, Problem> Tokenize(std::string_view cp1251Text,
                                                   ExponentLetters letters = {});

// The exponent letters that the known name keys leave to numbers.
ExponentLetters ExponentLettersBeside(const std::vector<std::string>& knownKeys);

// Whether a CP1251 byte is a letter of a name (Latin or Cyrillic).
bool IsNameLetter(unsigned char c);

} // namespace answers
