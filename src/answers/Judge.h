#pragma once

#include "answers/Deadline.h"
#include "answers/DeclaredNames.h"
#include "answers/Read.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace answers {

// The three verdicts an answer can get. "Не принято" is an answer that cannot be read or
// that uses a name the task does not declare: it never counts as an attempt.
enum class Verdict { Right, Wrong, NotAccepted };

struct Judgement {
    Verdict verdict = Verdict::NotAccepted;
    ReadResult answer;                // how the answer was read
    const char* valueError = nullptr; // why a readable answer has no value (UTF-8)
    std::string referenceProblem;     // the reference cannot be read or evaluated
    // The deadline passed before the verdict was known: the verdict says nothing.
    bool outOfTime = false;
};

// The least number of trial points a formula over declared names is judged at.
inline constexpr int MinTrials = 12;

// Judges an answer against its reference, both read by Read() with the declared names.
// Without names in either, one evaluation decides. Otherwise the names take values drawn
// from their ranges by a generator seeded by the reference and the declared names (so
// every program judging the same pair draws the same points), and the answer must agree
// with the reference within the relative tolerance (percent) at MinTrials points. A point
// where the reference has no value, or is within 1e-9 of zero, is drawn again; a
// reference that is zero wherever it has a value is compared with 1e-9 as its tolerance.
// A reference that cannot be read or has no value anywhere is told in referenceProblem.
// Past the deadline the judgement stops, between trial points or inside an evaluation,
// and says outOfTime.
Judgement Judge(std::string_view reference, std::string_view answer,
                const std::vector<DeclaredName>& names, double tolerancePercent,
                const Deadline& deadline = {});

// A relative tolerance in percent as an author writes it ("1", "0,5"): a number above 0
// and at most 100; nullopt otherwise.
std::optional<double> ReadTolerancePercent(std::string_view text);

// Whether a value agrees with a reference within a relative tolerance in percent.
bool WithinTolerance(double value, double reference, double tolerancePercent);

// "верно", "неверно", "не принято".
const char* VerdictWord(Verdict verdict);

// Why an answer is not right, for the student (empty when there is nothing to add): the
// reading's problem for "не принято", the failed evaluation for "неверно".
std::string Reason(const Judgement& judgement, TextStyle style);

} // namespace answers
