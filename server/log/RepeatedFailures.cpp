#include "log/RepeatedFailures.h"

#include <algorithm>

RepeatedFailures& RepeatedFailures::Instance() {
    static RepeatedFailures instance;
    return instance;
}

void RepeatedFailures::Note(const std::string& message, std::int64_t nowMs) {
    if (message.empty())
        return;
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = std::find_if(failures_.begin(), failures_.end(),
                                    [&](const Failure& f) { return f.message == message; });
    if (found != failures_.end()) {
        found->notedMs = nowMs;
        return;
    }
    if (failures_.size() == kRemembered)
        failures_.erase(std::min_element(
            failures_.begin(), failures_.end(),
            [](const Failure& a, const Failure& b) { return a.notedMs < b.notedMs; }));
    failures_.push_back({message, nowMs, std::nullopt, 0});
}

std::optional<std::string> RepeatedFailures::Pass(const std::string& line, std::int64_t nowMs) {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::erase_if(failures_, [&](const Failure& f) {
        return nowMs - f.notedMs > kRememberedMs && f.leftOut == 0;
    });
    for (Failure& failure : failures_) {
        if (line.find(failure.message) == std::string::npos)
            continue;
        if (failure.loggedMs && nowMs - *failure.loggedMs < 1000) {
            ++failure.leftOut;
            return std::nullopt;
        }
        failure.loggedMs = nowMs;
        std::string passed = line;
        if (failure.leftOut > 0)
            passed += " (" + std::to_string(failure.leftOut) +
                      " more lines with this failure left out before)";
        failure.leftOut = 0;
        return passed;
    }
    return line;
}
