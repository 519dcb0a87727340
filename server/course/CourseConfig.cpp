#include "course/CourseConfig.h"

#include "platform/Trim.h"

namespace {

// Sets one key; false when the key is unknown or its value cannot be read.
bool Apply(std::string_view key, std::string_view value, CourseConfig& config) {
    std::string problem;
    if (key == "attempts") {
        const std::optional<AttemptRules> rules = ReadAttempts(value, problem);
        if (rules)
            config.attempts.maxAttempts = rules->maxAttempts;
        return rules.has_value();
    }
    if (key == "penalty") {
        const std::optional<AttemptRules> rules = ReadAttempts("1;" + std::string(value), problem);
        if (rules)
            config.attempts.penaltyPercent = rules->penaltyPercent;
        return rules.has_value();
    }
    if (key == "review") {
        if (value == "immediate" || value == "after_close")
            config.review = value == "immediate" ? CourseConfig::Review::Immediate
                                                 : CourseConfig::Review::AfterClose;
        return value == "immediate" || value == "after_close";
    }
    if (key == "solutions") {
        using S = CourseConfig::Solutions;
        const std::optional<S> when = value == "never"            ? std::optional(S::Never)
                                      : value == "after_close"    ? std::optional(S::AfterClose)
                                      : value == "after_attempts" ? std::optional(S::AfterAttempts)
                                                                  : std::nullopt;
        if (when)
            config.solutions = *when;
        return when.has_value();
    }
    if (key == "carry") {
        // A percentage as the penalty is one: 0..100.
        const std::optional<AttemptRules> rules = ReadAttempts("1;" + std::string(value), problem);
        if (rules)
            config.carryPercent = rules->penaltyPercent;
        return rules.has_value();
    }
    if (key == "hints") {
        if (value == "yes" || value == "no")
            config.hints = value == "yes";
        return value == "yes" || value == "no";
    }
    if (key == "order") {
        config.order.clear();
        while (!value.empty()) {
            const std::size_t comma = value.find(',');
            const std::string_view name = platform::TrimWhitespace(value.substr(0, comma));
            if (!name.empty())
                config.order.emplace_back(name);
            value.remove_prefix(comma == std::string_view::npos ? value.size() : comma + 1);
        }
        return !config.order.empty();
    }
    if (key == "open" || key == "close") {
        const std::optional<LocalTime> time = ReadLocalTime(value);
        (key == "open" ? config.window.open : config.window.close) = time;
        return time.has_value();
    }
    return false;
}

} // namespace

CourseConfig ReadCourseConfig(std::string_view utf8Text) {
    CourseConfig config;
    int number = 0;
    while (!utf8Text.empty()) {
        const std::size_t end = utf8Text.find('\n');
        const std::string_view line = platform::TrimWhitespace(utf8Text.substr(0, end));
        utf8Text.remove_prefix(end == std::string_view::npos ? utf8Text.size() : end + 1);
        ++number;
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos ||
            !Apply(platform::TrimWhitespace(line.substr(0, equals)),
                   platform::TrimWhitespace(line.substr(equals + 1)), config))
            config.problems.push_back("course.conf, line " + std::to_string(number) + ": " +
                                      std::string(line));
    }
    if (config.window.open && config.window.close &&
        config.window.close->Minutes() <= config.window.open->Minutes())
        config.problems.push_back("course.conf: close is not after open");
    return config;
}

std::vector<std::string> CourseWarnings(const CourseConfig& course) {
    std::vector<std::string> warnings;
    if (course.review == CourseConfig::Review::AfterClose && !course.window.close)
        warnings.push_back("review = after_close without a close time: results show at once");
    using S = CourseConfig::Solutions;
    if (course.solutions == S::AfterClose && !course.window.close)
        warnings.push_back("solutions = after_close without a close time: no solution is shown");
    if (course.solutions == S::AfterAttempts && course.review == CourseConfig::Review::AfterClose)
        warnings.push_back("solutions = after_attempts with review = after_close: a student who "
                           "used every attempt sees the solution before the results");
    return warnings;
}

AttemptRules AttemptRulesOf(std::string_view taskAttempts, const CourseConfig& course) {
    std::string problem;
    if (platform::TrimWhitespace(taskAttempts).empty())
        return course.attempts;
    return ReadAttempts(taskAttempts, problem).value_or(course.attempts);
}
