#pragma once

#include <algorithm>

// How many connections the web port takes, from one address and in all, and how long one
// may sit idle.
struct WebLimits {
    int perAddress = 16;
    int total = 256;
    int idleMs = 30 * 1000;
};

// The descriptors the server may spend on connections, shared by the testing port and the
// web port (both on the event loop's thread). Web connections may take at most three
// quarters of it, so that however many a browser or an attacker holds open on the web
// port, the testing port keeps a quarter for students.
class ConnectionBudget {
public:
    explicit ConnectionBudget(int descriptors) : total_(std::max(descriptors, 4)) {}

    int Total() const { return total_; }
    // The most web connections the budget leaves room for.
    int WebShare() const { return total_ - total_ / 4; }

    bool TakeTesting() {
        if (testing_ + web_ >= total_)
            return false;
        ++testing_;
        return true;
    }
    void ReleaseTesting() { --testing_; }
    bool TakeWeb() {
        if (web_ >= WebShare() || testing_ + web_ >= total_)
            return false;
        ++web_;
        return true;
    }
    void ReleaseWeb() { --web_; }

private:
    int total_;
    int testing_ = 0;
    int web_ = 0;
};
