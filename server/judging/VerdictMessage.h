#pragma once

#include "judging/Submission.h"

#include <string>

// What a student reads after sending: one line per answer, named as the reading writes
// it ("X_A: верно"); an answer "неверно" or "не принято" also shows how it was read and
// why it is not right; then "Верно K из N". A MESSAGE is CP1251, which has no Greek
// letters: there a Greek letter is written by its Russian name ("омега·R"). A verdict
// that is not judged gives the notice that the answers were recorded without one.
std::string VerdictMessage(const SubmissionVerdict& verdict);

// The verdicts in one line for the instructor's records: "X_A: верно; Y_A: не принято"; a
// wrong answer with a hint gives its code in brackets, "Z: неверно (sign)".
std::string VerdictSummary(const SubmissionVerdict& verdict);
