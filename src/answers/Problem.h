#pragma once

#include "answers/TextStyle.h"

#include <cstddef>
#include <string>

namespace answers {

// What keeps an answer from being read, and where: `position` counts the characters of
// the text before the one at fault (0 is the first). An unknown name is the one problem
// that leaves the answer readable: the student is told, but may still send it.
struct Problem {
    enum class Code {
        Empty,            // nothing but spaces and level markers
        TooLong,          // more than MaxAnswerBytes
        TooDeep,          // brackets, signs and exponents nested beyond MaxDepth
        MissingClose,     // an opening bracket without its closing one
        MissingOpen,      // a closing bracket without its opening one
        EmptyBrackets,    // "()"
        MissingOperand,   // an operator with nothing after it, or before it
        MissingOperator,  // two operands side by side that make no product ("x 2", "m(")
        BadNumber,        // "1,2,3", "2."
        BadCharacter,     // a character that has no place in a formula
        BadGreek,         // the Greek prefix without a letter after it
        IndexWithoutName, // a subscript after something that is not a name
        FunctionBracket,  // a function name without its bracket
        UnknownName,      // a name that is not declared; subject: as typed (a key)
    };
    Code code = Code::Empty;
    std::size_t position = 0;
    std::string subject;    // the name or character concerned, a key in the notation
    std::string suggestion; // for an unknown name: the names it splits into, "m*g"
};

// True for every problem but the unknown name: such a text has no reading.
bool IsUnreadable(const Problem& problem);

// The problem for the student: "mg: нет такого обозначения; возможно, m*g?", or what is
// wrong and at which character ("не хватает закрывающей скобки (знак 5)").
std::string Describe(const Problem& problem, TextStyle style);

} // namespace answers
