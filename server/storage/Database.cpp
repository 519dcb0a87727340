#include "storage/Database.h"

#include "judging/VerdictMessage.h"
#include "log/RepeatedFailures.h"
#include "platform/Cp1251.h"

#include <sodium.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

constexpr long long kFirstBackoffMs = 250;
constexpr long long kLongestBackoffMs = 30'000;
// Concurrent writers (other server processes on PostgreSQL) may take the same attempt
// number or pacing slot first; the statement is tried again with the new state.
constexpr int kRaceRetries = 20;
// The PostgreSQL advisory lock under which a server makes or upgrades the tables ("vekta").
constexpr long long kSchemaLock = 0x76656B7461;

// The failure's message is noted, so that the log does not repeat it at every request
// while the store keeps failing the same way.
[[noreturn]] void Fail(const QString& what, const QSqlError& error,
                       StoreError::Kind kind = StoreError::Kind::Failed) {
    const std::string message = (what + ": " + error.text()).toStdString();
    RepeatedFailures::Instance().Note(message, QDateTime::currentMSecsSinceEpoch());
    throw StoreError(kind, message);
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

long long SteadyMs() {
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

void Configure(QSqlDatabase& db, const std::string& location, const std::string& password) {
    if (!IsPostgresLocation(location)) {
        db.setDatabaseName(Text(location));
        return;
    }
    const QUrl url(Text(location));
    if (!url.password().isEmpty())
        throw StoreError(
            StoreError::Kind::CannotOpen,
            "the --db URL carries a password, which every user of this machine can read in "
            "the process list; give the password in a file with --db-password-file FILE or "
            "in the file named by PGPASSFILE, and leave it out of the URL");
    db.setHostName(url.host());
    if (url.port() > 0)
        db.setPort(url.port());
    db.setUserName(url.userName());
    if (!password.empty())
        db.setPassword(Text(password));
    db.setDatabaseName(url.path().mid(1));
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

QString RoleText(Database::Role role) {
    return role == Database::Role::Teacher ? "teacher" : "student";
}

Database::Role RoleOf(const QString& text) {
    return text == "teacher" ? Database::Role::Teacher : Database::Role::Student;
}

} // namespace

bool IsPostgresLocation(const std::string& location) {
    return location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0;
}

Database::Database(const std::string& location, const std::string& password, bool later)
    : connection_(NewConnectionName()),
      driver_(IsPostgresLocation(location) ? "QPSQL" : "QSQLITE") {
    if (!QSqlDatabase::isDriverAvailable(driver_))
        throw StoreError(StoreError::Kind::CannotOpen,
                         "the Qt SQL driver " + driver_.toStdString() + " is not installed");
    QSqlDatabase db = QSqlDatabase::addDatabase(driver_, connection_);
    try {
        Configure(db, location, password);
    } catch (...) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
        throw;
    }
    if (!later)
        Open();
}

Database::~Database() {
    kept_.clear();
    failed_.clear();
    Connection(connection_).close();
    QSqlDatabase::removeDatabase(connection_);
}

void Database::Open() {
    QSqlDatabase db = Connection(connection_);
    if (!db.open())
        Fail("cannot open the database", db.lastError(), StoreError::Kind::CannotOpen);
    open_ = true;
    if (driver_ == "QSQLITE") {
        // Waiting for another writer comes first: switching to the write-ahead log takes
        // the lock too, and two servers may start on a new file together.
        Run("PRAGMA busy_timeout=5000");
        UseWriteAheadLog(connection_);
        Run("PRAGMA synchronous=FULL");
        CreateTables();
        return;
    }
    // On PostgreSQL "IF NOT EXISTS" does not hold against another session making the same
    // table or index at that moment, so servers starting together on one database make
    // and upgrade the tables one after another. The lock is the session's: a connection
    // lost meanwhile gives it up.
    const QString lock = QString::number(kSchemaLock);
    Run("SELECT pg_advisory_lock(" + lock + ")");
    auto unlock = [&] {
        QSqlQuery query(Connection(connection_));
        query.exec("SELECT pg_advisory_unlock(" + lock + ")");
    };
    try {
        CreateTables();
    } catch (...) {
        unlock();
        throw;
    }
    unlock();
}

// Opens a connection that was lost, when the back-off allows; throws StoreError of kind
// Unavailable until that succeeds.
void Database::EnsureOpen() {
    if (open_)
        return;
    if (SteadyMs() < retryAtMs_) {
        RepeatedFailures::Instance().Note(lostBecause_.toStdString(),
                                          QDateTime::currentMSecsSinceEpoch());
        throw StoreError(StoreError::Kind::Unavailable, lostBecause_.toStdString());
    }
    try {
        Open();
    } catch (const std::exception& error) {
        Connection(connection_).close();
        open_ = false;
        backoffMs_ = std::clamp(backoffMs_ * 2, kFirstBackoffMs, kLongestBackoffMs);
        retryAtMs_ = SteadyMs() + backoffMs_;
        lostBecause_ = QString::fromUtf8(error.what());
        throw StoreError(StoreError::Kind::Unavailable, error.what());
    }
    if (backoffMs_ > 0)
        stateChange_ = "connection restored";
    backoffMs_ = 0;
}

void Database::LoseConnection(const QString& why) {
    kept_.clear();
    failed_.clear();
    Connection(connection_).close();
    open_ = false;
    lostBecause_ = why;
    backoffMs_ = kFirstBackoffMs;
    retryAtMs_ = 0; // the first reopening is tried at once
    stateChange_ = "connection lost: " + why.toStdString();
}

// Whether the connection still reaches the database; an SQLite file always does.
bool Database::Alive() {
    if (driver_ != "QPSQL")
        return true;
    QSqlQuery probe(Connection(connection_));
    // A transaction that a failed statement aborted answers nothing until it is rolled
    // back (SQLSTATE 25P02), yet the connection is there.
    return probe.exec("SELECT 1") || probe.lastError().nativeErrorCode() == "25P02";
}

std::optional<std::string> Database::TakeStateChange() {
    std::optional<std::string> change;
    change.swap(stateChange_);
    return change;
}

QSqlQuery Database::Execute(const QString& sql, const QVariantList& values) {
    QSqlQuery query(Connection(connection_));
    // Statements without values run directly: PostgreSQL prepares no table definitions.
    const bool done = values.isEmpty() ? query.exec(sql) : [&] {
        if (!query.prepare(sql))
            return false;
        for (const QVariant& value : values)
            query.addBindValue(value);
        return query.exec();
    }();
    if (!done) {
        const QSqlError error = query.lastError();
        // Inside a transaction a failed PostgreSQL statement is freed only once the
        // transaction is rolled back to where it is usable again.
        if (inTransaction_)
            failed_.push_back(std::move(query));
        Fail("cannot run \"" + sql + "\"", error);
    }
    return query;
}

Database::Outcome Database::ExecuteKept(const QString& sql, const QVariantList& values) {
    auto read = [](QSqlQuery& query) {
        Outcome outcome;
        outcome.changed = query.numRowsAffected();
        while (query.next()) {
            QVariantList& row = outcome.rows.emplace_back();
            for (int k = 0, n = query.record().count(); k < n; ++k)
                row << query.value(k);
        }
        query.finish();
        return outcome;
    };
    if (driver_ != "QPSQL") {
        QSqlQuery query = Execute(sql, values);
        return read(query);
    }
    auto found = kept_.find(sql);
    if (found == kept_.end()) {
        QSqlQuery query(Connection(connection_));
        if (!query.prepare(sql))
            Fail("cannot prepare \"" + sql + "\"", query.lastError());
        found = kept_.emplace(sql, std::move(query)).first;
    }
    QSqlQuery& query = found->second;
    for (int k = 0; k < values.size(); ++k)
        query.bindValue(k, values[k]);
    if (!query.exec()) {
        // Prepared anew next time; freed as Execute's failures are.
        const QSqlError error = query.lastError();
        if (inTransaction_)
            failed_.push_back(std::move(query));
        kept_.erase(found);
        Fail("cannot run \"" + sql + "\"", error);
    }
    return read(query);
}

// Runs `attempt` on the connection, and once more on a new connection when the first failed
// because the connection was lost. Inside a transaction a lost connection fails at once:
// the transaction went with it, and running on would store outside it.
template <typename Value> Value Database::OnLiveConnection(const std::function<Value()>& attempt) {
    EnsureOpen();
    try {
        return attempt();
    } catch (const StoreError& error) {
        if (Alive())
            throw;
        LoseConnection(QString::fromUtf8(error.what()));
        if (inTransaction_)
            throw StoreError(StoreError::Kind::Unavailable, error.what());
    }
    EnsureOpen();
    try {
        return attempt();
    } catch (const StoreError& error) {
        if (!Alive()) {
            LoseConnection(QString::fromUtf8(error.what()));
            throw StoreError(StoreError::Kind::Unavailable, error.what());
        }
        throw;
    }
}

Database::Outcome Database::RunKept(const QString& sql, const QVariantList& values) {
    return OnLiveConnection<Outcome>([&] { return ExecuteKept(sql, values); });
}

// Runs one statement with its bound values, in order.
QSqlQuery Database::Run(const QString& sql, const QVariantList& values) {
    return OnLiveConnection<QSqlQuery>([&] { return Execute(sql, values); });
}

void Database::CreateTables() {
    const bool postgres = driver_ == "QPSQL";
    Run("CREATE TABLE IF NOT EXISTS accounts ("
        "name VARCHAR(200) PRIMARY KEY, password_hash TEXT NOT NULL, "
        "created_utc VARCHAR(40) NOT NULL)");
    Run(QString("CREATE TABLE IF NOT EXISTS submissions (id %1, user_name VARCHAR(200) NOT NULL, "
                "task VARCHAR(400) NOT NULL, received_utc VARCHAR(40) NOT NULL, payload %2 "
                "NOT NULL, verdicts TEXT NOT NULL, score INTEGER NOT NULL, total INTEGER NOT "
                "NULL, attempt INTEGER, variant TEXT, credited DOUBLE PRECISION, counted INTEGER)")
            .arg(postgres ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY AUTOINCREMENT",
                 postgres ? "BYTEA" : "BLOB"));
    // A store made before attempts were numbered, or before variants were kept, gets the
    // column; its old rows keep none.
    AddMissingColumn("submissions", "attempt", "INTEGER");
    AddMissingColumn("submissions", "variant", "TEXT");
    // One made before the credit and the attempt it used were kept apart from the counts
    // gets both columns, and its rows are filled from what they meant.
    AddMissingColumn("submissions", "credited", "DOUBLE PRECISION");
    AddMissingColumn("submissions", "counted", "INTEGER");
    FillCreditOfOldSubmissions();
    // Accounts made before teachers had accounts of their own are students'.
    AddMissingColumn("accounts", "role", "VARCHAR(20) NOT NULL DEFAULT 'student'");
    Run("CREATE UNIQUE INDEX IF NOT EXISTS submissions_attempt "
        "ON submissions (user_name, task, attempt)");
    Run("CREATE TABLE IF NOT EXISTS submission_pacing ("
        "user_name VARCHAR(200) PRIMARY KEY, next_ms BIGINT NOT NULL)");
    Run("CREATE TABLE IF NOT EXISTS course_settings ("
        "name VARCHAR(100) PRIMARY KEY, value TEXT NOT NULL)");
    Run("CREATE TABLE IF NOT EXISTS time_extensions ("
        "user_name VARCHAR(200) PRIMARY KEY, minutes INTEGER NOT NULL)");
    CreateSharedLimitTables();
    CreateTaskOrderTable();
    CreateRegradeTables();
}

// Adds a column to a table of an older store. Two servers opening it together may both
// find the column missing: the one that comes second sees it there afterwards.
void Database::AddMissingColumn(const QString& table, const QString& column, const QString& type) {
    auto present = [&] {
        QSqlQuery probe(Connection(connection_));
        return probe.exec("SELECT " + column + " FROM " + table + " WHERE 1 = 0");
    };
    if (present())
        return;
    try {
        Run("ALTER TABLE " + table + " ADD COLUMN " + column + " " + type);
    } catch (const StoreError& error) {
        if (error.Unavailable() || !present())
            throw;
    }
}

// Rows stored before credit and attempts were kept apart (their `counted` is empty) get
// them from what the row meant then. Such a row's `total` held the answers judged "верно"
// or "неверно", and it used an attempt when it had a number, a score and such an answer.
// A judged row's verdicts name every answer the task asked for, one "NAME: verdict" item
// each, "; " between them, so they give the task's count of answers; a row not judged
// keeps its `total`, as nothing in it tells the count. One statement, and only on rows
// still empty: two servers filling at once, or again at the next start, change nothing
// the first did not.
void Database::FillCreditOfOldSubmissions() {
    Run("UPDATE submissions SET "
        "counted = CASE WHEN attempt IS NOT NULL AND score >= 0 AND total > 0 THEN 1 ELSE 0 END, "
        "credited = CASE WHEN score > 0 THEN score ELSE 0 END, "
        "total = CASE WHEN score >= 0 AND verdicts <> '' "
        "THEN (LENGTH(verdicts) - LENGTH(REPLACE(verdicts, '; ', ''))) / 2 + 1 ELSE total END "
        "WHERE counted IS NULL");
}

bool Database::AddAccount(const std::string& name, const std::string& passwordHash, Role role) {
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    return Run("INSERT INTO accounts (name, password_hash, created_utc, role) VALUES (?, ?, ?, ?) "
               "ON CONFLICT (name) DO NOTHING",
               {Text(name), Text(passwordHash), now, RoleText(role)})
               .numRowsAffected() > 0;
}

bool Database::SetPasswordHash(const std::string& name, const std::string& passwordHash) {
    return Run("UPDATE accounts SET password_hash = ? WHERE name = ?",
               {Text(passwordHash), Text(name)})
               .numRowsAffected() > 0;
}

bool Database::ReplacePasswordHash(const std::string& name, const std::string& stored,
                                   const std::string& passwordHash) {
    return Run("UPDATE accounts SET password_hash = ? WHERE name = ? AND password_hash = ?",
               {Text(passwordHash), Text(name), Text(stored)})
               .numRowsAffected() > 0;
}

bool Database::RemoveAccount(const std::string& name) {
    return Run("DELETE FROM accounts WHERE name = ?", {Text(name)}).numRowsAffected() > 0;
}

std::optional<std::string> Database::PasswordHash(const std::string& name) {
    QSqlQuery query = Run("SELECT password_hash FROM accounts WHERE name = ?", {Text(name)});
    if (!query.next())
        return std::nullopt;
    return query.value(0).toString().toStdString();
}

std::vector<Database::Account> Database::Accounts() {
    QSqlQuery query = Run("SELECT name, role FROM accounts ORDER BY name");
    std::vector<Account> accounts;
    while (query.next())
        accounts.push_back(
            {query.value(0).toString().toStdString(), RoleOf(query.value(1).toString())});
    return accounts;
}

std::optional<Database::Role> Database::AccountRole(const std::string& name) {
    QSqlQuery query = Run("SELECT role FROM accounts WHERE name = ?", {Text(name)});
    if (!query.next())
        return std::nullopt;
    return RoleOf(query.value(0).toString());
}

std::vector<std::string> Database::AccountNames() {
    QSqlQuery query = Run("SELECT name FROM accounts ORDER BY name");
    std::vector<std::string> names;
    while (query.next())
        names.push_back(query.value(0).toString().toStdString());
    return names;
}

int Database::StoreSubmission(const SubmissionRecord& record, int maxAttempts) {
    // Two processes may both read the same last attempt number: the unique index fails
    // the second, which tries again and then sees the first's row, and with it the limit.
    for (int tries = 0;; ++tries) {
        try {
            return InsertSubmission(record, maxAttempts);
        } catch (const StoreError& error) {
            if (error.Unavailable() || tries >= kRaceRetries)
                throw;
        }
    }
}

int Database::InsertSubmission(const SubmissionRecord& record, int maxAttempts) {
    using platform::Cp1251ToUtf8;
    const QString user = Text(Cp1251ToUtf8(record.user));
    const QString task = Text(Cp1251ToUtf8(record.task));
    const QString columns = "INSERT INTO submissions (user_name, task, received_utc, payload, "
                            "verdicts, score, total, variant, credited, counted, attempt) ";
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    QVariantList row{user,
                     task,
                     now,
                     QByteArray::fromStdString(record.payload),
                     Text(Cp1251ToUtf8(record.verdicts)),
                     record.score,
                     record.total,
                     Text(Cp1251ToUtf8(record.variant)),
                     record.credited,
                     record.counted ? 1 : 0};
    if (!record.counted) {
        row << QVariant(QMetaType(QMetaType::Int));
        RunKept(columns + "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", row);
        return 0;
    }
    // One statement numbers the attempt and checks the limit against the rows committed
    // when it runs (and, in a transaction, the rows it stored before). PostgreSQL gives the
    // values selected no type by themselves: they are cast to the columns'.
    const bool postgres = driver_ == "QPSQL";
    auto typed = [postgres](const char* type) {
        return postgres ? QString("CAST(? AS %1)").arg(type) : QString("?");
    };
    QString sql = columns + "SELECT " + typed("VARCHAR") + ", " + typed("VARCHAR") + ", " +
                  typed("VARCHAR") + ", " + typed("BYTEA") + ", " + typed("TEXT") + ", " +
                  typed("INTEGER") + ", " + typed("INTEGER") + ", " + typed("TEXT") + ", " +
                  typed("DOUBLE PRECISION") + ", " + typed("INTEGER") +
                  ", COALESCE(MAX(attempt), 0) + 1 FROM submissions "
                  "WHERE user_name = ? AND task = ?";
    if (maxAttempts > 0)
        sql += QString(" HAVING COUNT(CASE WHEN counted = 1 THEN 1 END) < %1").arg(maxAttempts);
    sql += " RETURNING attempt";
    row << user << task;
    // The statement is finished at once, and with it SQLite's commit outside a transaction.
    const std::optional<QVariant> attempt = RunKept(sql, row).First();
    return attempt ? attempt->toInt() : kNoAttemptLeft;
}

std::vector<Database::GroupedOutcome>
Database::StoreSubmissions(const std::vector<GroupedSubmission>& group) {
    if (group.empty())
        return {};
    // A group nearly always stores without a failure, so at first its submissions go
    // without a savepoint each, which would cost two more statements apiece; at the first
    // failure the whole group is rolled back and stored again with them.
    if (std::optional<std::vector<GroupedOutcome>> outcomes = StoreGroup(group, false))
        return std::move(*outcomes);
    return std::move(*StoreGroup(group, true));
}

Database::GroupedOutcome Database::StoreGrouped(const GroupedSubmission& submission) {
    GroupedOutcome outcome;
    if (submission.intervalMs > 0 && !TakePace(submission))
        outcome.waitMs = PaceSubmission(submission.record.user, submission.nowMs,
                                        submission.intervalMs, submission.burst);
    if (outcome.waitMs > 0) {
        outcome.status = GroupedOutcome::Status::Paced;
        return outcome;
    }
    outcome.attempt = InsertSubmission(submission.record, submission.maxAttempts);
    outcome.status = GroupedOutcome::Status::Stored;
    if (outcome.attempt == kNoAttemptLeft) {
        outcome.status = GroupedOutcome::Status::NoAttemptLeft;
        outcome.attempt = submission.noAttemptLeft ? InsertSubmission(*submission.noAttemptLeft, 0)
                                                   : kNoAttemptLeft;
    }
    return outcome;
}

// Counts a submission against its student's pace in one statement when it may go, as
// PaceSubmission would (PaceAt's arithmetic in SQL); false when it may not, or was not
// counted, which PaceSubmission then tells.
bool Database::TakePace(const GroupedSubmission& submission) {
    const long long now = submission.nowMs;
    const long long interval = submission.intervalMs;
    const long long tolerance = interval * std::max(submission.burst - 1, 0);
    const long long reach = std::max(now + tolerance + interval, now);
    const bool postgres = driver_ == "QPSQL";
    const QString larger = postgres ? "GREATEST" : "MAX";
    const QString smaller = postgres ? "LEAST" : "MIN";
    const QString next = QString("%1(%2(submission_pacing.next_ms, CAST(? AS BIGINT)), CAST(? AS "
                                 "BIGINT))")
                             .arg(larger, smaller);
    return RunKept("INSERT INTO submission_pacing (user_name, next_ms) VALUES (?, ?) "
                   "ON CONFLICT (user_name) DO UPDATE SET next_ms = " +
                       next + " + CAST(? AS BIGINT) WHERE " + next +
                       " - CAST(? AS BIGINT) <= CAST(? AS BIGINT) RETURNING next_ms",
                   {Text(platform::Cp1251ToUtf8(submission.record.user)), now + interval, reach,
                    now, interval, reach, now, now, tolerance})
        .First()
        .has_value();
}

std::optional<std::vector<Database::GroupedOutcome>>
Database::StoreGroup(const std::vector<GroupedSubmission>& group, bool savepoints) {
    std::vector<GroupedOutcome> outcomes(group.size());
    const bool postgres = driver_ == "QPSQL";
    // SQLite's writer lock is taken at once, so that nothing read inside can change before
    // the group's writes; PostgreSQL's statements each see what is committed when they run
    // and wait for rows another process holds.
    Run(postgres ? "BEGIN" : "BEGIN IMMEDIATE");
    inTransaction_ = true;
    bool committing = false;
    auto rollBack = [&] {
        // Whatever the group stored goes with the transaction; a connection already lost
        // has taken it along, and so does a PostgreSQL commit that failed.
        if (open_ && !(postgres && committing)) {
            QSqlQuery rollback(Connection(connection_));
            rollback.exec("ROLLBACK");
        }
        failed_.clear();
        inTransaction_ = false;
    };
    try {
        for (std::size_t k = 0; k < group.size(); ++k) {
            if (!savepoints) {
                try {
                    outcomes[k] = StoreGrouped(group[k]);
                } catch (const StoreError& error) {
                    if (error.Unavailable())
                        throw;
                    rollBack();
                    return std::nullopt;
                }
                continue;
            }
            // Another process storing the same student's attempt, or pacing them, at the
            // same moment fails a statement (the unique index, a deadlock): the submission
            // is undone to its savepoint and tried again with what is committed by then.
            for (int tries = 0;; ++tries) {
                Run("SAVEPOINT submission");
                try {
                    outcomes[k] = StoreGrouped(group[k]);
                    Run("RELEASE SAVEPOINT submission");
                    break;
                } catch (const StoreError& error) {
                    if (error.Unavailable())
                        throw;
                    Run("ROLLBACK TO SAVEPOINT submission");
                    failed_.clear();
                    Run("RELEASE SAVEPOINT submission");
                    // SQLite holds the writer lock: no other process races it, and the
                    // same failure would come again.
                    if (!postgres || tries >= kRaceRetries) {
                        outcomes[k] = {};
                        outcomes[k].problem = error.what();
                        break;
                    }
                }
            }
        }
        committing = true;
        Run("COMMIT");
    } catch (...) {
        rollBack();
        throw;
    }
    inTransaction_ = false;
    return outcomes;
}

std::map<std::string, std::vector<double>> Database::JudgedAttempts(const std::string& user,
                                                                    const std::string& task) {
    // Rows stored before attempts were counted apart may carry a number without being one:
    // `counted` tells.
    QString sql = "SELECT task, credited FROM submissions WHERE user_name = ? AND counted = 1";
    QVariantList values{Text(user)};
    if (!task.empty()) {
        sql += " AND task = ?";
        values << Text(task);
    }
    std::map<std::string, std::vector<double>> attempts;
    for (const QVariantList& row : RunKept(sql + " ORDER BY attempt", values).rows)
        attempts[row.value(0).toString().toStdString()].push_back(row.value(1).toDouble());
    return attempts;
}

std::string Database::CourseSecret() {
    for (int tries = 0; tries < kRaceRetries; ++tries) {
        QSqlQuery query = Run("SELECT value FROM course_settings WHERE name = 'secret'");
        if (query.next())
            return query.value(0).toString().toStdString();
        query.finish();
        if (sodium_init() < 0)
            throw StoreError(StoreError::Kind::Failed, "libsodium cannot be initialised");
        unsigned char bytes[32];
        randombytes_buf(bytes, sizeof bytes);
        const QString secret =
            QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex();
        // Whichever server inserts first sets it; the other reads that one.
        Run("INSERT INTO course_settings (name, value) VALUES ('secret', ?) "
            "ON CONFLICT (name) DO NOTHING",
            {secret});
    }
    throw StoreError(StoreError::Kind::Failed, "cannot keep the course's secret in the database");
}

int Database::TimeExtension(const std::string& user) {
    const std::optional<QVariant> minutes =
        RunKept("SELECT minutes FROM time_extensions WHERE user_name = ?", {Text(user)}).First();
    return minutes ? minutes->toInt() : 0;
}

void Database::SetTimeExtension(const std::string& user, int minutes) {
    if (minutes == 0) {
        Run("DELETE FROM time_extensions WHERE user_name = ?", {Text(user)});
        return;
    }
    Run("INSERT INTO time_extensions (user_name, minutes) VALUES (?, ?) "
        "ON CONFLICT (user_name) DO UPDATE SET minutes = excluded.minutes",
        {Text(user), minutes});
}

namespace {

// A student's pace: the earliest time of the next submission if they came evenly, `stored`;
// a submission may go while that time is at most `tolerance` ahead of now. While the clock
// runs forward the time is never more than `tolerance` and one interval ahead; one further
// ahead was set before the wall clock was set back, and is brought back within reach
// (`next`), so that nobody waits longer than an interval.
struct PaceState {
    long long next = 0;
    long long waitMs = 0;
    bool behind = false; // the stored time is to be brought back to `next`
};

PaceState PaceAt(long long stored, long long nowMs, long long intervalMs, int burst) {
    const long long tolerance = intervalMs * std::max(burst - 1, 0);
    const long long reach = nowMs + tolerance + intervalMs;
    PaceState state;
    state.next = std::clamp(stored, nowMs, std::max(reach, nowMs));
    state.waitMs = std::max(0LL, state.next - tolerance - nowMs);
    state.behind = stored > reach;
    return state;
}

} // namespace

Database::Admission Database::ReadAdmission(const std::string& user, const std::string& task,
                                            long long nowMs, long long intervalMs, int burst) {
    const QString name = Text(platform::Cp1251ToUtf8(user));
    // One statement, one round trip: the kind of each row first (0 an attempt, 1 the
    // extension, 2 the pace). Rows stored before attempts were counted apart may carry a
    // number without being one: `counted` tells.
    const Outcome read = RunKept(
        "SELECT 0, credited, attempt FROM submissions WHERE user_name = ? AND task = ? AND "
        "counted = 1 UNION ALL SELECT 1, minutes, 0 FROM time_extensions WHERE user_name = ? "
        "UNION ALL SELECT 2, next_ms, 0 FROM submission_pacing WHERE user_name = ?",
        {name, Text(platform::Cp1251ToUtf8(task)), name, name});
    Admission admission;
    std::vector<std::pair<long long, double>> attempts; // attempt, credit
    for (const QVariantList& row : read.rows) {
        const int kind = row.value(0).toInt();
        if (kind == 0)
            attempts.emplace_back(row.value(2).toLongLong(), row.value(1).toDouble());
        else if (kind == 1)
            admission.extensionMinutes = row.value(1).toInt();
        else if (intervalMs > 0) {
            const long long stored = row.value(1).toLongLong();
            const PaceState pace = PaceAt(stored, nowMs, intervalMs, burst);
            admission.waitMs = pace.waitMs;
            if (pace.waitMs > 0 && pace.behind)
                RunKept(
                    "UPDATE submission_pacing SET next_ms = ? WHERE user_name = ? AND next_ms = ?",
                    {pace.next, name, stored});
        }
    }
    std::sort(attempts.begin(), attempts.end());
    for (const auto& [attempt, credited] : attempts)
        admission.attempts.push_back(credited);
    return admission;
}

long long Database::PaceSubmission(const std::string& user, long long nowMs, long long intervalMs,
                                   int burst) {
    const QString name = Text(platform::Cp1251ToUtf8(user));
    // Compare-and-set keeps two processes from both taking the last slot.
    for (int tries = 0; tries < kRaceRetries; ++tries) {
        // Read and finished at once: a read left open would pin SQLite's snapshot and make
        // the write below fail.
        const std::optional<QVariant> found =
            RunKept("SELECT next_ms FROM submission_pacing WHERE user_name = ?", {name}).First();
        if (!found) {
            if (RunKept("INSERT INTO submission_pacing (user_name, next_ms) VALUES (?, ?) "
                        "ON CONFLICT DO NOTHING",
                        {name, nowMs + intervalMs})
                    .changed > 0)
                return 0;
            continue;
        }
        const long long stored = found->toLongLong();
        const PaceState pace = PaceAt(stored, nowMs, intervalMs, burst);
        if (pace.waitMs > 0) {
            if (pace.behind)
                RunKept(
                    "UPDATE submission_pacing SET next_ms = ? WHERE user_name = ? AND next_ms = ?",
                    {pace.next, name, stored});
            return pace.waitMs;
        }
        if (RunKept("UPDATE submission_pacing SET next_ms = ? WHERE user_name = ? AND next_ms = ?",
                    {pace.next + intervalMs, name, stored})
                .changed > 0)
            return 0;
    }
    return intervalMs;
}

void Database::ForEachResult(const std::string& user, const std::string& task,
                             const std::function<void(const Result&)>& take) {
    QString sql = "SELECT id, user_name, task, received_utc, score, total, verdicts, payload, "
                  "attempt, variant, credited, counted FROM submissions WHERE 1 = 1";
    QVariantList values;
    if (!user.empty()) {
        sql += " AND user_name = ?";
        values << Text(user);
    }
    if (!task.empty()) {
        sql += " AND task = ?";
        values << Text(task);
    }
    EnsureOpen();
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
              query.value(6).toString().toStdString(), query.value(7).toByteArray().toStdString(),
              query.value(8).toInt(), query.value(9).toString().toStdString(),
              query.value(10).toDouble(), query.value(11).toInt() == 1});
    if (query.lastError().isValid())
        Fail("cannot read the submissions", query.lastError());
}

std::vector<Database::Result> Database::Results(const std::string& user, const std::string& task) {
    std::vector<Result> results;
    ForEachResult(user, task, [&results](const Result& result) { results.push_back(result); });
    return results;
}

void Database::ForEachJudgedAttempts(
    const std::function<void(const std::string& user, const std::string& task,
                             const std::vector<Attempt>& attempts)>& take) {
    // One row per user and task, its attempts as "attempt:credit:carried" items: a fifth of
    // the rows of one per attempt, which is what reading costs most. The items come in no
    // particular order and are put in the order of the attempts here. A carried answer is
    // known by its verdict's words, as the verdicts keep it.
    const QString items = "CAST(attempt AS TEXT) || ':' || CAST(credited AS TEXT) || "
                          "CASE WHEN verdicts LIKE '%" +
                          QString::fromUtf8(kCarriedVerdict) + "%' THEN ':1' ELSE ':0' END";
    const QString joined =
        driver_ == "QPSQL" ? "string_agg(" + items + ", ',')" : "group_concat(" + items + ")";
    EnsureOpen();
    QSqlQuery query(Connection(connection_));
    query.setForwardOnly(true);
    if (!query.exec("SELECT user_name, task, " + joined +
                    " FROM submissions WHERE counted = 1 "
                    "GROUP BY user_name, task"))
        Fail("cannot read the attempts", query.lastError());
    std::vector<std::pair<int, Attempt>> numbered;
    std::vector<Attempt> attempts;
    while (query.next()) {
        numbered.clear();
        for (const QStringView item : QStringView(query.value(2).toString()).split(u',')) {
            const qsizetype colon = item.indexOf(u':');
            const qsizetype flag = item.lastIndexOf(u':');
            numbered.emplace_back(item.left(colon).toInt(),
                                  Attempt{item.mid(colon + 1, flag - colon - 1).toDouble(),
                                          item.mid(flag + 1) == u"1"});
        }
        std::sort(numbered.begin(), numbered.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        attempts.clear();
        for (const auto& [number, attempt] : numbered)
            attempts.push_back(attempt);
        take(query.value(0).toString().toStdString(), query.value(1).toString().toStdString(),
             attempts);
    }
    if (query.lastError().isValid())
        Fail("cannot read the attempts", query.lastError());
}

std::pair<long long, long long> Database::SubmissionsMark() {
    // A regrade changes submissions in place and keeps what it replaced: the count of those,
    // and of the regrades, moves the mark too.
    QSqlQuery query = Run("SELECT COUNT(*) + (SELECT COUNT(*) FROM submission_history) + "
                          "(SELECT COUNT(*) FROM regrades), MAX(id) FROM submissions");
    if (!query.next())
        return {0, 0};
    return {query.value(0).toLongLong(), query.value(1).toLongLong()};
}

long long Database::SubmissionCount() {
    QSqlQuery query = Run("SELECT COUNT(*) FROM submissions");
    return query.next() ? query.value(0).toLongLong() : 0;
}
