#pragma once

#include "course/TaskBank.h"
#include "web/WebPages.h"

#include <optional>
#include <string>
#include <vector>

class Database;

// The student's and the task's pages read from the store: answers as the one answer
// reader reads them, times in the server's local time.

// "2026-12-07T10:15:30.250Z" as the server's local "07.12.2026 13:15:30".
std::string LocalTimeText(const std::string& utcIso);

// Every submission of a student, in the order they came.
std::vector<SubmissionLine> StudentSubmissions(Database& database, const TaskBank& bank,
                                               const std::string& student);

// A task's report: the picture and reference answers of `student`'s variant (of the
// first student when empty or unknown), and every submitted answer grouped by its
// reading. nullopt when the bank has no such task.
std::optional<TaskReport> TaskReportOf(Database& database, const TaskBank& bank,
                                       const std::string& task, const std::string& student);
