#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// The reference server's task bank: one file per task, "<name>.task", in the folders
// statica/, kinematik/ and dinamik/ of the bank. A task file is UTF-8 text with the
// sections <CAPTION>, <QUEST>, <IMAGE>, <REQUEST> and <ANIMATE> of a task; the file's
// stem is the task's name. An optional users.txt holds "name;password" lines; without
// it every login is accepted. Everything is kept as CP1251, as it goes on the wire.
struct BankTask {
    std::string sheetTag; // "<STATICA>", "<KINEMATIK>" or "<DINAMIK>"
    std::string name;
    std::string caption;
    std::string quest;
    std::string image;
    std::string request;
    std::string animate;
};

struct TaskBank {
    std::vector<BankTask> tasks;              // Statics, Kinematics, Dynamics; by name
    std::map<std::string, std::string> users; // name -> password; empty: anyone

    const BankTask* Find(const std::string& name) const;
};

// Reads a bank folder; throws std::runtime_error when it cannot be read.
TaskBank LoadTaskBank(const std::filesystem::path& folder);

// Reads one task file's text (UTF-8) into a task of the given sheet and name.
BankTask ParseTaskFile(const std::string& utf8Text, const std::string& sheetTag,
                       const std::string& cp1251Name);
