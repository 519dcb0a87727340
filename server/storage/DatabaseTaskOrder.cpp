// The order in which the course first listed its tasks, kept so that a task added later
// does not move the numbers students already know.

#include "storage/Database.h"

#include <QSqlQuery>

void Database::CreateTaskOrderTable() {
    Run("CREATE TABLE IF NOT EXISTS task_order (task VARCHAR(400) PRIMARY KEY, "
        "place INTEGER NOT NULL)");
}

std::map<std::string, int> Database::RecordTaskOrder(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        // "WHERE true" lets SQLite read ON CONFLICT after a SELECT.
        Run("INSERT INTO task_order (task, place) SELECT CAST(? AS VARCHAR(400)), "
            "COALESCE(MAX(place), 0) + 1 "
            "FROM task_order WHERE true ON CONFLICT (task) DO NOTHING",
            {QString::fromStdString(name)});
    std::map<std::string, int> places;
    QSqlQuery query = Run("SELECT task, place FROM task_order");
    while (query.next())
        places[query.value(0).toString().toStdString()] = query.value(1).toInt();
    return places;
}
