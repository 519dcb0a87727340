#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the line under an answer field says while the student types: the reading of the
// answer, or what keeps it from being read.
struct AnswerReading {
    enum class Kind {
        Blank,       // nothing typed yet: the line is empty
        Read,        // the reading, shown grey
        UnknownName, // readable, but a name the task does not declare: red, still sent
        Unreadable,  // red, and the answers are not sent
    };
    Kind kind = Kind::Blank;
    std::string line;    // UTF-8, the text of the line
    std::string refusal; // CP1251, for the message box when the row stops the sending
};

// The names an answer row may use: those the task declares and the names of the rows
// above it. A task that declares no names (a server that does not send them) leaves
// every name to the server, so no name is shown as unknown.
struct RowNames {
    std::vector<std::string> declared;
    std::vector<std::string> earlierRows;
    bool namesDeclared = false;
};

AnswerReading ReadAnswerRow(std::string_view cp1251Answer, const RowNames& names);
