#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How many attempts at a task count and what each one after the first costs: a task's
// <ATTEMPTS>3; 10</ATTEMPTS> (at most 3, 10 % off per attempt after the first;
// <ATTEMPTS>3</ATTEMPTS> leaves the penalty at 0), or the bank's course.conf. By default
// attempts are unlimited and cost nothing.
struct AttemptRules {
    int maxAttempts = 0; // 0: unlimited
    double penaltyPercent = 0;
};

// The most attempts a task may allow.
inline constexpr int kMaxAttempts = 1000;

// Reads an ATTEMPTS section; nullopt and the reason (UTF-8) when it is not "N" or "N; P"
// with N in 1..kMaxAttempts and P a percentage in 0..100.
std::optional<AttemptRules> ReadAttempts(std::string_view text, std::string& problem);

// One judged submission: how many of its answers were right. A submission with an answer
// that was "не принято" is stored but is no attempt; it is not given here.
// One judged attempt: the credit its answers earned before the attempt's penalty (each
// answer right earns 1; a drawn answer its score, a fraction).
struct Attempt {
    double credited = 0;
    // Some of its answers are right only with the errors of earlier ones: part of the credit
    // is the course's carry share.
    bool carried = false;
};

// What an attempt (numbered from 1) earns: credited × (1 − penalty × (attempt − 1)),
// never below 0.
double AttemptScore(double credited, int attemptNumber, const AttemptRules& rules);

// The best score of the attempts in order, the ones beyond the limit left out (0 when
// there are none).
struct Standing {
    int attemptsUsed = 0;
    double bestCredited = 0;  // the credit of the best attempt, before its penalty
    double bestScore = 0;     // its score
    bool bestCarried = false; // its credit holds answers right with the errors they carry
};
Standing StandingOf(const std::vector<Attempt>& attempts, const AttemptRules& rules);

// Whether one more attempt may be judged.
bool AttemptsLeft(const std::vector<Attempt>& attempts, const AttemptRules& rules);

// A credit as a student reads it: one decimal at most, with the decimal comma ("2,4", "3").
std::string CreditText(double credit);

// The verdict's first line for an attempt (UTF-8): "Попытка 3 из 3. Засчитано 2,4 из 3 (80 %
// за 3-ю попытку)": a credit of three of three answers, at 80 %, so that a score that is not
// full never reads as full; "Попытка 3. ..." when attempts are unlimited.
std::string AttemptLine(int attemptNumber, double credited, int answers, const AttemptRules& rules);

// The answer to a submission once no attempt is left (UTF-8).
inline constexpr const char* kNoAttemptsLeft = "Попытки исчерпаны";
