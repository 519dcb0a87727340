#pragma once

#include <deque>
#include <map>
#include <string>

// Slows down password guessing: after FreeFailures failed logins from one address within
// WindowMs, the login attempts from that address (over all its connections) are let
// through at most one per DelayMs. Times are milliseconds of a steady clock.
class LoginThrottle {
public:
    static constexpr int FreeFailures = 5;
    static constexpr long long WindowMs = 60'000;
    static constexpr long long DelayMs = 1'000;

    void RecordFailure(const std::string& address, long long nowMs);
    // 0 when an attempt from the address may be checked now (and it is counted as the
    // latest one); otherwise the milliseconds to wait before asking again.
    long long ReserveAttempt(const std::string& address, long long nowMs);

    std::size_t TrackedAddresses() const { return addresses_.size(); }

private:
    struct Record {
        std::deque<long long> failures; // within the window, oldest first
        long long lastThrottledAttempt = 0;
    };
    static void Forget(Record& record, long long nowMs);

    std::map<std::string, Record> addresses_;
};
