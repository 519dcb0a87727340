#pragma once

#include "accounts/SharedLimits.h"
#include "net/ConnectionHost.h"
#include "session/LiveSession.h"
#include "session/ServerSession.h"
#include "session/SessionHost.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>
#include <string>
#include <utility>
#include <vector>

class QTcpSocket;

// One client of the testing server: its socket, its session, and the host side the
// session asks for accounts, submissions, login pacing and logging. The socket is read
// only while the session is not waiting for a login check or a submission, so a client's
// further bytes stay in the network's buffers meanwhile.
class Connection : public QObject, public SessionHost {
public:
    // `number` names the connection among this process's, also in the database. It serves
    // with what `tools` lends and reports to `events`.
    Connection(ConnectionTools tools, ConnectionEvents& events, QTcpSocket* socket,
               const QString& address, long long number);
    ~Connection() override;

    // Closes the connection at once, with the reason in the log.
    void Close(const QString& why);
    // A newer login of the same account takes the connection's place: the client is told
    // so (BYE "evicted", or the text as a MESSAGE) and the connection closes.
    void Evict(const QString& why);
    // The server stops: nothing more is read from the client; once a submission under way
    // has been answered, the client is told why and the connection closes.
    void Stop();
    qint64 Unsent() const { return unsent_; }
    long long Number() const { return number_; }
    // The student's address, for limits and the log.
    const QString& Address() const { return address_; }
    // Who is connected, from where, since when, at which task, and the last submission.
    LiveSession Describe() const;

    LoginDecision CheckLogin(const std::string& user, const std::string& password) override;
    StudentRecord Student(const std::string& user) override;
    std::string CourseSecret() const override;
    LocalTime Now() const override { return CurrentLocalTime(); }
    std::optional<SubmissionOutcome> Submit(const SubmissionRequest& request) override;
    std::optional<SubmissionHistory> History(const std::string& user,
                                             const std::string& task) override;
    void Log(const std::string& utf8Line) override { Note(QString::fromStdString(utf8Line)); }

private:
    void Note(const QString& line);
    void StartCheck(const std::string& attempt, const std::string& user,
                    const std::string& password);
    void Decide(const std::string& attempt, LoginDecision decision);
    // Counts a refused attempt in the database under its keys, then decides it.
    void Refuse(const std::string& attempt, std::vector<std::string> failureKeys);
    void RememberLogin(const std::string& utf8User, const SharedLimits::LoginPace& pace,
                       bool wantsToken);
    // The login's pacing says wait this long before the attempt is checked.
    void WaitForTurn(long long waitMs);
    void Resume();
    void Read();
    void Answer(const std::string& reply);
    void WatchHeader(long long answeredBefore);
    void UpdateUnsent();
    // Stopping and no submission under way: says goodbye and closes.
    void FinishIfSettled();

    ConnectionTools tools_;
    ConnectionEvents& events_;
    QTcpSocket* socket_;
    QString address_; // the student's address, for limits and the log
    QString label_;   // address and port, for the log
    long long number_;
    ServerSession session_;
    QTimer idle_;
    QTimer loginDeadline_;
    QTimer headerDeadline_;
    QTimer loginWait_; // paced login attempts wait here
    bool checking_ = false;
    std::optional<std::pair<std::string, LoginDecision>> decided_; // "user;password", decision
    StudentRecord student_; // read with the account at the last login check
    bool submitting_ = false;
    std::optional<SubmissionOutcome> submitted_;
    bool readingHistory_ = false;
    std::optional<SubmissionHistory> history_;
    qint64 unsent_ = 0; // reply bytes not yet taken by the network, as last reported
    bool released_ = false;
    bool everLoggedIn_ = false; // a login was accepted: the server counts it as logged in
    bool stopping_ = false;
    bool farewellSent_ = false;
    QString connectedAt_;    // local time
    QString lastSubmission_; // time, task and outcome
};
