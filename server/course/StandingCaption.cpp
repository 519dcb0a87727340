#include "course/StandingCaption.h"

#include "platform/Cp1251.h"

std::string StandingCaption(std::string_view cp1251Caption, const std::vector<Attempt>& attempts,
                            const AttemptRules& rules, int answers) {
    std::string caption(cp1251Caption);
    if (attempts.empty())
        return caption;
    const Standing standing = StandingOf(attempts, rules);
    // Full marks only when the best attempt's credit, its penalty taken off, is full.
    const bool solved = answers > 0 && standing.bestScore >= answers - 1e-9;
    std::string text =
        " — " + (solved ? std::string("решено")
                        : CreditText(standing.bestScore) + " из " + std::to_string(answers));
    if (!solved || rules.maxAttempts > 0)
        text += ", попыток " + std::to_string(standing.attemptsUsed);
    if (rules.maxAttempts > 0)
        text += " из " + std::to_string(rules.maxAttempts);
    return caption + platform::Utf8ToCp1251(text);
}
