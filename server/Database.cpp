#include "Database.h"

#include "platform/Cp1251.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

[[noreturn]] void Fail(const QString& what, const QSqlError& error) {
    throw std::runtime_error((what + ": " + error.text()).toStdString());
}

QSqlDatabase Connection(const QString& name) {
    return QSqlDatabase::database(name, false);
}

QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("vekta-db-%1").arg(++counter);
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

void Configure(QSqlDatabase& db, const std::string& location) {
    if (!IsPostgresLocation(location)) {
        db.setDatabaseName(Text(location));
        return;
    }
    const QUrl url(Text(location));
    db.setHostName(url.host());
    if (url.port() > 0)
        db.setPort(url.port());
    db.setUserName(url.userName());
    db.setPassword(url.password());
    db.setDatabaseName(url.path().mid(1));
}

// Runs one statement with its bound values, in order; throws on failure.
QSqlQuery Run(const QString& connection, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery query(Connection(connection));
    // Statements without values run directly: PostgreSQL prepares no table definitions.
    const bool done = values.isEmpty() ? query.exec(sql) : [&] {
        if (!query.prepare(sql))
            return false;
        for (const QVariant& value : values)
            query.addBindValue(value);
        return query.exec();
    }();
    if (!done)
        Fail("cannot run \"" + sql + "\"", query.lastError());
    return query;
}

// Switching a file to the write-ahead log needs it to itself, and SQLite answers "locked"
// at once instead of waiting: a second server opening the same new file at that moment
// tries again for a while.
void UseWriteAheadLog(const QString& connection) {
    constexpr int kAttempts = 50;
    for (int attempt = 1;; ++attempt) {
        QSqlQuery query(Connection(connection));
        if (query.exec("PRAGMA journal_mode=WAL"))
            return;
        if (attempt == kAttempts)
            Fail("cannot switch the database to the write-ahead log", query.lastError());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

} // namespace

bool IsPostgresLocation(const std::string& location) {
    return location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0;
}

Database::Database(const std::string& location)
    : connection_(NewConnectionName()),
      driver_(IsPostgresLocation(location) ? "QPSQL" : "QSQLITE") {
    if (!QSqlDatabase::isDriverAvailable(driver_))
        throw std::runtime_error("the Qt SQL driver " + driver_.toStdString() +
                                 " is not installed");
    QSqlDatabase db = QSqlDatabase::addDatabase(driver_, connection_);
    Configure(db, location);
    if (!db.open())
        Fail("cannot open the database", db.lastError());
    if (driver_ == "QSQLITE") {
        // The wait for a lock comes first: a second server opening the same new file
        // waits while the first one switches it to the write-ahead log.
        Run(connection_, "PRAGMA busy_timeout=5000");
        UseWriteAheadLog(connection_);
        Run(connection_, "PRAGMA synchronous=FULL");
    }
    CreateTables();
}

Database::~Database() {
    Connection(connection_).close();
    QSqlDatabase::removeDatabase(connection_);
}

void Database::CreateTables() {
    const bool postgres = driver_ == "QPSQL";
    Run(connection_, "CREATE TABLE IF NOT EXISTS accounts ("
                     "name VARCHAR(200) PRIMARY KEY, password_hash TEXT NOT NULL, "
                     "created_utc VARCHAR(40) NOT NULL)");
    Run(connection_,
        QString("CREATE TABLE IF NOT EXISTS submissions (id %1, user_name VARCHAR(200) NOT NULL, "
                "task VARCHAR(400) NOT NULL, received_utc VARCHAR(40) NOT NULL, payload %2 "
                "NOT NULL, verdicts TEXT NOT NULL, score INTEGER NOT NULL, total INTEGER NOT "
                "NULL)")
            .arg(postgres ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY AUTOINCREMENT",
                 postgres ? "BYTEA" : "BLOB"));
}

bool Database::AddAccount(const std::string& name, const std::string& passwordHash) {
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    return Run(connection_,
               "INSERT INTO accounts (name, password_hash, created_utc) VALUES (?, ?, ?) "
               "ON CONFLICT (name) DO NOTHING",
               {Text(name), Text(passwordHash), now})
               .numRowsAffected() > 0;
}

bool Database::SetPasswordHash(const std::string& name, const std::string& passwordHash) {
    return Run(connection_, "UPDATE accounts SET password_hash = ? WHERE name = ?",
               {Text(passwordHash), Text(name)})
               .numRowsAffected() > 0;
}

bool Database::ReplacePasswordHash(const std::string& name, const std::string& stored,
                                   const std::string& passwordHash) {
    return Run(connection_,
               "UPDATE accounts SET password_hash = ? WHERE name = ? AND password_hash = ?",
               {Text(passwordHash), Text(name), Text(stored)})
               .numRowsAffected() > 0;
}

bool Database::RemoveAccount(const std::string& name) {
    return Run(connection_, "DELETE FROM accounts WHERE name = ?", {Text(name)}).numRowsAffected() >
           0;
}

std::optional<std::string> Database::PasswordHash(const std::string& name) {
    QSqlQuery query =
        Run(connection_, "SELECT password_hash FROM accounts WHERE name = ?", {Text(name)});
    if (!query.next())
        return std::nullopt;
    return query.value(0).toString().toStdString();
}

std::vector<std::string> Database::AccountNames() {
    QSqlQuery query = Run(connection_, "SELECT name FROM accounts ORDER BY name");
    std::vector<std::string> names;
    while (query.next())
        names.push_back(query.value(0).toString().toStdString());
    return names;
}

void Database::StoreSubmission(const SubmissionRecord& record) {
    using platform::Cp1251ToUtf8;
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    // One statement outside an explicit transaction commits on its own; SQLite syncs it
    // to disk before returning.
    Run(connection_,
        "INSERT INTO submissions (user_name, task, received_utc, payload, verdicts, score, "
        "total) VALUES (?, ?, ?, ?, ?, ?, ?)",
        {Text(Cp1251ToUtf8(record.user)), Text(Cp1251ToUtf8(record.task)), now,
         QByteArray::fromStdString(record.payload), Text(Cp1251ToUtf8(record.verdicts)),
         record.score, record.total});
}

void Database::ForEachResult(const std::string& user, const std::string& task,
                             const std::function<void(const Result&)>& take) {
    QString sql = "SELECT id, user_name, task, received_utc, score, total, verdicts, payload "
                  "FROM submissions WHERE 1 = 1";
    QVariantList values;
    if (!user.empty()) {
        sql += " AND user_name = ?";
        values << Text(user);
    }
    if (!task.empty()) {
        sql += " AND task = ?";
        values << Text(task);
    }
    // Forward only: the driver keeps no copy of the rows already read (PostgreSQL hands
    // them over one at a time).
    QSqlQuery query(Connection(connection_));
    query.setForwardOnly(true);
    if (!query.prepare(sql + " ORDER BY id"))
        Fail("cannot read the submissions", query.lastError());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        Fail("cannot read the submissions", query.lastError());
    while (query.next())
        take({query.value(0).toLongLong(), query.value(1).toString().toStdString(),
              query.value(2).toString().toStdString(), query.value(3).toString().toStdString(),
              query.value(4).toInt(), query.value(5).toInt(),
              query.value(6).toString().toStdString(), query.value(7).toByteArray().toStdString()});
    if (query.lastError().isValid())
        Fail("cannot read the submissions", query.lastError());
}

std::vector<Database::Result> Database::Results(const std::string& user, const std::string& task) {
    std::vector<Result> results;
    ForEachResult(user, task, [&results](const Result& result) { results.push_back(result); });
    return results;
}

long long Database::SubmissionCount() {
    QSqlQuery query = Run(connection_, "SELECT COUNT(*) FROM submissions");
    return query.next() ? query.value(0).toLongLong() : 0;
}
