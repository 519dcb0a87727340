#include "net/ClientConnection.h"

#include "accounts/Password.h"
#include "accounts/PasswordUpgrade.h"
#include "log/ServerLog.h"
#include "platform/Cp1251.h"
#include "protocol/Messages.h"
#include "storage/Database.h"
#include "storage/ServerWorkers.h"
#include "storage/SubmissionPipeline.h"

#include <QDateTime>
#include <QPointer>
#include <QSslSocket>
#include <QTcpSocket>

#include <deque>

namespace {

constexpr qint64 kReadChunk = 64 * 1024;

const char* const kStoppingText = "Сервер остановлен. Ответы сохранены; войдите снова позже.";
const char* const kEvictedText = "Под этим именем вошли с другого компьютера.";

QString LocalNow() {
    return QDateTime::currentDateTime().toString("dd.MM.yyyy HH:mm:ss");
}

QString OutcomeText(const SubmissionOutcome& outcome) {
    using Status = SubmissionOutcome::Status;
    switch (outcome.status) {
    case Status::Stored:
        if (!outcome.notJudged.empty())
            return QString::fromStdString(outcome.notJudged);
        return QString("верно %1 из %2")
            .arg(outcome.verdict.correctCount)
            .arg(outcome.verdict.answers.size());
    case Status::Paced:
        return "слишком часто, не принято";
    case Status::TooComplex:
        return "выражение слишком сложное";
    case Status::NotStored:
    case Status::Unavailable:
        return "не сохранено";
    }
    return {};
}

StudentRecord ReadStudent(Database& database, const std::string& utf8User) {
    StudentRecord student;
    for (const auto& [task, credits] : database.JudgedAttempts(utf8User)) {
        std::vector<Attempt>& attempts = student.attempts[platform::Utf8ToCp1251(task)];
        for (const double credited : credits)
            attempts.push_back({credited});
    }
    student.extensionMinutes = database.TimeExtension(utf8User);
    return student;
}

} // namespace

Connection::Connection(ConnectionTools tools, ConnectionEvents& events, QTcpSocket* socket,
                       const QString& address, long long number)
    : QObject(socket), tools_(tools), events_(events), socket_(socket), address_(address),
      label_(address + " " + QString::number(socket->peerPort())), number_(number),
      session_(tools.bank, *this) {
    socket_->setReadBufferSize(kReadChunk);
    for (QTimer* timer : {&idle_, &loginDeadline_, &headerDeadline_, &loginWait_})
        timer->setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] { Close("idle for too long, closed"); });
    connect(&loginDeadline_, &QTimer::timeout, this, [this] {
        // A login that came in time and waits for its check, in a crowd of logins, is
        // given the time it takes.
        if (checking_ || loginWait_.isActive())
            loginDeadline_.start(tools_.limits.loginDeadlineMs);
        else if (!session_.LoggedIn())
            Close("no login in time, closed");
    });
    connect(&headerDeadline_, &QTimer::timeout, this, [this] {
        if (session_.HeaderIncomplete())
            Close("a frame header did not complete in time, closed");
    });
    connect(&loginWait_, &QTimer::timeout, this, [this] { Resume(); });
    connect(socket_, &QTcpSocket::readyRead, this, [this] { Read(); });
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] { UpdateUnsent(); });
    if (auto* secure = qobject_cast<QSslSocket*>(socket_))
        connect(secure, &QSslSocket::encryptedBytesWritten, this, [this] { UpdateUnsent(); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        Note("disconnected");
        socket_->deleteLater();
    });
    idle_.start(tools_.limits.idleMs);
    loginDeadline_.start(tools_.limits.loginDeadlineMs);
    connectedAt_ = LocalNow();
    Note("connected");
    // What the server offers goes first; a client that does not know FEATURES drops it.
    Answer(ServerSession::Greeting());
}

Connection::~Connection() {
    events_.UnsentChanged(-unsent_);
    events_.Released(this, address_, everLoggedIn_);
}

void Connection::Note(const QString& line) {
    ServerLog(label_ + ": " + line);
}

void Connection::Close(const QString& why) {
    if (socket_->state() != QAbstractSocket::UnconnectedState) {
        Note(why);
        socket_->abort();
    }
    // What it held unsent is gone with it.
    events_.UnsentChanged(-unsent_);
    unsent_ = 0;
}

void Connection::Evict(const QString& why) {
    if (socket_->state() != QAbstractSocket::ConnectedState) {
        Close(why);
        return;
    }
    Note(why);
    // Told why, the student's client does not log in again by itself and take the place
    // back from the newer login.
    Answer(session_.Farewell(kByeEvicted, kEvictedText));
    // What was written still goes out before the connection closes; nothing more is read.
    socket_->disconnectFromHost();
}

void Connection::Stop() {
    stopping_ = true;
    for (QTimer* timer : {&idle_, &loginDeadline_, &headerDeadline_, &loginWait_})
        timer->stop();
    FinishIfSettled();
}

void Connection::FinishIfSettled() {
    if (!stopping_ || submitting_ || readingHistory_ || farewellSent_)
        return;
    farewellSent_ = true;
    if (socket_->state() != QAbstractSocket::ConnectedState) {
        socket_->abort();
        return;
    }
    Note("the server stops, closed");
    Answer(session_.Farewell(kByeStopping, kStoppingText));
    // What was written still goes out before the connection closes.
    socket_->disconnectFromHost();
}

LoginDecision Connection::CheckLogin(const std::string& user, const std::string& password) {
    const std::string attempt = user + ";" + password;
    if (decided_ && decided_->first == attempt) {
        const LoginDecision decision = decided_->second;
        decided_.reset();
        if (decision == LoginDecision::Accepted) {
            loginDeadline_.stop();
            events_.LoggedIn(this, user, !std::exchange(everLoggedIn_, true));
        } else {
            events_.LoggedOut(this);
        }
        return decision;
    }
    if (checking_ || loginWait_.isActive())
        return LoginDecision::Pending;
    StartCheck(attempt, user, password);
    return LoginDecision::Pending;
}

void Connection::WaitForTurn(long long waitMs) {
    checking_ = false;
    events_.LogRarely("pacing", label_ + ": login attempts paced, the next in " +
                                    QString::number(waitMs) + " ms");
    loginWait_.start(static_cast<int>(std::min<long long>(waitMs, SharedLimits::Pacing.delayMs)));
}

// The login's pacing is asked and the account read on a lookup thread, and the password
// checked on a check thread started from there, so that other clients are served
// meanwhile; the decision comes back to this thread and the session goes on. A paced
// attempt waits its turn and is asked for again. A refusal is counted in the database
// before it is answered, so that a quick burst of guesses, across server processes too,
// meets the pacing as soon as it is due.
void Connection::StartCheck(const std::string& attempt, const std::string& user,
                            const std::string& password) {
    checking_ = true;
    QPointer<Connection> self(this);
    ServerWorkers& workers = tools_.workers;
    const Features& features = session_.ClientFeatures();
    tools_.workers.RunLookup([self, &workers, attempt, user, password, address = address_,
                              token = ReadDevice(features.ValueOf(kFeatureDevice)),
                              wantsToken = features.Has(kFeatureDevice)](Database& database) {
        std::optional<std::string> hash;
        StudentRecord student;
        SharedLimits::LoginPace pace;
        const std::string name = platform::Cp1251ToUtf8(user);
        try {
            pace = SharedLimits::PaceOf(database, address, name, token);
            const long long wait =
                database.ReserveLogin(pace.keys, SharedLimits::NowMs(), SharedLimits::Pacing);
            if (wait > 0)
                return ServerWorkers::Continuation([self, wait] {
                    if (!self.isNull())
                        self->WaitForTurn(wait);
                });
            hash = database.PasswordHash(name);
            if (hash)
                student = ReadStudent(database, name);
        } catch (const std::exception& error) {
            const QString why = QString::fromUtf8(error.what());
            return ServerWorkers::Continuation([self, attempt, why] {
                if (self.isNull())
                    return;
                self->Note("cannot read the accounts: " + why);
                self->Decide(attempt, LoginDecision::Unavailable);
            });
        }
        workers.RunCheck([self, attempt, user, name, password, hash, student, pace, wantsToken] {
            // An unknown name costs the same work as a wrong password.
            static const std::string unknown = password::Hash("");
            const password::Check check = password::CheckLogin(password, hash.value_or(unknown));
            const bool accepted = check.accepted && hash;
            return ServerWorkers::Continuation([self, attempt, user, name, hash, student, accepted,
                                                pace, wantsToken, upgraded = check.upgradedHash] {
                if (self.isNull())
                    return;
                if (!accepted) {
                    self->Refuse(attempt, pace.FailureKeys(hash.has_value()));
                    return;
                }
                // A hash of an older, weaker kind is replaced by today's once the
                // password matched it.
                if (!upgraded.empty())
                    self->tools_.workers.RunStore(
                        [user, stored = *hash, upgraded](Database& database) {
                            StoreUpgradedHash(database, user, stored, upgraded);
                            return ServerWorkers::Continuation();
                        });
                self->student_ = student;
                self->Decide(attempt, LoginDecision::Accepted);
                if (SharedLimits::LoginToRemember(pace, wantsToken))
                    self->RememberLogin(name, pace, wantsToken);
            });
        });
        return ServerWorkers::Continuation();
    });
}

// The address of an accepted login is remembered, and a client that takes device tokens
// is given one (once it is stored) unless it logged in with one.
void Connection::RememberLogin(const std::string& utf8User, const SharedLimits::LoginPace& pace,
                               bool wantsToken) {
    QPointer<Connection> self(this);
    tools_.workers.RunStore(
        [self, address = address_, utf8User, pace, wantsToken](Database& database) {
            std::string token;
            try {
                token = SharedLimits::LoginAccepted(database, address, utf8User, pace, wantsToken);
            } catch (const std::exception& error) {
                const QString why = QString::fromUtf8(error.what());
                return ServerWorkers::Continuation([self, why] {
                    if (!self.isNull())
                        self->Note("cannot remember the login: " + why);
                });
            }
            return ServerWorkers::Continuation([self, token, utf8User] {
                if (!self.isNull() && !token.empty() &&
                    platform::Cp1251ToUtf8(self->session_.User()) == utf8User)
                    self->Answer(WriteDevice(token));
            });
        });
}

void Connection::Refuse(const std::string& attempt, std::vector<std::string> failureKeys) {
    QPointer<Connection> self(this);
    tools_.shared.RecordLoginFailure(std::move(failureKeys), [self, attempt] {
        if (!self.isNull())
            self->Decide(attempt, LoginDecision::Refused);
    });
}

void Connection::Decide(const std::string& attempt, LoginDecision decision) {
    checking_ = false;
    decided_ = {attempt, decision};
    Resume();
}

StudentRecord Connection::Student(const std::string& /*user*/) {
    return student_;
}

LiveSession Connection::Describe() const {
    return {platform::Cp1251ToUtf8(session_.User()), label_.toStdString(),
            connectedAt_.toStdString(), platform::Cp1251ToUtf8(session_.OpenTaskName()),
            lastSubmission_.toStdString()};
}

std::string Connection::CourseSecret() const {
    return tools_.courseSecret;
}

std::optional<SubmissionOutcome> Connection::Submit(const SubmissionRequest& request) {
    if (submitted_) {
        std::optional<SubmissionOutcome> outcome;
        outcome.swap(submitted_);
        return outcome;
    }
    // Once the server stops, a submission not yet under way is not started: it is neither
    // stored nor answered.
    if (submitting_ || stopping_)
        return std::nullopt;
    submitting_ = true;
    QPointer<Connection> self(this);
    const QString task = QString::fromStdString(platform::Cp1251ToUtf8(request.task->name));
    tools_.pipeline.Submit(request, [self, task](const SubmissionOutcome& outcome) {
        if (self.isNull())
            return;
        self->lastSubmission_ = LocalNow() + " " + task + ": " + OutcomeText(outcome);
        self->submitting_ = false;
        self->submitted_ = outcome;
        self->Resume();
    });
    return std::nullopt;
}

// The student's submissions at a task are read on a store thread, keeping only the newest
// few, however many are stored; the session is continued with them.
std::optional<SubmissionHistory> Connection::History(const std::string& user,
                                                     const std::string& task) {
    if (history_) {
        std::optional<SubmissionHistory> history;
        history.swap(history_);
        return history;
    }
    if (readingHistory_ || stopping_)
        return std::nullopt;
    readingHistory_ = true;
    QPointer<Connection> self(this);
    tools_.workers.RunStore([self, user = platform::Cp1251ToUtf8(user),
                             task = platform::Cp1251ToUtf8(task)](Database& database) {
        SubmissionHistory history;
        QString why;
        try {
            std::deque<PastSubmission> newest;
            database.ForEachResult(user, task, [&newest](const Database::Result& result) {
                if (newest.size() == SubmissionHistory::kMaxHistory)
                    newest.pop_front();
                newest.push_back({result.receivedUtc, result.payload,
                                  platform::Utf8ToCp1251(result.verdicts), result.score,
                                  result.total, result.attempt, result.credited});
            });
            history.submissions.assign(newest.begin(), newest.end());
        } catch (const std::exception& error) {
            history.available = false;
            why = QString::fromUtf8(error.what());
        }
        return ServerWorkers::Continuation([self, history, why] {
            if (self.isNull())
                return;
            if (!why.isEmpty())
                self->Note("cannot read the submissions: " + why);
            self->readingHistory_ = false;
            self->history_ = history;
            self->Resume();
        });
    });
    return std::nullopt;
}

// The frames held back behind a decided login or submission are answered, then what the
// client sent meanwhile is read.
void Connection::Resume() {
    const long long answeredBefore = session_.FramesAnswered();
    Answer(session_.Continue());
    WatchHeader(answeredBefore);
    Read();
}

void Connection::Read() {
    if (stopping_) { // what the client sends now is not read
        FinishIfSettled();
        return;
    }
    const long long answeredBefore = session_.FramesAnswered();
    while (socket_->bytesAvailable() > 0 && !session_.Broken() && !session_.Waiting() &&
           socket_->state() == QAbstractSocket::ConnectedState) {
        const QByteArray bytes = socket_->read(kReadChunk);
        Answer(session_.Receive(std::string_view(bytes.constData(), bytes.size())));
    }
    WatchHeader(answeredBefore);
}

// Only complete frames count as activity: a client dripping bytes stays idle, and a
// frame header must complete within the deadline.
void Connection::WatchHeader(long long answeredBefore) {
    if (session_.FramesAnswered() != answeredBefore) {
        idle_.start(tools_.limits.idleMs);
        headerDeadline_.stop();
    }
    if (!session_.HeaderIncomplete())
        headerDeadline_.stop();
    else if (!headerDeadline_.isActive())
        headerDeadline_.start(tools_.limits.loginDeadlineMs);
}

void Connection::Answer(const std::string& reply) {
    if (socket_->state() != QAbstractSocket::ConnectedState)
        return;
    socket_->write(reply.data(), static_cast<qint64>(reply.size()));
    if (session_.Broken()) {
        Note("unreadable or oversized frame, closed");
        socket_->disconnectFromHost();
        return;
    }
    UpdateUnsent();
}

void Connection::UpdateUnsent() {
    qint64 unsent = socket_->bytesToWrite();
    if (auto* secure = qobject_cast<QSslSocket*>(socket_))
        unsent += secure->encryptedBytesToWrite();
    events_.UnsentChanged(unsent - unsent_);
    unsent_ = unsent;
    if (unsent_ > tools_.limits.unsentReplyBytes)
        Close("replies not read, closed");
}
