#pragma once

#include "course/TaskBank.h"

#include "protocol/QuestSections.h"

#include <optional>
#include <string>

// A task file of the reference server's bank (UTF-8, sections <CAPTION>, <QUEST>, <IMAGE>,
// <REQUEST>, <ANIMATE>), read the way the server reads it, as the sections of the QUEST
// message the client receives for it.
struct TaskFile {
    BankTask task; // as the server holds it
    QuestSections sections;
    // Characters of the file that code page 1251 cannot hold (they arrive as "?").
    int unrepresentable = 0;
};

std::optional<TaskFile> ReadTaskFile(const std::string& path);
