#pragma once

#include "TaskFile.h"
#include "ToolArguments.h"
#include "course/TaskVariant.h"

#include "protocol/QuestSections.h"

#include <optional>
#include <string>

// The student a tool shows when none is named: the first variant `vekta-task variants`
// lists, so that a preview and that list agree.
inline constexpr const char* kFirstListedStudent = "variant 1";

// Whose variant of a task file to show, and with which secret.
struct StudentChoice {
    std::string student = kFirstListedStudent; // UTF-8, as the student logs in
    // The server's database: its course's secret, so that the variant is the one the
    // student sees. Without it the preview secret, so that previews are reproducible.
    std::optional<std::string> database;
};

// The choice the options --student NAME and --db LOCATION make.
StudentChoice StudentChoiceOf(const ToolArguments& arguments);

// A task file as the server sends it to one student: read as the bank reads it (UTF-8,
// line breaks taken out of the scripts, CP1251 on the wire) with the student's values in it.
struct StudentTask {
    TaskFile file;
    TaskVariant variant;
    QuestSections sections; // what the QUEST message carries
};

struct StudentTaskRead {
    std::optional<StudentTask> task;
    std::string error; // UTF-8; empty when the task was read
};

StudentTaskRead ReadStudentTask(const std::string& path, const StudentChoice& choice);

// One script section of the task as the student is sent it (CP1251): `image` or `animate`
// of the sections, named `key` in the reason when the task has none.
struct SectionRead {
    std::optional<std::string> text;
    std::string error; // UTF-8; empty when the section was read
};
SectionRead ReadStudentSection(const std::string& path, const StudentChoice& choice,
                               std::string QuestSections::*section, const std::string& key);

// The course's secret a choice draws with, or the reason it cannot be read (UTF-8).
struct SecretRead {
    std::string secret;
    std::string error;
};
SecretRead SecretOf(const std::optional<std::string>& database);
