#pragma once

#include <chrono>
#include <optional>

namespace answers {

// When a judgement must give up, so that an answer or a reference heavy enough to take
// long is stopped where it is instead of holding a judge thread: none by default. The
// judge asks between trial points and the evaluator every so many steps inside a
// formula.
class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    Deadline() = default;
    explicit Deadline(Clock::time_point at) : at_(at) {}
    static Deadline After(std::chrono::milliseconds budget) {
        return Deadline(Clock::now() + budget);
    }

    bool Passed() const { return at_ && Clock::now() >= *at_; }

private:
    std::optional<Clock::time_point> at_;
};

// The error of an evaluation stopped by its deadline (UTF-8); an array, so that its
// address, which the error is compared by, is one in every part of the program.
inline constexpr char kOutOfTime[] = "время на проверку истекло";

} // namespace answers
