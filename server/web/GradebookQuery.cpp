#include "web/GradebookQuery.h"

#include "storage/Database.h"
#include "web/GradebookCsv.h"

#include <QDateTime>

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
    database.ForEachJudgedAttempts([&builder](const std::string& user, const std::string& task,
                                              const std::vector<Attempt>& attempts) {
        builder.AddJudgedAttempts(user, task, attempts);
    });
    Gradebook book = builder.Finish();
    for (const Database::RegradeRecord& regrade : database.Regrades())
        book.regrades.push_back(
            QDateTime::fromString(QString::fromStdString(regrade.doneUtc), Qt::ISODate)
                .toLocalTime()
                .toString("dd.MM.yyyy HH:mm")
                .toStdString() +
            " · " + (regrade.tasks.empty() ? std::string("все задания") : regrade.tasks) + " · " +
            std::to_string(regrade.regraded) + " отправок, выше " + std::to_string(regrade.up) +
            ", ниже " + std::to_string(regrade.down));
    return book;
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
