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
        Number, // text: as typed
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

std::variant<std::vector<Token>, Problem> Tokenize(std::string_view cp1251Text);

// Whether a CP1251 byte is a letter of a name (Latin or Cyrillic).
bool IsNameLetter(unsigned char c);

} // namespace answers
