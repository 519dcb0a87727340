#include "accounts/SharedLimits.h"

#include "log/ServerLog.h"
#include "storage/ServerWorkers.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QHostInfo>
#include <QPointer>
#include <QRandomGenerator>

#include <array>
#include <atomic>

SharedLimits::SharedLimits(ServerWorkers& workers, int connectionsPerAccount,
                           std::function<void(long long)> close)
    : workers_(workers), connectionsPerAccount_(connectionsPerAccount), close_(std::move(close)) {
    // Unique among processes on other machines and after a restart with the same pid.
    process_ = QStringLiteral("%1/%2/%3")
                   .arg(QHostInfo::localHostName())
                   .arg(QCoreApplication::applicationPid())
                   .arg(QRandomGenerator::global()->generate64(), 16, 16, QChar('0'))
                   .toStdString();
    connect(&heartbeat_, &QTimer::timeout, this, [this] { Beat(); });
    heartbeat_.start(HeartbeatMs);
    Beat();
}

SharedLimits::~SharedLimits() {
    Run([process = process_](Database& database) { database.EndProcess(process); });
}

SharedLimits::LoginPace SharedLimits::PaceOf(Database& database, const QString& address,
                                             const std::string& utf8User,
                                             const std::string& deviceToken) {
    LoginPace pace;
    const std::string where = address.toStdString();
    // A store that cannot be read trusts nothing: the attempt is paced as any other (in
    // memory, while the database cannot keep it).
    const auto asked = [](const std::function<bool()>& question) {
        try {
            return question();
        } catch (const std::exception&) {
            return false;
        }
    };
    try {
        pace.addressSeenMs = database.LastLoginFrom(utf8User, where);
    } catch (const std::exception&) {
    }
    if (asked([&] { return database.IsDeviceToken(utf8User, deviceToken); })) {
        // Each token on its own: one stolen token guesses no faster than one owner types.
        pace.keys = {"device " + QCryptographicHash::hash(QByteArray::fromStdString(deviceToken),
                                                          QCryptographicHash::Sha256)
                                     .toHex()
                                     .toStdString()};
        pace.byToken = pace.trusted = true;
    } else if (pace.addressSeenMs && *pace.addressSeenMs >= NowMs() - KnownAddressMs) {
        pace.keys = {"account " + utf8User + " at " + where};
        pace.trusted = true;
    } else {
        pace.keys = {"address " + where, "account " + utf8User};
    }
    return pace;
}

std::vector<std::string> SharedLimits::LoginPace::FailureKeys(bool accountExists) const {
    if (trusted || accountExists)
        return keys;
    return {keys.back()}; // the account's
}

namespace {

// A remembered address is written again at most this often, however often the account logs
// in from it.
constexpr long long kAddressRefreshMs = 24LL * 60 * 60 * 1000;

bool AddressToRemember(const SharedLimits::LoginPace& pace) {
    return !pace.addressSeenMs || *pace.addressSeenMs < SharedLimits::NowMs() - kAddressRefreshMs;
}

} // namespace

bool SharedLimits::LoginToRemember(const LoginPace& pace, bool wantsToken) {
    return (wantsToken && !pace.byToken) || AddressToRemember(pace);
}

std::string SharedLimits::LoginAccepted(Database& database, const QString& address,
                                        const std::string& utf8User, const LoginPace& pace,
                                        bool wantsToken) {
    if (AddressToRemember(pace))
        database.RememberLoginAddress(utf8User, address.toStdString(), NowMs());
    if (!wantsToken || pace.byToken)
        return {};
    std::array<quint32, 8> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    std::string token;
    for (quint32 word : words)
        token += QString("%1").arg(word, 8, 16, QChar('0')).toStdString();
    database.AddDeviceToken(utf8User, token, NowMs());
    return token;
}

long long SharedLimits::NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

void SharedLimits::Run(std::function<void(Database&)> job, std::function<void()> after) {
    workers_.RunStore([job = std::move(job), after = std::move(after)](Database& database) {
        try {
            job(database);
        } catch (const std::exception& error) {
            static std::atomic<long long> lastLogged{0};
            const long long now = NowMs();
            if (now - lastLogged.exchange(now) >= 1000)
                ServerLog("cannot keep the limits shared with other server processes: " +
                          QString::fromUtf8(error.what()));
        }
        return ServerWorkers::Continuation(after);
    });
}

void SharedLimits::RecordLoginFailure(std::vector<std::string> keys,
                                      std::function<void()> counted) {
    Run([keys = std::move(keys)](
            Database& database) { database.RecordLoginFailure(keys, NowMs(), Pacing); },
        std::move(counted));
}

void SharedLimits::LoggedIn(long long connection, const std::string& utf8User) {
    changes_.push_back({connection, utf8User, NowMs()});
}

void SharedLimits::LoggedOut(long long connection) {
    changes_.push_back({connection, {}, NowMs()});
}

// The heartbeat with the logins and logouts since the last one, and the connections a
// newer login in another process wants closed. One beat at a time: a slow disk delays the
// next, it does not pile them up.
void SharedLimits::Beat() {
    if (beating_)
        return;
    beating_ = true;
    std::vector<Database::SessionChange> changes;
    changes.swap(changes_);
    workers_.RunStore([self = QPointer(this), process = process_, changes = std::move(changes),
                       limit = connectionsPerAccount_](Database& database) {
        std::vector<long long> closing;
        QString failure;
        try {
            closing = database.UpdateSessions(process, changes, NowMs(), LeaseMs, limit);
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
        return ServerWorkers::Continuation([self, closing, failure] {
            if (self.isNull())
                return;
            self->beating_ = false;
            if (!failure.isEmpty())
                ServerLog("cannot keep the sessions shared with other server "
                          "processes: " +
                          failure);
            for (long long connection : closing)
                self->close_(connection);
        });
    });
}
