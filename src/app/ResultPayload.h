#pragma once

#include <string>
#include <vector>

// The payload of SETRESULTQUEST, built from the answer rows. An answer may use the names
// of the rows above it: each occurrence of an earlier row's name (a plain byte search) is
// replaced by that row's typed answer, cleaned and in brackets, and the search goes on after
// the inserted text. The first answer goes as typed; every later one is cleaned by the
// engine's CleanFormula. Each item is the name field's text, the answer and ";".

struct AnswerRowText {
    std::string name;      // as REQUEST gave it
    std::string nameField; // the name field's formula (" name @=")
    std::string answer;    // the input field's formula as typed
};

// Longest answer text that substitution may produce; beyond it nothing is sent.
inline constexpr std::size_t kMaxPreparedAnswer = 65536;

struct ResultPayload {
    bool ok = true;
    std::string payload;
    // When not ok: the row that stops the sending, and the message (CP1251) to show with
    // that row's name-field formula.
    std::size_t row = 0;
    std::string message;
};

// A row whose brackets do not balance is never sent empty: the result is not ok and
// carries the engine's bracket message.
ResultPayload BuildResultPayload(const std::vector<AnswerRowText>& rows);
