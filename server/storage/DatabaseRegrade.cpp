// A regrade's new verdicts: each replaces a submission's verdicts, score and credit, which
// are kept in submission_history (nothing is deleted), and the regrade itself is recorded
// for the gradebook.

#include "storage/Database.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>

void Database::CreateRegradeTables() {
    Run("CREATE TABLE IF NOT EXISTS submission_history (submission_id BIGINT NOT NULL, "
        "verdicts TEXT NOT NULL, score INTEGER NOT NULL, credited DOUBLE PRECISION, "
        "replaced_utc VARCHAR(40) NOT NULL)");
    Run("CREATE TABLE IF NOT EXISTS regrades (done_utc VARCHAR(40) NOT NULL, tasks TEXT NOT "
        "NULL, regraded INTEGER NOT NULL, up INTEGER NOT NULL, down INTEGER NOT NULL)");
}

void Database::StoreRegraded(const std::vector<Regraded>& batch) {
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    Run("BEGIN");
    inTransaction_ = true;
    try {
        for (const Regraded& item : batch) {
            Run("INSERT INTO submission_history (submission_id, verdicts, score, credited, "
                "replaced_utc) SELECT id, verdicts, score, credited, ? FROM submissions "
                "WHERE id = ?",
                {now, item.id});
            Run("UPDATE submissions SET verdicts = ?, score = ?, credited = ? WHERE id = ?",
                {QString::fromStdString(item.verdicts), item.score, item.credited, item.id});
        }
        Run("COMMIT");
    } catch (...) {
        // A connection already lost has taken the transaction along.
        if (open_) {
            QSqlQuery rollback(QSqlDatabase::database(connection_, false));
            rollback.exec("ROLLBACK");
        }
        failed_.clear();
        inTransaction_ = false;
        throw;
    }
    inTransaction_ = false;
}

void Database::RecordRegrade(const RegradeRecord& record) {
    Run("INSERT INTO regrades (done_utc, tasks, regraded, up, down) VALUES (?, ?, ?, ?, ?)",
        {QString::fromStdString(record.doneUtc), QString::fromStdString(record.tasks),
         record.regraded, record.up, record.down});
}

std::vector<Database::RegradeRecord> Database::Regrades() {
    std::vector<RegradeRecord> records;
    QSqlQuery query = Run("SELECT done_utc, tasks, regraded, up, down FROM regrades "
                          "ORDER BY done_utc");
    while (query.next())
        records.push_back({query.value(0).toString().toStdString(),
                           query.value(1).toString().toStdString(), query.value(2).toInt(),
                           query.value(3).toInt(), query.value(4).toInt()});
    return records;
}
