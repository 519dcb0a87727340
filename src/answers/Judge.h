#pragma once

#include "answers/Deadline.h"
#include "answers/DeclaredNames.h"
#include "answers/Read.h"
#include "answers/TypicalMistakes.h"

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
    // For a wrong answer: the typical mistake it looks like (None when hints are off or
    // none fits).
    Hint hint;
    // Units (CP1251): the reference's, and the one the answer was read in; a bare number
    // in a row with a unit is read in the reference's unit (unitFromReference).
    std::string referenceUnit;
    std::string answerUnit;
    bool unitFromReference = false;
    // Why an answer with a unit or a number was not accepted, or why its unit is wrong
    // (UTF-8): "кх: нет такой единицы", "кг — масса, а нужна сила", "укажите единицу",
    // "мало значащих цифр: 2, нужно не меньше 3".
    std::string quantityProblem;
};

// The least number of trial points a formula over declared names is judged at.
inline constexpr int MinTrials = 12;

// How close an answer must come to its reference: within `percent` of it, and where the
// reference is zero (but for rounding) within `zero` of zero.
struct Tolerance {
    double percent = 1.0;
    double zero = 1e-9;
};

// The reference cannot be judged against: it has a value at fewer than MinTrials of the
// points drawn from the declared ranges (the system's own words, UTF-8).
inline constexpr const char* kTooFewPoints =
    "эталонный ответ нельзя проверить: меньше 12 точек, где он вычисляется; измените "
    "диапазоны";

// How an answer is judged, beyond its reference and the declared names.
struct JudgeOptions {
    Tolerance tolerance;
    Deadline deadline;
    // The names of the answer rows before this one: always names, never units.
    std::vector<std::string> earlierRows;
    // A bare number where the reference has a unit is "не принято" rather than read in
    // the reference's unit.
    bool unitsRequired = false;
    // The least number of significant figures a number answer must show; 0: any.
    int significantFigures = 0;
    // Whether a wrong answer is told the typical mistake it looks like.
    bool hints = true;
};

// Judges an answer against its reference, both read by Read() with the declared names.
// Without names in either, one evaluation decides. Otherwise the names take values drawn
// from their ranges by a generator seeded by the reference and the declared names (so
// every program judging the same pair draws the same points) until the reference has a
// value at MinTrials of them (a bounded number of draws; fewer is the reference's
// problem, kTooFewPoints). At each such point the answer must agree with the reference:
// within the relative tolerance, with a slack of a billionth of the reference for
// decimals stored in binary, or, where the reference is zero but for rounding, within the
// absolute tolerance for zero. An answer with no value at some of the points is wrong; at
// every point, it is not accepted (it says nothing), with the evaluation's reason. A
// reference that cannot be read or has no value anywhere is told in referenceProblem.
// Past the deadline the judgement stops, between trial points or inside an evaluation,
// and says outOfTime.
Judgement Judge(std::string_view reference, std::string_view answer,
                const std::vector<DeclaredName>& names, const Tolerance& tolerance,
                const Deadline& deadline = {});

// The same with units, significant figures and hints: a reference and an answer may end
// in a unit ("-F/2 кН", "5000 Н"); the answer is converted to the reference's unit before
// it is compared. A wrong answer gets a hint when options.hints is set.
Judgement JudgeAnswer(std::string_view reference, std::string_view answer,
                      const std::vector<DeclaredName>& names, const JudgeOptions& options);

// A relative tolerance in percent as an author writes it ("1", "0,5"): a number above 0
// and at most 100; nullopt otherwise.
std::optional<double> ReadTolerancePercent(std::string_view text);

// An absolute tolerance for zero references ("1e-6", "0,001"): a number above 0 and at
// most 1e6; nullopt otherwise.
std::optional<double> ReadZeroTolerance(std::string_view text);

// A task's <TOLERANCE>: the percentage, then optionally ";" and the tolerance for zero
// ("1", "1; 1e-6", " 0,5 ;1e-3 "); nullopt when either part is out of its range.
std::optional<Tolerance> ReadTolerance(std::string_view text);

// Whether a value agrees with a reference within a relative tolerance in percent, a
// billionth of the reference allowed on top for decimals stored in binary.
bool WithinTolerance(double value, double reference, double tolerancePercent);

// "верно", "неверно", "не принято".
const char* VerdictWord(Verdict verdict);

// Why an answer is not right, for the student (empty when there is nothing to add): the
// reading's problem or the reference's for "не принято", the failed evaluation for
// "неверно" and for an answer with no value anywhere; a unit's or a figure count's
// problem; then the hint.
std::string Reason(const Judgement& judgement, TextStyle style);

} // namespace answers
