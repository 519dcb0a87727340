#include "course/Attempts.h"

#include "course/NumberText.h"
#include "platform/Trim.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

template <typename Number> std::optional<Number> Read(std::string_view text) {
    text = platform::TrimWhitespace(text);
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

double Factor(int attemptNumber, const AttemptRules& rules) {
    return std::max(0.0, 1 - rules.penaltyPercent / 100 * (attemptNumber - 1));
}

} // namespace

std::optional<AttemptRules> ReadAttempts(std::string_view text, std::string& problem) {
    text = platform::TrimWhitespace(text);
    if (!text.empty() && text.back() == ';')
        text.remove_suffix(1);
    const std::size_t semicolon = text.find(';');
    const std::optional<int> count = Read<int>(text.substr(0, semicolon));
    std::optional<double> penalty = 0.0;
    if (semicolon != std::string_view::npos)
        penalty = Read<double>(text.substr(semicolon + 1));
    if (!count || *count < 1 || *count > kMaxAttempts) {
        problem =
            "the number of attempts must be a whole number in 1.." + std::to_string(kMaxAttempts);
        return std::nullopt;
    }
    if (!penalty || !(*penalty >= 0 && *penalty <= 100)) {
        problem = "the penalty must be a percentage in 0..100";
        return std::nullopt;
    }
    return AttemptRules{*count, *penalty};
}

double AttemptScore(double credited, int attemptNumber, const AttemptRules& rules) {
    return credited * Factor(attemptNumber, rules);
}

Standing StandingOf(const std::vector<Attempt>& attempts, const AttemptRules& rules) {
    Standing standing;
    for (const Attempt& attempt : attempts) {
        if (rules.maxAttempts > 0 && standing.attemptsUsed == rules.maxAttempts)
            break;
        ++standing.attemptsUsed;
        const double score = AttemptScore(attempt.credited, standing.attemptsUsed, rules);
        if (score > standing.bestScore ||
            (score == standing.bestScore && attempt.credited > standing.bestCredited)) {
            standing.bestScore = score;
            standing.bestCredited = attempt.credited;
            standing.bestCarried = attempt.carried;
        }
    }
    return standing;
}

bool AttemptsLeft(const std::vector<Attempt>& attempts, const AttemptRules& rules) {
    return rules.maxAttempts == 0 || static_cast<int>(attempts.size()) < rules.maxAttempts;
}

std::string CreditText(double credit) {
    return NumberText(std::round(credit * 10) / 10, -1, ',');
}

std::string AttemptLine(int attemptNumber, double credited, int answers,
                        const AttemptRules& rules) {
    std::string line = "Попытка " + std::to_string(attemptNumber);
    if (rules.maxAttempts > 0)
        line += " из " + std::to_string(rules.maxAttempts);
    const double factor = Factor(attemptNumber, rules);
    const double percent = std::round(factor * 100 * 10) / 10;
    return line + ". Засчитано " + CreditText(credited * factor) + " из " +
           std::to_string(answers) + " (" + NumberText(percent, -1, ',') + " % за " +
           std::to_string(attemptNumber) + "-ю попытку)";
}
