#pragma once

#include "answers/Read.h"
#include "platform/Result.h"

#include <string>
#include <vector>

// The payload of SETRESULTQUEST, built from the answer rows as their reading lines read
// them. Each answer is read with the names the task declares and the names of the rows
// above it, and sent as that reading written back in the notation: what the line shows is
// what the server judges. An earlier row's name (a whole name, never a part of a longer
// name, of a subscript or of a function) stands in a later answer for that row's answer as
// sent, in brackets, so that a chain of rows reaches the server with only the declared names
// left in it. An answer that ends in a unit is sent as its formula, "*" and the unit
// ("-5*кН"): the unit stays apart from the formula however the spaces went. Nothing is sent while a
// row cannot be read, or (when the server declared the names) uses a name the task does not
// declare.

struct AnswerRowText {
    std::string name;      // as REQUEST gave it
    std::string answer;    // the input field's formula as typed
    std::string unit = {}; // the row's unit as QUEST gave it (CP1251); empty for none
};

// Longest answer the server reads; an answer that grows beyond it by substitution is not
// sent.
inline constexpr std::size_t kMaxPreparedAnswer = answers::MaxAnswerBytes;

// Why the answers are not sent: the message (CP1251) to show with the name-field formula
// of the row that stops the sending.
struct RowRefusal : platform::Failure {
    std::size_t row = 0;
};

// The payload, or the refusal of the first row that cannot be sent.
using ResultPayload = platform::Result<std::string, RowRefusal>;

// `declared`: the names of the task's VARIABLES; `namesDeclared`: whether the server told
// them (even none). Without them every name is left to the server.
ResultPayload BuildResultPayload(const std::vector<AnswerRowText>& rows,
                                 const std::vector<std::string>& declared = {},
                                 bool namesDeclared = false);
