#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Log lines that carry the message of a failure of the store. While the disk is full or
// read-only the same failure comes back at every request and would fill the log with
// thousands of lines a minute. Where a store failure is raised its message is noted; a log
// line that carries a message noted within the last minute goes out at most once a second
// per message, and the next one that goes out tells how many like it were left out. Lines
// without such a message always go out. Safe from any thread.
class RepeatedFailures {
public:
    static RepeatedFailures& Instance();

    void Note(const std::string& message, std::int64_t nowMs);
    // The line to write, or nullopt to leave it out.
    std::optional<std::string> Pass(const std::string& line, std::int64_t nowMs);

private:
    struct Failure {
        std::string message;
        std::int64_t notedMs = 0;
        std::optional<std::int64_t> loggedMs;
        int leftOut = 0;
    };
    static constexpr std::size_t kRemembered = 16;
    static constexpr std::int64_t kRememberedMs = 60'000;

    std::mutex mutex_;
    std::vector<Failure> failures_; // the most recently noted last
};
