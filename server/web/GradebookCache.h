#pragma once

#include "web/Gradebook.h"

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class Database;

// The gradebook last read, given again while the store has not changed, so that a teacher
// who comes back to the page, or several teachers at once, cost one read of the attempts.
// Submissions are only ever added: their count and newest id tell whether any came; the
// student accounts are few and read each time. Safe to use from several threads.
class GradebookCache {
public:
    std::shared_ptr<const Gradebook> Read(Database& database, const TaskBank& bank);

private:
    std::mutex mutex_;
    std::vector<std::string> students_;
    std::pair<long long, long long> submissions_{-1, -1};
    std::shared_ptr<const Gradebook> book_;
};
