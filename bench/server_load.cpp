// 500 simulated students against the real vekta-server, all at once: each connects from
// its own loopback address, logs in with its own account, fetches the task list and a
// task, and submits the task's reference answers. Reports the time to serve them all,
// the 50th, 95th and 99th percentile of the reply latency (over all replies, and for the
// logins, whose password checks are slow on purpose, and the submissions, which are
// paced, judged and committed, alone), and checks that the database holds exactly one
// submission per student. Run against one server on SQLite, and against two servers on
// one PostgreSQL behind HAProxy (when both are installed). A third run measures another
// student's replies while one student attacks: 10 accounts of 3 connections each sending
// answers as fast as they are answered. A deadline rush has 300 students, logged in with
// their task open, send their answers three times each, each as soon as the previous one
// is answered: the time to store all 900 is set beside the floor of as many bare commits,
// one after another, to the same disk in the same run (the mean of one floor before the
// rush and one after), on SQLite and on PostgreSQL.
//   server_load [--benchmark_...]

#include "PostgresProcess.h"
#include "RunBenchmarks.h"
#include "course/TaskBank.h"
#include "protocol/Frames.h"
#include "protocol/Messages.h"
#include "storage/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kStudents = 500;

std::string StudentName(int i) {
    return "student" + std::to_string(1000 + i);
}

// Reply latencies in milliseconds, per step of the road.
using Latencies = std::array<std::vector<double>, 4>;

// One student's road: LOGIN, GETQUESTLIST, GETQUEST, SETRESULTQUEST; every request is
// answered by one frame, whose latency is recorded. `finished` is called once, when the
// road is done or the connection is lost.
class Student {
public:
    Student(int index, const BankTask& task, quint16 port, Latencies& latencies,
            std::function<void()> finished)
        : index_(index), task_(task), latencies_(latencies), finished_(std::move(finished)) {
        QObject::connect(&socket_, &QTcpSocket::connected, [this] { Next(); });
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { Read(); });
        QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { Finish(); });
        QObject::connect(&socket_, &QTcpSocket::errorOccurred, [this] {
            if (socket_.state() == QAbstractSocket::UnconnectedState)
                Finish();
        });
        socket_.bind(
            QHostAddress(QString("127.0.%1.%2").arg(1 + index / 200).arg(2 + index % 200)));
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    bool Served() const { return step_ == 4; }

private:
    void Finish() {
        if (finished_)
            std::exchange(finished_, nullptr)();
    }

    void Next() {
        std::string frame;
        if (step_ == 0)
            frame = WriteLogin({StudentName(index_), "pw" + std::to_string(index_)});
        else if (step_ == 1)
            frame = WriteTaskListRequest();
        else if (step_ == 2)
            frame = WriteTaskRequest(task_.name);
        else if (step_ == 3) {
            std::string payload;
            for (std::size_t k = 0; k < task_.answers.size(); ++k)
                payload += " " + task_.answerNames[k] + " @=" + task_.answers[k] + ";";
            frame = WriteSubmission(payload);
        }
        clock_.start();
        socket_.write(frame.data(), static_cast<qint64>(frame.size()));
    }

    void Read() {
        const QByteArray bytes = socket_.readAll();
        receiver_.Receive(std::string_view(bytes.constData(), bytes.size()));
        while (!receiver_.MessageQueue().empty() && step_ < 4) {
            const bool offer = KindOf(receiver_.MessageQueue().front()) == MessageKind::Features;
            receiver_.MessageQueue().pop_front();
            if (offer) // the server's FEATURES answer no request
                continue;
            latencies_[step_].push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6);
            if (++step_ < 4) {
                Next();
            } else {
                socket_.disconnectFromHost();
                Finish();
            }
        }
    }

    int index_;
    const BankTask& task_;
    Latencies& latencies_;
    std::function<void()> finished_;
    QTcpSocket socket_;
    FrameReceiver receiver_;
    QElapsedTimer clock_;
    int step_ = 0;
};

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

std::string AnswersOf(const BankTask& task) {
    std::string payload;
    for (std::size_t k = 0; k < task.answers.size(); ++k)
        payload += " " + task.answerNames[k] + " @=" + task.answers[k] + ";";
    return payload;
}

quint16 StartServer(QProcess& server, const QString& db, const QStringList& options = {}) {
    // The log is not read here: a full pipe would stop the server.
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(VEKTA_SERVER_PATH, QStringList{"--port", "0", "--listen", "127.0.0.1", "--bank",
                                                VEKTA_BANK_DIR, "--db", db} +
                                        options);
    server.waitForReadyRead(10000);
    return static_cast<quint16>(
        QString::fromUtf8(server.readLine()).trimmed().section(' ', -1).toUInt());
}

// CPU seconds a process has used so far (user and system), read before it is stopped: a
// storm of logins cannot end sooner than this divided by the cores, however loaded the
// machine is.
double CpuSeconds(qint64 processId) {
    QFile stat(QString("/proc/%1/stat").arg(processId));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
    const long long ticks = fields.value(12).toLongLong() + fields.value(13).toLongLong();
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double CpuSeconds(const QProcess& process) {
    return CpuSeconds(process.processId());
}

void ImportStudents(const QString& db, const QString& folder) {
    std::string users;
    for (int i = 0; i < kStudents; ++i)
        users += StudentName(i) + ";pw" + std::to_string(i) + "\n";
    QFile file(folder + "/users.txt");
    file.open(QIODevice::WriteOnly);
    file.write(users.c_str());
    file.close();
    QProcess import;
    import.start(VEKTA_SERVER_PATH, {"--db", db, "user", "import", file.fileName()});
    import.waitForFinished(300000);
}

// All students at once against the port; the latencies and how many were served.
void ServeStudents(benchmark::State& state, quint16 port, const QString& db) {
    const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    Latencies latencies;
    for (auto _ : state) {
        // The students are waited for in an event loop that sleeps until a socket has
        // something: polling in a loop would take a core from the server it measures.
        QEventLoop loop;
        int left = kStudents;
        auto finished = [&] {
            if (--left == 0)
                loop.quit();
        };
        std::vector<std::unique_ptr<Student>> students;
        QElapsedTimer total;
        total.start();
        const double clientsCpu = CpuSeconds(QCoreApplication::applicationPid());
        for (int i = 0; i < kStudents; ++i)
            students.push_back(std::make_unique<Student>(i, bank.tasks[i % bank.tasks.size()], port,
                                                         latencies, finished));
        QTimer::singleShot(300000, &loop, &QEventLoop::quit);
        loop.exec();
        state.SetIterationTime(static_cast<double>(total.nsecsElapsed()) / 1e9);
        // The simulated students' own CPU: they share the cores with the server.
        state.counters["clients_cpu_s"] =
            CpuSeconds(QCoreApplication::applicationPid()) - clientsCpu;
        state.counters["served"] = static_cast<double>(
            std::count_if(students.begin(), students.end(), [](auto& s) { return s->Served(); }));
    }
    std::vector<double> all;
    for (const auto& step : latencies)
        all.insert(all.end(), step.begin(), step.end());
    for (const auto& [name, values] :
         {std::pair{std::string("all"), all}, std::pair{std::string("login"), latencies[0]},
          std::pair{std::string("submit"), latencies[3]}})
        for (const auto& [label, fraction] :
             {std::pair{"p50", 0.50}, std::pair{"p95", 0.95}, std::pair{"p99", 0.99}})
            state.counters[name + "_" + label + "_ms"] = Percentile(values, fraction);
    state.counters["stored"] = static_cast<double>(Database(db.toStdString()).SubmissionCount());
    if (state.counters["stored"] != kStudents)
        state.SkipWithError("the database does not hold one submission per student");
}

void OneServerOnSqlite(benchmark::State& state) {
    QTemporaryDir dir;
    const QString db = dir.filePath("load.sqlite");
    ImportStudents(db, dir.path());
    QProcess server;
    const quint16 port = StartServer(server, db);
    ServeStudents(state, port, db);
    state.counters["server_cpu_s"] = CpuSeconds(server);
    server.kill();
    server.waitForFinished();
}

void TwoServersBehindHaproxy(benchmark::State& state) {
    PostgresProcess postgres;
    const QString haproxy = QStandardPaths::findExecutable("haproxy", {"/usr/sbin", "/usr/bin"});
    if (!postgres.Available() || haproxy.isEmpty() || !postgres.Start()) {
        state.SkipWithError("PostgreSQL or HAProxy is not installed");
        for (auto _ : state) {
        }
        return;
    }
    QTemporaryDir dir;
    const QString db = QString::fromStdString(postgres.Url());
    ImportStudents(db, dir.path());
    QProcess first, second, balancer;
    const quint16 firstPort = StartServer(first, db, {"--proxy-from", "127.0.0.1"});
    const quint16 secondPort = StartServer(second, db, {"--proxy-from", "127.0.0.1"});
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    QFile config(dir.filePath("haproxy.cfg"));
    config.open(QIODevice::WriteOnly);
    config.write(QString("global\n  maxconn 4000\ndefaults\n  mode tcp\n  timeout connect 5s\n"
                         "  timeout client 5m\n  timeout server 5m\nfrontend students\n"
                         "  bind 127.0.0.1:%1\n  default_backend servers\nbackend servers\n"
                         "  balance leastconn\n  server first 127.0.0.1:%2 send-proxy-v2\n"
                         "  server second 127.0.0.1:%3 send-proxy-v2\n")
                     .arg(port)
                     .arg(firstPort)
                     .arg(secondPort)
                     .toUtf8());
    config.close();
    balancer.start(haproxy, {"-db", "-f", config.fileName()});
    balancer.waitForStarted();
    QThread::msleep(500);
    ServeStudents(state, port, db);
    state.counters["server_cpu_s"] = CpuSeconds(first) + CpuSeconds(second);
    for (QProcess* process : {&balancer, &first, &second}) {
        process->kill();
        process->waitForFinished();
    }
}

// One connection that keeps sending a frame as soon as the previous one is answered.
class Attacker {
public:
    Attacker(quint16 port, const std::string& login, const std::string& task,
             const std::string& answers)
        : answers_(answers) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { Read(); });
        socket_.connectToHost(QHostAddress::LocalHost, port);
        socket_.waitForConnected(10000);
        const std::string start = WriteLogin(ReadLogin(login)) + WriteTaskRequest(task);
        socket_.write(start.data(), static_cast<qint64>(start.size()));
        pending_ = 2;
    }

private:
    void Read() {
        const QByteArray bytes = socket_.readAll();
        receiver_.Receive(std::string_view(bytes.constData(), bytes.size()));
        while (!receiver_.MessageQueue().empty()) {
            const bool offer = KindOf(receiver_.MessageQueue().front()) == MessageKind::Features;
            receiver_.MessageQueue().pop_front();
            if (offer) // the server's FEATURES answer no request
                continue;
            if (--pending_ <= 0) {
                const std::string frame = WriteSubmission(answers_);
                socket_.write(frame.data(), static_cast<qint64>(frame.size()));
                pending_ = 1;
            }
        }
    }

    std::string answers_;
    QTcpSocket socket_;
    FrameReceiver receiver_;
    int pending_ = 0;
};

void AnotherStudentWhileOneAttacks(benchmark::State& state) {
    QTemporaryDir dir;
    const QString db = dir.filePath("attack.sqlite");
    ImportStudents(db, dir.path());
    QProcess server;
    const quint16 port = StartServer(server, db);
    const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    const BankTask& task = bank.tasks.front();
    std::vector<std::unique_ptr<Attacker>> attackers;
    for (int i = 0; i < 30; ++i)
        attackers.push_back(std::make_unique<Attacker>(
            port, StudentName(i / 3) + ";pw" + std::to_string(i / 3), task.name, AnswersOf(task)));
    QTcpSocket victim;
    victim.connectToHost(QHostAddress::LocalHost, port);
    victim.waitForConnected(10000);
    FrameReceiver receiver;
    std::vector<double> replies;
    // Each request waits for its reply in an event loop that sleeps meanwhile.
    QEventLoop waiting;
    QObject::connect(&victim, &QTcpSocket::readyRead, [&] {
        const QByteArray bytes = victim.readAll();
        receiver.Receive(std::string_view(bytes.constData(), bytes.size()));
        if (!receiver.MessageQueue().empty())
            waiting.quit();
    });
    auto ask = [&](const std::string& frame) {
        QElapsedTimer clock;
        clock.start();
        victim.write(frame.data(), static_cast<qint64>(frame.size()));
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &waiting, &QEventLoop::quit);
        limit.start(30000);
        if (receiver.MessageQueue().empty())
            waiting.exec();
        receiver.MessageQueue().clear();
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    };
    // The server's FEATURES come first, unasked.
    while (receiver.MessageQueue().empty() && victim.waitForReadyRead(10000)) {
    }
    receiver.MessageQueue().clear();
    ask(WriteLogin({StudentName(400), "pw400"}));
    for (auto _ : state) {
        QElapsedTimer total;
        total.start();
        for (int i = 0; i < 200; ++i)
            replies.push_back(
                ask(i % 2 == 0 ? WriteTaskListRequest() : WriteTaskRequest(task.name)));
        state.SetIterationTime(static_cast<double>(total.nsecsElapsed()) / 1e9);
    }
    state.counters["reply_p50_ms"] = Percentile(replies, 0.50);
    state.counters["reply_p95_ms"] = Percentile(replies, 0.95);
    state.counters["reply_p99_ms"] = Percentile(replies, 0.99);
    server.kill();
    server.waitForFinished();
}

constexpr int kRushStudents = 300;
constexpr int kRushRounds = 3;

// A student at the deadline: logs in and opens the task before the clock starts (`ready`),
// then, once told to go, sends the answers kRushRounds times, each as soon as the previous
// one is answered, and records each reply's latency. `ready` and `finished` are called
// once each, also when the connection is lost.
class RushStudent {
public:
    RushStudent(int index, const BankTask& task, quint16 port, std::vector<double>& latencies,
                std::function<void()> ready, std::function<void()> finished)
        : task_(task), latencies_(latencies), ready_(std::move(ready)),
          finished_(std::move(finished)) {
        QObject::connect(&socket_, &QTcpSocket::connected, [this, index] {
            Send(WriteLogin({StudentName(index), "pw" + std::to_string(index)}));
        });
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { Read(); });
        QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { Lost(); });
        QObject::connect(&socket_, &QTcpSocket::errorOccurred, [this] {
            if (socket_.state() == QAbstractSocket::UnconnectedState)
                Lost();
        });
        socket_.bind(
            QHostAddress(QString("127.0.%1.%2").arg(1 + index / 200).arg(2 + index % 200)));
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    void Go() {
        if (step_ == 2)
            Send(WriteSubmission(AnswersOf(task_)));
    }
    int Answered() const { return answered_; }

private:
    void Send(const std::string& frame) {
        clock_.start();
        socket_.write(frame.data(), static_cast<qint64>(frame.size()));
    }

    void Read() {
        const QByteArray bytes = socket_.readAll();
        receiver_.Receive(std::string_view(bytes.constData(), bytes.size()));
        while (!receiver_.MessageQueue().empty()) {
            const bool offer = KindOf(receiver_.MessageQueue().front()) == MessageKind::Features;
            receiver_.MessageQueue().pop_front();
            if (offer) // the server's FEATURES answer no request
                continue;
            if (step_ == 0) {
                step_ = 1;
                Send(WriteTaskRequest(task_.name));
            } else if (step_ == 1) {
                step_ = 2;
                Call(ready_);
            } else {
                latencies_.push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6);
                if (++answered_ < kRushRounds)
                    Send(WriteSubmission(AnswersOf(task_)));
                else
                    Call(finished_);
            }
        }
    }

    void Lost() {
        Call(ready_);
        Call(finished_);
    }

    static void Call(std::function<void()>& once) {
        if (once)
            std::exchange(once, nullptr)();
    }

    const BankTask& task_;
    std::vector<double>& latencies_;
    std::function<void()> ready_;
    std::function<void()> finished_;
    QTcpSocket socket_;
    FrameReceiver receiver_;
    QElapsedTimer clock_;
    int step_ = 0; // 0: logging in, 1: opening the task, 2: submitting
    int answered_ = 0;
};

// The floor: `count` bare commits of one small row each, one after another, through a
// connection of its own to the same store, as durable as the server's (SQLite: write-ahead
// log, every commit synced; PostgreSQL: as it is set up). Seconds.
double BareCommits(const QString& db, const QString& table, int count) {
    const bool postgres = db.startsWith("postgresql://");
    const QString name = "bare-commits";
    double seconds = 0;
    {
        QSqlDatabase connection = QSqlDatabase::addDatabase(postgres ? "QPSQL" : "QSQLITE", name);
        if (postgres) {
            const QUrl url(db);
            connection.setHostName(url.host());
            connection.setPort(url.port());
            connection.setUserName(url.userName());
            connection.setDatabaseName(url.path().mid(1));
        } else {
            connection.setDatabaseName(db);
        }
        if (!connection.open())
            return 0;
        QSqlQuery query(connection);
        if (!postgres) {
            query.exec("PRAGMA journal_mode=WAL");
            query.exec("PRAGMA synchronous=FULL");
        }
        query.exec("CREATE TABLE IF NOT EXISTS " + table + " (id INTEGER, payload TEXT)");
        query.prepare("INSERT INTO " + table + " (id, payload) VALUES (?, ?)");
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < count; ++i) {
            query.addBindValue(i);
            query.addBindValue(QString(" X!A @=-5; Y!A @=3;"));
            query.exec();
        }
        seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    }
    QSqlDatabase::removeDatabase(name);
    return seconds;
}

// The rush against the port; the floor's commits go to `floorDb`.
void RushTheDeadline(benchmark::State& state, quint16 port, const QString& db,
                     const QString& floorDb) {
    const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    constexpr int kSubmissions = kRushStudents * kRushRounds;
    std::vector<double> latencies;
    double floor = 0;
    for (auto _ : state) {
        const double floorBefore = BareCommits(floorDb, "floor_before", kSubmissions);
        QEventLoop loop;
        int left = kRushStudents;
        auto arrived = [&] {
            if (--left == 0)
                loop.quit();
        };
        std::vector<std::unique_ptr<RushStudent>> students;
        for (int i = 0; i < kRushStudents; ++i)
            students.push_back(std::make_unique<RushStudent>(i, bank.tasks[i % bank.tasks.size()],
                                                             port, latencies, arrived, arrived));
        QTimer::singleShot(300000, &loop, &QEventLoop::quit);
        loop.exec(); // everyone has the task open
        left = kRushStudents;
        QElapsedTimer total;
        total.start();
        for (auto& student : students)
            student->Go();
        loop.exec();
        const double rush = static_cast<double>(total.nsecsElapsed()) / 1e9;
        state.SetIterationTime(rush);
        floor = (floorBefore + BareCommits(floorDb, "floor_after", kSubmissions)) / 2;
        state.counters["floor_ms"] = floor * 1000;
        state.counters["rush_over_floor"] = floor > 0 ? rush / floor : 0;
        state.counters["submissions_per_s"] = kSubmissions / rush;
        int answered = 0;
        for (const auto& student : students)
            answered += student->Answered();
        state.counters["answered"] = answered;
    }
    for (const auto& [label, fraction] :
         {std::pair{"p50", 0.50}, std::pair{"p95", 0.95}, std::pair{"p99", 0.99}})
        state.counters[std::string("submit_") + label + "_ms"] = Percentile(latencies, fraction);
    state.counters["stored"] = static_cast<double>(Database(db.toStdString()).SubmissionCount());
    if (state.counters["stored"] != kSubmissions)
        state.SkipWithError("the database does not hold every submission");
}

void DeadlineRushOnSqlite(benchmark::State& state) {
    QTemporaryDir dir;
    const QString db = dir.filePath("rush.sqlite");
    ImportStudents(db, dir.path());
    QProcess server;
    const quint16 port = StartServer(server, db);
    RushTheDeadline(state, port, db, dir.filePath("floor.sqlite"));
    state.counters["server_cpu_s"] = CpuSeconds(server);
    server.kill();
    server.waitForFinished();
}

void DeadlineRushOnPostgresql(benchmark::State& state) {
    PostgresProcess postgres(true);
    if (!postgres.Available() || !postgres.Start()) {
        state.SkipWithError("PostgreSQL is not installed");
        for (auto _ : state) {
        }
        return;
    }
    QTemporaryDir dir;
    const QString db = QString::fromStdString(postgres.Url());
    ImportStudents(db, dir.path());
    QProcess server;
    const quint16 port = StartServer(server, db);
    RushTheDeadline(state, port, db, db);
    state.counters["server_cpu_s"] = CpuSeconds(server);
    server.kill();
    server.waitForFinished();
}

BENCHMARK(OneServerOnSqlite)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(TwoServersBehindHaproxy)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(DeadlineRushOnSqlite)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(DeadlineRushOnPostgresql)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(AnotherStudentWhileOneAttacks)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
