#include "storage/CourseRecords.h"

#include "storage/Database.h"
#include "storage/StoreError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>
#include <filesystem>
#include <optional>

namespace {

QString ConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("vekta-course-records-%1").arg(++counter);
}

void Configure(QSqlDatabase& db, const std::string& location) {
    const QString text = QString::fromStdString(location);
    if (!IsPostgresLocation(location)) {
        if (!std::filesystem::is_regular_file(location))
            throw StoreError(StoreError::Kind::CannotOpen, "no database at " + location);
        db.setDatabaseName(text);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        return;
    }
    const QUrl url(text);
    db.setHostName(url.host());
    if (url.port() > 0)
        db.setPort(url.port());
    db.setUserName(url.userName());
    db.setDatabaseName(url.path().mid(1));
}

QSqlQuery Select(const QSqlDatabase& db, const QString& sql, const std::string& location) {
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw StoreError(StoreError::Kind::CannotOpen, "the database at " + location +
                                                           " is not a course's database: " +
                                                           query.lastError().text().toStdString());
    return query;
}

CourseRecords Read(const QSqlDatabase& db, const std::string& location) {
    CourseRecords records;
    QSqlQuery secret =
        Select(db, "SELECT value FROM course_settings WHERE name = 'secret'", location);
    if (!secret.next())
        throw StoreError(StoreError::Kind::CannotOpen,
                         "the database at " + location +
                             " has no course secret yet: the server makes it when it "
                             "first serves");
    records.secret = secret.value(0).toString().toStdString();
    QSqlQuery accounts = Select(db, "SELECT name FROM accounts ORDER BY name", location);
    while (accounts.next())
        records.accounts.push_back(accounts.value(0).toString().toStdString());
    return records;
}

} // namespace

CourseRecords ReadCourseRecords(const std::string& location) {
    const QString driver = IsPostgresLocation(location) ? "QPSQL" : "QSQLITE";
    if (!QSqlDatabase::isDriverAvailable(driver))
        throw StoreError(StoreError::Kind::CannotOpen,
                         "the Qt SQL driver " + driver.toStdString() + " is not installed");
    const QString name = ConnectionName();
    std::optional<CourseRecords> records;
    std::string failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        try {
            Configure(db, location);
            if (!db.open())
                throw StoreError(StoreError::Kind::CannotOpen,
                                 "cannot open the database at " + location + ": " +
                                     db.lastError().text().toStdString());
            records = Read(db, location);
        } catch (const StoreError& error) {
            failure = error.what();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!records)
        throw StoreError(StoreError::Kind::CannotOpen, failure);
    return *records;
}
