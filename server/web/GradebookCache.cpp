#include "web/GradebookCache.h"

#include "storage/Database.h"
#include "web/GradebookQuery.h"

std::shared_ptr<const Gradebook> GradebookCache::Read(Database& database, const TaskBank& bank) {
    const std::vector<std::string> students = StudentNames(database);
    const std::pair<long long, long long> submissions = database.SubmissionsMark();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (book_ && students == students_ && submissions == submissions_)
            return book_;
    }
    // Read outside the lock: another thread may be reading the same at once, and either
    // result is right for its moment.
    auto book = std::make_shared<const Gradebook>(ReadGradebook(database, bank, students));
    const std::lock_guard<std::mutex> lock(mutex_);
    students_ = students;
    submissions_ = submissions;
    book_ = book;
    return book;
}
