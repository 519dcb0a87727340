#pragma once

#include "course/Attempts.h"
#include "course/TestWindow.h"

#include <string>
#include <string_view>
#include <vector>

// The bank's course.conf: "key = value" lines for the whole course, "#" starting a note:
//   attempts = 3
//   penalty = 10                    (percent per attempt after the first)
//   open = 2026-12-10T09:00         (the server's local time)
//   close = 2026-12-10T10:30
//   order = Балка-1, Консоль-2      (the task list's order; tasks not named follow)
//   review = after_close            (verdicts and scores only once the window closed;
//                                    immediate, the default, shows them at once)
//   solutions = after_attempts      (a student may see a task's solution once they used
//                                    all its attempts; after_close: once the window
//                                    closed for them; never, the default)
//   carry = 50                      (percent of a right answer that an answer right only with
//                                    the student's own wrong earlier answers earns)
//   hints = no                      (a wrong answer is not told the typical mistake it
//                                    looks like, as in an exam; yes, the default, tells it)
// A task's own ATTEMPTS section overrides attempts and penalty.
inline constexpr double kDefaultCarryPercent = 50;

struct CourseConfig {
    AttemptRules attempts;
    TestWindow window;
    std::vector<std::string> order; // task names (UTF-8), as `order` lists them
    enum class Review { Immediate, AfterClose } review = Review::Immediate;
    enum class Solutions { Never, AfterClose, AfterAttempts } solutions = Solutions::Never;
    double carryPercent = kDefaultCarryPercent;
    bool hints = true;
    std::vector<std::string> problems; // lines that cannot be read (UTF-8)
};

CourseConfig ReadCourseConfig(std::string_view utf8Text);

// What the course's settings do that an author may not expect (UTF-8), e.g. a review after
// the close of a course without a close time.
std::vector<std::string> CourseWarnings(const CourseConfig& course);

// The attempt rules of one task: its own ATTEMPTS section (CP1251) when it has one that
// can be read, the course's otherwise.
AttemptRules AttemptRulesOf(std::string_view taskAttempts, const CourseConfig& course);
