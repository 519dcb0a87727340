#include "LoginThrottle.h"

namespace {
// Addresses beyond this many are forgotten once their failures have aged out.
constexpr std::size_t kMaxTracked = 10'000;
} // namespace

void LoginThrottle::Forget(Record& record, long long nowMs) {
    while (!record.failures.empty() && record.failures.front() <= nowMs - WindowMs)
        record.failures.pop_front();
}

void LoginThrottle::RecordFailure(const std::string& address, long long nowMs) {
    if (addresses_.size() >= kMaxTracked) {
        for (auto it = addresses_.begin(); it != addresses_.end();) {
            Forget(it->second, nowMs);
            it = it->second.failures.empty() ? addresses_.erase(it) : std::next(it);
        }
    }
    Record& record = addresses_[address];
    Forget(record, nowMs);
    record.failures.push_back(nowMs);
}

long long LoginThrottle::ReserveAttempt(const std::string& address, long long nowMs) {
    const auto found = addresses_.find(address);
    if (found == addresses_.end())
        return 0;
    Record& record = found->second;
    Forget(record, nowMs);
    if (record.failures.empty()) {
        addresses_.erase(found);
        return 0;
    }
    if (static_cast<int>(record.failures.size()) < FreeFailures)
        return 0;
    const long long wait = record.lastThrottledAttempt + DelayMs - nowMs;
    if (wait > 0)
        return wait;
    record.lastThrottledAttempt = nowMs;
    return 0;
}
