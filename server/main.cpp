// vekta-server: the reference testing server. Serves the tasks of a task bank to ВЕКТА
// clients over the framed text protocol, judges and stores their answers.
//   vekta-server [--demo] [--strict] [--listen ADDRESS] [--port N] [--bank FOLDER]
//                [--db LOCATION]
//                [--db-password-file FILE] [--tls-cert FILE --tls-key FILE]
//                [--proxy-from ADDRESS] [--max-connections N] [--max-per-address N]
//                [--max-web-connections N] [--max-web-per-address N]
//                [--submission-interval SECONDS] [--submission-burst N]
//                [--login-deadline SECONDS] [--reply-budget MEGABYTES]
//                [--judge-budget MILLISECONDS] [--stop-grace SECONDS]
//                [--open YYYY-MM-DDTHH:MM] [--close YYYY-MM-DDTHH:MM]
//                [--web [ADDRESS:]PORT]
//   vekta-server [--db LOCATION] user add NAME [--teacher] | user list | user remove NAME |
//                                user import FILE [--update]
//   vekta-server [--db LOCATION] results [--user NAME] [--task TASK] [--spreadsheet]
//   vekta-server [--db LOCATION] [--bank FOLDER] results --gradebook [--separator ,]
//   vekta-server [--db LOCATION] [--bank FOLDER] stats [--best] [--json]
//   vekta-server [--db LOCATION] [--bank FOLDER] regrade [TASK...] [--dry-run]
//   vekta-server [--db LOCATION] extend NAME MINUTES
// Defaults: all interfaces, port 797 (0 picks a free port), the installed bank
// (<program folder>/../share/vekta/bank) or else the bank of the sources, the SQLite
// file vekta.sqlite in the working directory. LOCATION is an SQLite file or a
// postgresql://USER@HOST:PORT/DATABASE URL; its password comes from the first line of
// --db-password-file or from PGPASSFILE, never from the URL. --tls-cert and --tls-key make
// the testing port speak TLS only. --proxy-from names a load balancer whose connections
// begin with its header naming the student's address. When serving, the first line on
// stdout names the address and port; the log goes to stderr. A task of the bank that fails
// its validation is logged and left out; with --strict the server does not start instead.
// --demo is for trying the system on one machine: it listens on 127.0.0.1 unless --listen
// is given, and fills a store without accounts from the bank's users.txt (the demo
// accounts); a course server runs without it and gets its accounts from "user add" or
// "user import". --open and --close (the server's local time) bound the test window, in
// place of the bank's course.conf; "extend" gives one student minutes past the close.
// --web also serves the teacher's gradebook pages on PORT (address 127.0.0.1 unless
// given; HTTPS with --tls-cert), to accounts added with "user add NAME --teacher"; the
// second line on stdout names its port. "results --gradebook" writes the same gradebook
// as CSV for a spreadsheet (";" between cells unless --separator ,); "stats" the tasks'
// item statistics, as such a CSV or with --json as JSON; "regrade" judges the stored
// submissions again after a task was fixed. --judge-budget is
// the time one submission's judging may take (2000 ms unless given); past it the student
// is answered that the expression is too complex, and the submission is not stored.
// SIGTERM or SIGINT stops the server gracefully: it accepts no more connections, lets the
// submissions under way be judged, stored and answered, tells every student it stops,
// closes the connections and the web port, and exits 0 within --stop-grace seconds (10
// unless given, 0 to 300); a second signal ends it at once with exit 1.

#include "admin/AdminCommands.h"
#include "admin/Regrade.h"
#include "course/CourseConfig.h"
#include "course/CourseOrder.h"
#include "course/TaskBank.h"
#include "judging/Submission.h"
#include "net/TestingServer.h"
#include "net/TlsSetup.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"
#include "validation/TaskValidation.h"
#include "web/GradebookQuery.h"
#include "web/StatisticsQuery.h"
#include "web/WebServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTcpServer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGTERM and SIGINT (as systemctl stop and Ctrl+C send them) reach the event loop through
// a socket pair: the first asks for a graceful stop, a second ends the process at once.
class StopSignals : public QObject {
public:
    explicit StopSignals(std::function<void()> stopAsked) : stopAsked_(std::move(stopAsked)) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair_) != 0)
            return;
        pipe_ = pair_[1];
        notifier_ = new QSocketNotifier(pair_[0], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            if (::read(pair_[0], &byte, 1) == 1)
                stopAsked_();
        });
        struct sigaction action {};
        action.sa_handler = &StopSignals::Caught;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGINT, &action, nullptr);
    }
    // The handler stays: a signal while the server winds down still ends it at once.
    ~StopSignals() override {
        pipe_ = -1;
        if (notifier_ != nullptr) {
            delete notifier_; // before its descriptor closes
            ::close(pair_[0]);
            ::close(pair_[1]);
        }
    }

private:
    static void Caught(int /*signal*/) {
        if (caught_.fetch_add(1) > 0)
            ::_exit(1);
        const char byte = 1;
        if (pipe_ >= 0) {
            const ssize_t written = ::write(pipe_, &byte, 1);
            static_cast<void>(written); // a full pair already holds a stop request
        }
    }

    static inline std::atomic<int> caught_{0};
    static inline volatile std::sig_atomic_t pipe_ = -1;
    std::function<void()> stopAsked_;
    int pair_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

const QStringList kValueOptions = {"--listen",
                                   "--port",
                                   "--bank",
                                   "--db",
                                   "--db-password-file",
                                   "--tls-cert",
                                   "--tls-key",
                                   "--proxy-from",
                                   "--max-connections",
                                   "--max-per-address",
                                   "--max-web-connections",
                                   "--max-web-per-address",
                                   "--submission-interval",
                                   "--submission-burst",
                                   "--login-deadline",
                                   "--reply-budget",
                                   "--judge-budget",
                                   "--stop-grace",
                                   "--open",
                                   "--close",
                                   "--user",
                                   "--task",
                                   "--separator",
                                   "--web"};
// Options without a value; "--update" and "--teacher" belong to "user import" and "user add"
// and stay among their words.
const QStringList kFlagOptions = {"--strict", "--demo", "--gradebook", "--spreadsheet",
                                  "--best",   "--json", "--dry-run"};
const QStringList kCommandFlags = {"--update", "--teacher"};

// The command line: its options, read by QCommandLineParser, and its words in order.
class Arguments {
public:
    // False on an option that is not known or lacks its value: the caller shows the usage.
    bool Read(const QStringList& args);

    bool Has(const QString& name) const { return parser_.isSet(name.mid(2)); }
    // The option's value (the last one when given twice), or `fallback` when not given.
    QString Value(const QString& name, const QString& fallback) const {
        return Has(name) ? parser_.value(name.mid(2)) : fallback;
    }

    // The command and its operands. "--update" and "--teacher" stay among them where they
    // stand, and so does a word that begins with one dash ("-5", a user "-x").
    std::vector<std::string> words;

private:
    QCommandLineParser parser_;
};

bool Arguments::Read(const QStringList& args) {
    for (const QString& name : kValueOptions)
        parser_.addOption(QCommandLineOption(name.mid(2), {}, "value"));
    for (const QString& name : kFlagOptions)
        parser_.addOption(QCommandLineOption(name.mid(2)));
    // The parser is given the options with their values; every other argument is a word.
    // An option is written "--name VALUE" only: "--name=VALUE" and a bare "--" are unknown.
    QStringList options{args.value(0)};
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (!args[i].startsWith("--") || kCommandFlags.contains(args[i])) {
            words.push_back(args[i].toStdString());
            continue;
        }
        if (args[i] == "--" || args[i].contains('='))
            return false;
        options << args[i];
        if (kValueOptions.contains(args[i]) && i + 1 < args.size())
            options << args[++i];
    }
    return parser_.parse(options);
}

QString Option(const Arguments& args, const QString& name, const QString& fallback = {}) {
    return args.Value(name, fallback);
}

QString DefaultBank() {
    const QString installed = QCoreApplication::applicationDirPath() + "/../share/vekta/bank";
    return QDir(installed).exists() ? QDir::cleanPath(installed) : QString(VEKTA_DEFAULT_BANK);
}

int Usage() {
    std::cerr << "usage: vekta-server [--demo] [--strict] [--listen ADDRESS] [--port N] "
                 "[--bank FOLDER] [--db LOCATION]\n"
                 "                    [--db-password-file FILE] [--tls-cert FILE --tls-key "
                 "FILE]\n"
                 "                    [--proxy-from ADDRESS] [--max-connections N] "
                 "[--max-per-address N]\n"
                 "                    [--max-web-connections N] [--max-web-per-address N]\n"
                 "                    [--submission-interval SECONDS] [--submission-burst N]\n"
                 "                    [--login-deadline SECONDS] [--reply-budget MEGABYTES]\n"
                 "                    [--judge-budget MILLISECONDS] [--stop-grace SECONDS]\n"
                 "                    [--open YYYY-MM-DDTHH:MM] [--close YYYY-MM-DDTHH:MM]\n"
                 "                    [--web [ADDRESS:]PORT]\n"
                 "       vekta-server [--db LOCATION] user add NAME [--teacher]|list|remove "
                 "NAME|import FILE [--update]\n"
                 "       vekta-server [--db LOCATION] results [--user NAME] [--task TASK] "
                 "[--spreadsheet]\n"
                 "       vekta-server [--db LOCATION] [--bank FOLDER] results --gradebook "
                 "[--separator ,]\n"
                 "       vekta-server [--db LOCATION] [--bank FOLDER] stats [--best] [--json]\n"
                 "       vekta-server [--db LOCATION] [--bank FOLDER] regrade [TASK...] "
                 "[--dry-run]\n"
                 "       vekta-server [--db LOCATION] extend NAME MINUTES\n";
    return 64;
}

// The tasks of the bank that fail their validation (reference answers that do not
// evaluate among them: they would judge every student wrong) are logged and not served;
// with --strict the server does not start at all. Warnings are logged and change nothing.
bool ServableTasks(TaskBank& bank, bool strict) {
    const BankCheck check = SetAsideInvalidTasks(bank);
    for (const std::string& warning : check.warnings)
        TestingServer::Log(QString::fromStdString("bank: warning: " + warning));
    const std::vector<std::string>& problems = check.problems;
    for (const std::string& problem : problems)
        TestingServer::Log(QString::fromStdString("bank: " + problem));
    if (strict && !problems.empty())
        std::cerr << "vekta-server: the bank has problems (see above); --strict: not starting\n";
    return !strict || problems.empty();
}

// The demo accounts of the bank's users.txt go into a store that has none yet, hashed.
// Two servers starting together on one new store both try; each account is added once.
void SeedDemoAccounts(Database& database, const TaskBank& bank) {
    if (bank.users.empty() || !database.AccountNames().empty())
        return;
    std::string lines;
    for (const auto& [name, password] : bank.users)
        lines += platform::Cp1251ToUtf8(name) + ";" + platform::Cp1251ToUtf8(password) + "\n";
    const int added = ImportAccounts(database, lines, false, std::cerr).added;
    TestingServer::Log(QString("demo: %1 accounts taken from the bank's users.txt").arg(added));
}

// Ports below 1024 need root or the CAP_NET_BIND_SERVICE capability.
std::string ListenAdvice(quint16 port) {
    if (port == 0 || port >= 1024 || geteuid() == 0)
        return {};
    return "\nvekta-server: ports below 1024 need root or the CAP_NET_BIND_SERVICE "
           "capability; as a user, choose another port (--port 7970, and the clients' address "
           "host:7970), or run the server as the system service vekta-server.service "
           "(systemctl enable --now vekta-server), which has the capability";
}

// The web pages' --web [ADDRESS:]PORT ("8080", "0.0.0.0:8080", "[::1]:8080"); the address
// is 127.0.0.1 unless given. Nullopt when it cannot be read.
std::optional<std::pair<QHostAddress, quint16>> WebAddress(const QString& text) {
    const qsizetype colon = text.lastIndexOf(':');
    QString host = colon < 0 ? QString("127.0.0.1") : text.left(colon);
    if (host.startsWith('[') && host.endsWith(']'))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    QHostAddress address;
    if (!ok || port > 65535 || !address.setAddress(host))
        return std::nullopt;
    return std::pair{address, static_cast<quint16>(port)};
}

// The password of the database, from the first line of --db-password-file; empty when
// none is given (PostgreSQL's own PGPASSFILE may then have it).
std::string DatabasePassword(const Arguments& args) {
    const QString path = Option(args, "--db-password-file");
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the database password file " + path.toStdString() +
                                 ": " + file.errorString().toStdString());
    return QString::fromUtf8(file.readLine()).trimmed().toStdString();
}

// A number option within [low, high], whole where asked; nullopt, with the option's name
// and range said on standard error, when it is not one.
std::optional<double> NumberOption(const Arguments& args, const char* name, const char* fallback,
                                   double low, double high, bool whole = true) {
    bool ok = false;
    const QString text = Option(args, name, fallback);
    const double value = text.toDouble(&ok);
    if (ok && value >= low && value <= high && (!whole || value == std::floor(value)))
        return value;
    std::cerr << "vekta-server: " << name << " wants a" << (whole ? " whole" : "")
              << " number from " << QString::number(low, 'g', 12).toStdString() << " to "
              << QString::number(high, 'g', 12).toStdString() << ", not \"" << text.toStdString()
              << "\"\n";
    return std::nullopt;
}

// The limits the options change; nullopt when one of them is not a number in range.
std::optional<ServerLimits> Limits(const Arguments& args) {
    const auto interval = NumberOption(args, "--submission-interval", "3", 0, 3600, false);
    const auto burst = NumberOption(args, "--submission-burst", "5", 1, 1'000'000);
    const auto connections = NumberOption(args, "--max-connections", "0", 0, 10'000'000);
    const auto perAddress = NumberOption(args, "--max-per-address", "256", 1, 10'000'000);
    const auto deadline = NumberOption(args, "--login-deadline", "20", 0.001, 3600, false);
    const auto budget = NumberOption(args, "--reply-budget", "256", 1, 1 << 20);
    const auto judging = NumberOption(args, "--judge-budget", "2000", 1, 600'000);
    const auto webConnections = NumberOption(args, "--max-web-connections", "256", 1, 1'000'000);
    const auto webPerAddress = NumberOption(args, "--max-web-per-address", "16", 1, 1'000'000);
    const auto grace = NumberOption(args, "--stop-grace", "10", 0, 300, false);
    if (!interval || !burst || !connections || !perAddress || !deadline || !budget || !judging ||
        !webConnections || !webPerAddress || !grace)
        return std::nullopt;
    ServerLimits limits;
    limits.submissions.intervalMs = static_cast<long long>(*interval * 1000);
    limits.submissions.burst = static_cast<int>(*burst);
    limits.maxConnections = static_cast<int>(*connections);
    limits.loggedInPerAddress = static_cast<int>(*perAddress);
    limits.loginDeadlineMs = static_cast<int>(*deadline * 1000);
    limits.totalUnsentReplyBytes = static_cast<qint64>(*budget) << 20;
    limits.unsentReplyBytes = std::min(limits.unsentReplyBytes, limits.totalUnsentReplyBytes);
    limits.submissions.judgeBudgetMs = static_cast<int>(*judging);
    limits.web.total = static_cast<int>(*webConnections);
    limits.web.perAddress = static_cast<int>(*webPerAddress);
    limits.stopGraceMs = static_cast<int>(*grace * 1000);
    return limits;
}

// The test window's --open and --close, in place of course.conf's; false when one of them
// is not a time or the close is not after the open.
bool ApplyWindowOptions(const Arguments& args, TestWindow& window) {
    for (const auto& [name, bound] :
         {std::pair{"--open", &window.open}, {"--close", &window.close}}) {
        if (!args.Has(name))
            continue;
        *bound = ReadLocalTime(Option(args, name).toStdString());
        if (!*bound)
            return false;
    }
    return !window.open || !window.close || window.open->Minutes() < window.close->Minutes();
}

// The task list's order: course.conf's `order` first, then the order in which the course
// first listed its tasks, which the store keeps; a task added later goes last.
void ArrangeCourse(TaskBank& bank, Database& database) {
    ArrangeTasks(bank, {});
    for (const std::string& name : ArrangeTasks(bank, database.RecordTaskOrder(TaskNames(bank))))
        TestingServer::Log("course.conf: order names " + QString::fromStdString(name) +
                           ", which is no task of the bank");
}

int Serve(const Arguments& args, Database& database) {
    const bool demo = args.Has("--demo");
    bool ok = true;
    const uint port = Option(args, "--port", "797").toUInt(&ok);
    QHostAddress address;
    const QString fallback = demo ? "127.0.0.1" : "0.0.0.0";
    QHostAddress balancer;
    const std::optional<ServerLimits> limits = Limits(args);
    if (!ok || port > 65535 || !address.setAddress(Option(args, "--listen", fallback)) || !limits ||
        args.Has("--tls-cert") != args.Has("--tls-key") ||
        (args.Has("--proxy-from") && !balancer.setAddress(Option(args, "--proxy-from"))))
        return Usage();
    if (!args.Has("--listen") && !demo)
        address = QHostAddress::Any;
    TaskBank bank;
    std::optional<QSslConfiguration> tls;
    try {
        bank = LoadTaskBank(Option(args, "--bank", DefaultBank()).toStdString());
        if (!ApplyWindowOptions(args, bank.course.window)) {
            std::cerr << "vekta-server: --open and --close take the server's local time as "
                         "2026-12-10T09:00, the close after the open\n";
            return 64;
        }
        if (!ServableTasks(bank, args.Has("--strict")))
            return 1;
        if (args.Has("--tls-cert"))
            tls = ServerTlsConfiguration(Option(args, "--tls-cert"), Option(args, "--tls-key"));
    } catch (const std::exception& error) {
        std::cerr << "vekta-server: " << error.what() << '\n';
        return 1;
    }
    // The port is taken before anything is written, so that a server that cannot serve
    // leaves the store as it was.
    TestingServer server(
        bank, {Option(args, "--db", "vekta.sqlite").toStdString(), DatabasePassword(args)},
        *limits);
    if (tls)
        server.UseTls(*tls);
    if (!balancer.isNull())
        server.TrustProxy(balancer);
    if (!server.Listen(address, static_cast<quint16>(port))) {
        std::cerr << "vekta-server: cannot listen on " << address.toString().toStdString()
                  << " port " << port << ": " << server.ErrorString().toStdString()
                  << ListenAdvice(static_cast<quint16>(port)) << '\n';
        return 1;
    }
    try {
        server.SetCourseSecret(database.CourseSecret());
        ArrangeCourse(bank, database);
        if (demo)
            SeedDemoAccounts(database, bank);
    } catch (const std::exception& error) {
        std::cerr << "vekta-server: " << error.what() << '\n';
        return 1;
    }
    std::unique_ptr<WebServer> web;
    QString webShown;
    if (args.Has("--web")) {
        const auto webAddress = WebAddress(Option(args, "--web"));
        if (!webAddress)
            return Usage();
        web = std::make_unique<WebServer>(
            bank,
            StoreAddress{Option(args, "--db", "vekta.sqlite").toStdString(),
                         DatabasePassword(args)},
            [&server] { return server.LiveSessions(); }, limits->web, &server.Budget());
        if (tls)
            web->UseTls(*tls);
        if (!web->Listen(webAddress->first, webAddress->second)) {
            std::cerr << "vekta-server: cannot serve the web pages on "
                      << webAddress->first.toString().toStdString() << " port "
                      << webAddress->second << ": " << web->ErrorString().toStdString()
                      << ListenAdvice(webAddress->second) << '\n';
            return 1;
        }
        webShown = webAddress->first.toString();
    }
    const StopSignals stopSignals([&server, &web] {
        TestingServer::Log("stopping on a signal; a second one ends the server at once");
        if (web)
            for (QTcpServer* listener : web->servers())
                listener->close();
        server.Stop([&web](bool inTime) {
            web.reset(); // its connections too
            TestingServer::Log(inTime ? QString("stopped") : QString("stopped, out of time"));
            QCoreApplication::exit(0);
        });
    });
    const QString shown = address == QHostAddress::Any ? "all interfaces" : address.toString();
    TestingServer::Log(QString("at most %1 connections at once").arg(server.ConnectionCap()));
    std::cout << "vekta-server: " << bank.tasks.size() << " tasks, "
              << database.DriverName().toStdString() << " database, " << (tls ? "TLS, " : "")
              << "listening on " << shown.toStdString() << " port " << server.Port() << std::endl;
    if (web)
        std::cout << "vekta-server: web pages (" << (tls ? "HTTPS" : "HTTP") << ") on "
                  << webShown.toStdString() << " port " << web->Port() << std::endl;
    return QCoreApplication::exec();
}

// With --web the server draws task pictures, which needs a graphical application; the
// offscreen platform serves, so no display is needed. Without it, no GUI library is loaded.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--web") {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            return std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv);
    Arguments args;
    if (!args.Read(QCoreApplication::arguments()))
        return Usage();
    try {
        Database database(Option(args, "--db", "vekta.sqlite").toStdString(),
                          DatabasePassword(args));
        const std::vector<std::string>& words = args.words;
        if (words.empty())
            return Serve(args, database);
        if (words[0] == "user")
            return RunUserCommand(database, {words.begin() + 1, words.end()}, std::cin, std::cout,
                                  std::cerr);
        if (words[0] == "results" && words.size() == 1 && args.Has("--gradebook"))
            return RunGradebookCommand(
                database, LoadTaskBank(Option(args, "--bank", DefaultBank()).toStdString()),
                Option(args, "--separator", ";").toStdString(), std::cout, std::cerr);
        if (words[0] == "results" && words.size() == 1)
            return RunResultsCommand(database, Option(args, "--user").toStdString(),
                                     Option(args, "--task").toStdString(),
                                     args.Has("--spreadsheet") ? ResultsStyle::Spreadsheet()
                                                               : ResultsStyle::Plain(),
                                     std::cout);
        if (words[0] == "regrade")
            return RunRegradeCommand(
                database, LoadTaskBank(Option(args, "--bank", DefaultBank()).toStdString()),
                {words.begin() + 1, words.end()}, args.Has("--dry-run"), std::cout, std::cerr);
        if (words[0] == "stats" && words.size() == 1)
            return RunStatsCommand(
                database, LoadTaskBank(Option(args, "--bank", DefaultBank()).toStdString()),
                args.Has("--best"), args.Has("--json"), std::cout);
        if (words[0] == "extend")
            return RunExtendCommand(database, {words.begin() + 1, words.end()}, std::cout,
                                    std::cerr);
        return Usage();
    } catch (const std::exception& error) {
        std::cerr << "vekta-server: " << error.what() << '\n';
        return 1;
    }
}
