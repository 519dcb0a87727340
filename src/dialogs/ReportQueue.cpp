#include "dialogs/ReportQueue.h"

#include "platform/Cp1251.h"

#include <algorithm>

namespace {

bool SameReport(const Report& a, const Report& b) {
    return a.caption == b.caption && a.text == b.text && a.formula == b.formula;
}

std::string CountLine(const char* utf8Label, int count) {
    return "\n(" + platform::Utf8ToCp1251(utf8Label) + std::to_string(count) + ")";
}

} // namespace

void ReportQueue::Add(const Report& report) {
    const auto same = std::find_if(pending_.begin(), pending_.end(),
                                   [&](const Entry& e) { return SameReport(e.report, report); });
    if (same != pending_.end())
        ++same->count;
    else if (pending_.size() < kMaxPending)
        pending_.push_back({report, 1});
    else
        ++leftOut_;
}

Report ReportQueue::Take() {
    Entry entry = std::move(pending_.front());
    pending_.erase(pending_.begin());
    Report report = std::move(entry.report);
    if (entry.count > 1)
        report.text += CountLine("всего таких сообщений: ", entry.count);
    if (pending_.empty() && leftOut_ > 0) {
        report.text += CountLine("не показано других сообщений: ", leftOut_);
        leftOut_ = 0;
    }
    return report;
}
