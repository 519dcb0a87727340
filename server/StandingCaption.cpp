#include "StandingCaption.h"

#include "platform/Cp1251.h"

std::string StandingCaption(std::string_view cp1251Caption, const std::vector<Attempt>& attempts,
                            const AttemptRules& rules, int answers) {
    std::string caption(cp1251Caption);
    if (attempts.empty())
        return caption;
    const Standing standing = StandingOf(attempts, rules);
    std::string text = " — ";
    if (answers > 0 && standing.bestCorrect >= answers) {
        text += "решено";
    } else {
        text += std::to_string(standing.bestCorrect) + " из " + std::to_string(answers) +
                ", попыток " + std::to_string(standing.attemptsUsed);
        if (rules.maxAttempts > 0)
            text += " из " + std::to_string(rules.maxAttempts);
    }
    return caption + platform::Utf8ToCp1251(text);
}
