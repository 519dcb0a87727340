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
    // What is sent for the row: the formula the line shows (set when it reads), and the
    // unit the answer ends in (CP1251; empty when it has none).
    std::optional<answers::Formula> formula;
    std::string unit;
};

// The names an answer row may use: those the task declares and the names of the rows
// above it (pi, ~p and g always). When the server does not tell the declared names (an
// older server, without a VARIABLES section) every name is left to it, so no name is shown
// as unknown.
struct RowNames {
    std::vector<std::string> declared;
    std::vector<std::string> earlierRows;
    bool namesDeclared = false;
    // The row's unit as the server tells it (CP1251, "кН"); empty for a row without one,
    // where no unit is read.
    std::string unit = {};
};

// In a row with a unit the answer may end in one: the line shows the quantity and its SI
// value ("-5 кН = -5000 Н"), a bare number in the row's unit; a unit that is not known is
// told in red, as an unknown name is.
AnswerReading ReadAnswerRow(std::string_view cp1251Answer, const RowNames& names);
