#pragma once

#include <random>
#include <string>
#include <string_view>
#include <vector>

// Judges one answer against its reference with the expression engine. A reference
// without variables is a number: the answer must evaluate within the tolerance of it. A
// reference over variables is a formula: the answer must agree with it within the
// tolerance at random values of the variables drawn from 0.5 to 5, in every one of at
// least MinTrials trials. An answer the engine cannot evaluate is wrong, with the reason.
// All texts are CP1251.
struct AnswerVerdict {
    bool correct = false;
    std::string reason; // why a wrong answer is wrong when the student can act on it
};

class AnswerJudge {
public:
    static constexpr int MinTrials = 12;
    static constexpr std::size_t MaxAnswerBytes = 2000;
    static constexpr int MaxBracketDepth = 40;

    explicit AnswerJudge(unsigned seed = std::random_device{}()) : random_(seed) {}

    AnswerVerdict Judge(std::string_view reference, std::string_view answer,
                        const std::vector<std::string>& variables, double tolerancePercent);

private:
    std::mt19937_64 random_;
};

// Whether two values agree within a relative tolerance (in percent) of the reference.
bool WithinTolerance(long double value, long double reference, double tolerancePercent);
