#include "app/ReconnectSchedule.h"

#include <algorithm>

int ReconnectSchedule::NextDelaySeconds() {
    // Doubling stops at the ceiling, so the shift never grows past it either.
    const int doublings = std::min(tries_, 5);
    ++tries_;
    return std::min(kFirstDelaySeconds << doublings, kLongestDelaySeconds);
}

std::string ReconnectWaitText(int seconds) {
    return "Связь потеряна; повтор через " + std::to_string(seconds) + " с";
}
