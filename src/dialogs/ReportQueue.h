#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The reports waiting while the message dialog is up, so that only one dialog is ever
// open. Identical reports are merged and counted; beyond a handful of different ones,
// further reports are only counted. All texts are CP1251.
struct Report {
    std::string caption;
    std::string text;
    std::string formula;
};

class ReportQueue {
public:
    static constexpr std::size_t kMaxPending = 5;

    void Add(const Report& report);
    bool Empty() const { return pending_.empty(); }
    std::size_t Pending() const { return pending_.size(); }

    // The oldest waiting report, its text ending with how often it came when that was
    // more than once, and, when it is the last one, with how many others were left out.
    Report Take();

private:
    struct Entry {
        Report report;
        int count = 1;
    };
    std::vector<Entry> pending_;
    int leftOut_ = 0;
};
