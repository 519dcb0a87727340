#pragma once

#include "answers/Formula.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the line under an answer field says while the student types: the reading of the
// answer, or what keeps it from being read.
struct AnswerReading {
    enum class Kind {
        Blank,       // nothing typed yet: the line is empty
        Read,        // the reading, shown grey
        UnknownName, // readable, but a name the task does not declare: red, not sent
        Unreadable,  // red, and the answers are not sent
    };
    Kind kind = Kind::Blank;
    std::string line;    // UTF-8, the text of the line
    std::string refusal; // CP1251, for the message box when the row stops the sending
    // What is sent for the row: the formula the line shows (set when it reads).
    std::optional<answers::Formula> formula;
};

// The names an answer row may use: those the task declares and the names of the rows
// above it (pi, ~p and g always). When the server does not tell the declared names (an
// older server, without a VARIABLES section) every name is left to it, so no name is shown
// as unknown.
struct RowNames {
    std::vector<std::string> declared;
    std::vector<std::string> earlierRows;
    bool namesDeclared = false;
};

AnswerReading ReadAnswerRow(std::string_view cp1251Answer, const RowNames& names);
