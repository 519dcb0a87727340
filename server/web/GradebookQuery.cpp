#include "web/GradebookQuery.h"

#include "Database.h"
#include "web/GradebookCsv.h"

#include <ostream>

std::vector<std::string> StudentNames(Database& database) {
    std::vector<std::string> students;
    for (const Database::Account& account : database.Accounts())
        if (account.role == Database::Role::Student)
            students.push_back(account.name);
    return students;
}

Gradebook ReadGradebook(Database& database, const TaskBank& bank) {
    return ReadGradebook(database, bank, StudentNames(database));
}

Gradebook ReadGradebook(Database& database, const TaskBank& bank,
                        const std::vector<std::string>& students) {
    GradebookBuilder builder(bank, students);
    database.ForEachJudgedAttempts(
        [&builder](const std::string& user, const std::string& task,
                   const std::vector<int>& correct) { builder.AddAttempts(user, task, correct); });
    return builder.Finish();
}

int RunGradebookCommand(Database& database, const TaskBank& bank, const std::string& separator,
                        std::ostream& out, std::ostream& err) {
    if (separator != ";" && separator != ",") {
        err << "vekta-server: --separator takes \";\" or \",\"\n";
        return 64;
    }
    out << GradebookCsv(ReadGradebook(database, bank), separator[0]);
    return out ? 0 : 1;
}
