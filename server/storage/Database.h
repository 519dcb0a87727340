#pragma once

#include "judging/SubmissionOutcome.h"
#include "storage/StoreError.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QSqlQuery;

// The server's store of accounts and submissions, through Qt SQL. A location that is a
// "postgresql://USER@HOST:PORT/DATABASE" URL is a PostgreSQL database (driver QPSQL), for
// a department-wide server; anything else is the file of an SQLite database (driver
// QSQLITE, write-ahead log, every commit synced). The tables are created on first use; a
// store made by an older server gains the columns it lacks in place, its rows filled.
// Names and verdicts are stored as UTF-8; a submission's payload as the bytes that came.
//
// One Database is one connection and belongs to the thread that made it. A PostgreSQL
// connection that is lost is opened again on the next use, at most once per back-off
// interval (doubling up to half a minute); meanwhile every call throws StoreError of kind
// Unavailable. Every failure throws StoreError, with the driver's message.
class Database {
public:
    struct Result {
        long long id = 0;
        std::string user;
        std::string task;
        std::string receivedUtc; // ISO 8601, e.g. 2026-12-07T10:15:30.250Z
        int score = -1;          // answers judged "верно"; -1: not judged
        int total = 0;           // the answers the task asks for
        std::string verdicts;
        std::string payload;  // CP1251, as received
        int attempt = 0;      // the attempt it used; 0 when none
        std::string variant;  // the variant's values; empty for a task without PARAMETERS
        double credited = 0;  // the credit it earns, in the unit of score (SubmissionRecord)
        bool counted = false; // it used an attempt
    };

    // Opens at once (throwing when it cannot) unless `later`: then the first use opens.
    // A password, when the server needs one, comes apart from the location, never in it.
    explicit Database(const std::string& location, const std::string& password = {},
                      bool later = false);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Who an account belongs to: a student works the tasks; a teacher signs in to the
    // gradebook's web pages and is no row of it.
    enum class Role { Student, Teacher };
    struct Account {
        std::string name;
        Role role = Role::Student;
    };

    // False when an account of that name exists already (also when another process adds
    // it at the same moment: the insert itself yields to an existing row).
    bool AddAccount(const std::string& name, const std::string& passwordHash,
                    Role role = Role::Student);
    // Sets an existing account's password hash; false when there is no such account.
    bool SetPasswordHash(const std::string& name, const std::string& passwordHash);
    // Replaces the hash only while it is still `stored`; false otherwise.
    bool ReplacePasswordHash(const std::string& name, const std::string& stored,
                             const std::string& passwordHash);
    bool RemoveAccount(const std::string& name);
    std::optional<std::string> PasswordHash(const std::string& name);
    std::vector<std::string> AccountNames();
    // Every account with its role, by name.
    std::vector<Account> Accounts();
    // The role of an account; nullopt when there is none of that name.
    std::optional<Role> AccountRole(const std::string& name);

    // Stores a submission (CP1251 texts as the session gives them) and commits it. Returns
    // its attempt number: 1 for the user's first submission to the task that counts as an
    // attempt, then 2, 3, ...; the database holds each number once per user and task,
    // across processes. A submission that is no attempt is stored without one: 0.
    // With `maxAttempts` above 0 an attempt is stored only while fewer than that many are,
    // decided by the insert itself, so that two processes storing at once cannot both take
    // the last one: the loser is not stored and kNoAttemptLeft comes back.
    static constexpr int kNoAttemptLeft = -1;
    int StoreSubmission(const SubmissionRecord& record, int maxAttempts = 0);

    // Submissions that came together, each paced and stored as StoreSubmission and
    // PaceSubmission would, all in one transaction with one commit, so that a group costs
    // the disk one sync. Each goes on its own: one that its pace or the attempt limit turns
    // away leaves the others as they are, and so does one that fails (the group is then
    // stored again with a savepoint for each). When the transaction cannot be committed
    // nothing of it is kept, and this throws.
    struct GroupedSubmission {
        SubmissionRecord record;
        int maxAttempts = 0; // as StoreSubmission's
        // Stored instead when no attempt is left (the attempt limit decides inside the
        // insert); without it such a submission is not stored.
        std::optional<SubmissionRecord> noAttemptLeft;
        // Its pace (PaceSubmission's, under the record's user); none when intervalMs is 0.
        long long nowMs = 0;
        long long intervalMs = 0;
        int burst = 1;
    };
    struct GroupedOutcome {
        enum class Status { Stored, NoAttemptLeft, Paced, Failed };
        Status status = Status::Failed;
        int attempt = 0;      // Stored, NoAttemptLeft (the stand-in's, 0) as StoreSubmission's
        long long waitMs = 0; // Paced
        std::string problem;  // Failed: the database's message
    };
    std::vector<GroupedOutcome> StoreSubmissions(const std::vector<GroupedSubmission>& group);
    // The credit of each judged attempt (a submission `counted`) of one user (UTF-8 name)
    // at each task (UTF-8 names), in the order of the attempts; only `task`'s when it is
    // given.
    std::map<std::string, std::vector<double>> JudgedAttempts(const std::string& user,
                                                              const std::string& task = {});

    // The course's secret that students' variants are drawn with: made at random the first
    // time it is asked for and kept; two servers asking at once get the same one.
    std::string CourseSecret();
    // A regrade's new verdict of one submission (UTF-8 verdicts).
    struct Regraded {
        long long id = 0;
        std::string verdicts;
        int score = 0;
        double credited = 0;
    };
    // Replaces the verdicts, score and credit of each submission of the batch, in one
    // transaction; the replaced ones are kept in the submission history.
    void StoreRegraded(const std::vector<Regraded>& batch);
    // A regrade done: when (ISO 8601, UTC), the tasks it judged again (UTF-8, "" for all),
    // how many submissions and how many of them went up and down.
    struct RegradeRecord {
        std::string doneUtc;
        std::string tasks;
        int regraded = 0;
        int up = 0;
        int down = 0;
    };
    void RecordRegrade(const RegradeRecord& record);
    std::vector<RegradeRecord> Regrades();

    // The order in which the course first listed its tasks: the names (UTF-8) not yet
    // recorded are appended in the order given; two servers starting at once record each
    // name once. Returns every recorded name's place (ties, from such a race, go by name).
    std::map<std::string, int> RecordTaskOrder(const std::vector<std::string>& names);
    // The minutes one student (UTF-8 name) may work past the test window's close; 0 unless
    // set. Setting 0 takes the extension back.
    int TimeExtension(const std::string& user);
    void SetTimeExtension(const std::string& user, int minutes);
    // Submissions in the order they came, optionally only of one user and/or one task,
    // each handed to `take` as it is read: the rows are never all held at once.
    void ForEachResult(const std::string& user, const std::string& task,
                       const std::function<void(const Result&)>& take);
    std::vector<Result> Results(const std::string& user = {}, const std::string& task = {});
    // The judged attempts (as JudgedAttempts counts them) of every user at every task,
    // handed to `take` one user and task at a time: their names (UTF-8) and each attempt's
    // credit, and whether its verdicts hold an answer right with the errors it carries, in
    // the order of the attempts.
    void
    ForEachJudgedAttempts(const std::function<void(const std::string& user, const std::string& task,
                                                   const std::vector<Attempt>& attempts)>& take);
    long long SubmissionCount();
    // The number of submissions (and of the verdicts a regrade replaced) and the newest id:
    // submissions are only ever added and changed only by a regrade, so a mark that has
    // not changed means no submission came and none changed (also from other processes).
    std::pair<long long, long long> SubmissionsMark();

    // Paces a user's submissions, shared by every server process on the database: at most
    // `burst` at once, then one per `intervalMs`. Returns 0 when a submission may go now
    // (and counts it), else the milliseconds until one may. `nowMs` is wall-clock time.
    long long PaceSubmission(const std::string& user, long long nowMs, long long intervalMs,
                             int burst);
    // What a submission of `user` to `task` (CP1251) is admitted by, read at once: its
    // wait (what PaceSubmission would answer, without counting it: it is counted when it
    // is stored, by StoreSubmissions, in the same commit), the credit of the judged attempts so
    // far in their order (JudgedAttempts'), the student's extra minutes (TimeExtension's).
    struct Admission {
        long long waitMs = 0;
        std::vector<double> attempts;
        int extensionMinutes = 0;
    };
    Admission ReadAdmission(const std::string& user, const std::string& task, long long nowMs,
                            long long intervalMs, int burst);

    // Paces login attempts, shared by every server process on the database: once a key (an
    // address, an account name) has `freeFailures` failed logins within `windowMs`, its
    // attempts go at most one per `delayMs`. Returns 0 when an attempt under all the keys
    // may be checked now (and counts it), else the milliseconds until one may. Wall-clock
    // milliseconds.
    struct LoginPacing {
        int freeFailures = 5;
        long long windowMs = 60'000;
        long long delayMs = 1'000;
    };
    long long ReserveLogin(const std::vector<std::string>& keys, long long nowMs,
                           const LoginPacing& pacing);
    // Counts a failed login under the keys. While the database cannot record it (a full or
    // read-only disk) it is counted in this process's memory instead, which paces as well,
    // and the database's failure is thrown.
    void RecordLoginFailure(const std::vector<std::string>& keys, long long nowMs,
                            const LoginPacing& pacing);

    // Where an account logged in: a login from an address where it logged in within the
    // last month, or with one of its device tokens, is paced on its own, apart from others'
    // guesses at the account. Names are UTF-8; tokens are kept only as their digests.
    void RememberLoginAddress(const std::string& user, const std::string& address, long long nowMs);
    // When the account last logged in from the address, as remembered; nullopt if never.
    std::optional<long long> LastLoginFrom(const std::string& user, const std::string& address);
    // Keeps a new device token of `user`; an account keeps its newest few.
    void AddDeviceToken(const std::string& user, const std::string& token, long long nowMs);
    bool IsDeviceToken(const std::string& user, const std::string& token);

    // The connections logged in, over every server process on the database, so that an
    // account's limit of connections holds across them. A process proves it lives by its
    // heartbeat; the sessions of one whose heartbeat is older than `leaseMs` do not count
    // and are removed. Process ids and connection numbers are the processes' own.
    void Heartbeat(const std::string& process, long long nowMs, long long leaseMs);
    // Adds a session of `user` (UTF-8) and marks the account's oldest live sessions beyond
    // `limit` to be closed by the processes that own them.
    void OpenSession(const std::string& process, long long connection, const std::string& user,
                     long long nowMs, long long leaseMs, int limit);
    void CloseSession(const std::string& process, long long connection);
    // This process's sessions marked to be closed.
    std::vector<long long> SessionsToClose(const std::string& process);
    // A login (`user` set, UTF-8) or a logout (`user` empty) of one of this process's
    // connections, at a time.
    struct SessionChange {
        long long connection = 0;
        std::string user;
        long long atMs = 0;
    };
    // One commit for all that changed since the last beat: the heartbeat, the sessions
    // opened and closed in order, and then the sessions of this process to close.
    std::vector<long long> UpdateSessions(const std::string& process,
                                          const std::vector<SessionChange>& changes,
                                          long long nowMs, long long leaseMs, int limit);
    // The process ends: its sessions and heartbeat go.
    void EndProcess(const std::string& process);

    // "connection lost: WHY" or "connection restored" once after each change, else nullopt.
    std::optional<std::string> TakeStateChange();

    const QString& DriverName() const { return driver_; }

private:
    void Open();
    void EnsureOpen();
    void LoseConnection(const QString& why);
    bool Alive();
    void CreateTables();
    void CreateSharedLimitTables();
    void CreateTaskOrderTable();
    void CreateRegradeTables();
    long long ReserveStoredLogin(const std::vector<std::string>& keys, long long nowMs,
                                 const LoginPacing& pacing);
    void RecordStoredLoginFailure(const std::vector<std::string>& keys, long long nowMs,
                                  const LoginPacing& pacing);
    void AddMissingColumn(const QString& table, const QString& column, const QString& type);
    void FillCreditOfOldSubmissions();
    // The attempt number of a submission inserted (kNoAttemptLeft when the limit turned it
    // away), by one statement; a race with another process throws.
    int InsertSubmission(const SubmissionRecord& record, int maxAttempts);
    bool TakePace(const GroupedSubmission& submission);
    // One submission of a group, paced and stored.
    GroupedOutcome StoreGrouped(const GroupedSubmission& submission);
    // The group in one transaction, each submission under a savepoint of its own or not;
    // without them, nullopt when one failed (and nothing was kept).
    std::optional<std::vector<GroupedOutcome>>
    StoreGroup(const std::vector<GroupedSubmission>& group, bool savepoints);
    QSqlQuery Run(const QString& sql, const QVariantList& values = {});
    // Run for the statements every submission runs: on PostgreSQL each is prepared once
    // per connection and kept, which saves the server two of every three round trips.
    // Gives the rows read and the rows changed; the statement is finished when it returns.
    struct Outcome {
        std::vector<QVariantList> rows;
        int changed = 0;
        // The first row's first value; none without a row.
        std::optional<QVariant> First() const {
            return rows.empty() ? std::nullopt : std::optional<QVariant>(rows.front().value(0));
        }
    };
    Outcome RunKept(const QString& sql, const QVariantList& values);
    template <typename Value> Value OnLiveConnection(const std::function<Value()>& attempt);
    Outcome ExecuteKept(const QString& sql, const QVariantList& values);
    QSqlQuery Execute(const QString& sql, const QVariantList& values);

    QString connection_;
    QString driver_;
    bool open_ = false;
    // Inside StoreSubmissions' transaction: a lost connection is not opened again there,
    // as the statements after it would run outside the transaction.
    bool inTransaction_ = false;
    std::vector<QSqlQuery> failed_;     // statements that failed in it, kept until rolled back
    std::map<QString, QSqlQuery> kept_; // RunKept's prepared statements, by their text
    long long retryAtMs_ = 0;           // steady-clock time of the next reopening attempt
    long long backoffMs_ = 0;
    QString lostBecause_;
    std::optional<std::string> stateChange_;
};

// Whether a --db location names a PostgreSQL database rather than an SQLite file.
bool IsPostgresLocation(const std::string& location);
