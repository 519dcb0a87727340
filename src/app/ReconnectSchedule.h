#pragma once

#include <string>

// When to try again after the connection to the server was lost: 1, 2, 4 ... seconds,
// never more than 30; a connection that succeeds starts the schedule anew.
class ReconnectSchedule {
public:
    static constexpr int kFirstDelaySeconds = 1;
    static constexpr int kLongestDelaySeconds = 30;

    // The wait before the next try, and counts that try.
    int NextDelaySeconds();
    void Reset() { tries_ = 0; }
    int Tries() const { return tries_; }

private:
    int tries_ = 0;
};

// The state line while waiting to try again: "Связь потеряна; повтор через 4 с" (UTF-8).
std::string ReconnectWaitText(int seconds);
