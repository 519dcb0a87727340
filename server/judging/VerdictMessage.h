#pragma once

#include "judging/Submission.h"

#include <string>

// What a student reads after sending: one line per answer, named as the reading writes
// it ("X_A: верно"); an answer "неверно" or "не принято" also shows how it was read, why it
// is not right and the author's text for it; an answer right with the errors of earlier ones
// reads "верно с учётом ошибки в X_A" and what it earns; then "Верно K из N". A MESSAGE is CP1251,
// which has no Greek letters: there a Greek letter is written by its Russian name ("омега·R"). A
// verdict that is not judged gives the notice that the answers were recorded without one.
std::string VerdictMessage(const SubmissionVerdict& verdict);

// The verdicts in one line for the instructor's records: "X_A: верно; Y_A: не принято;
// Z_A: верно с учётом ошибки в X_A, Y_A"; a wrong answer with a hint gives its code in
// brackets, "Z: неверно (sign)".
std::string VerdictSummary(const SubmissionVerdict& verdict);

// An answer's verdict in words (CP1251): "верно", "неверно", "не принято", or for a carried
// answer "верно с учётом ошибки в " and the rows it carries from, named as the reading
// writes them.
std::string VerdictText(const JudgedAnswer& answer);

// The words a carried verdict starts with (UTF-8), as records keep it.
inline constexpr const char* kCarriedVerdict = "верно с учётом ошибки в ";
