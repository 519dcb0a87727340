// 200 simulated students against the real vekta-server, all at once: each connects from
// its own loopback address, logs in with its own account, fetches the task list and a
// task, and submits the task's reference answers. Reports the time to serve them all,
// the median and 99th percentile of the reply latency (over all replies, and for the
// logins, whose password checks are slow on purpose, and the submissions, which are
// judged and committed, alone), and checks that the database holds exactly one
// submission per student.
//   server_load [--benchmark_...]

#include "Database.h"
#include "TaskBank.h"
#include "protocol/Frames.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace {

constexpr int kStudents = 200;

std::string StudentName(int i) {
    return "student" + std::to_string(1000 + i);
}

// Reply latencies in milliseconds, per step of the road.
using Latencies = std::array<std::vector<double>, 4>;

// One student's road: LOGIN, GETQUESTLIST, GETQUEST, SETRESULTQUEST; every request is
// answered by one frame, whose latency is recorded.
class Student {
public:
    Student(int index, const BankTask& task, quint16 port, Latencies& latencies)
        : index_(index), task_(task), latencies_(latencies) {
        QObject::connect(&socket_, &QTcpSocket::connected, [this] { Next(); });
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { Read(); });
        socket_.bind(
            QHostAddress(QString("127.0.%1.%2").arg(1 + index / 200).arg(2 + index % 200)));
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    bool Done() const { return step_ == 4; }

private:
    void Next() {
        std::string frame;
        if (step_ == 0)
            frame = BuildFrame("LOGIN", StudentName(index_) + ";pw" + std::to_string(index_));
        else if (step_ == 1)
            frame = BuildFrame("GETQUESTLIST", "1");
        else if (step_ == 2)
            frame = BuildFrame("GETQUEST", task_.name);
        else if (step_ == 3) {
            std::string payload;
            for (std::size_t k = 0; k < task_.answers.size(); ++k)
                payload += " " + task_.answerNames[k] + " @=" + task_.answers[k] + ";";
            frame = BuildFrame("SETRESULTQUEST", payload);
        }
        clock_.start();
        socket_.write(frame.data(), static_cast<qint64>(frame.size()));
    }

    void Read() {
        const QByteArray bytes = socket_.readAll();
        receiver_.Receive(std::string_view(bytes.constData(), bytes.size()));
        while (!receiver_.MessageQueue().empty() && step_ < 4) {
            receiver_.MessageQueue().pop_front();
            latencies_[step_].push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6);
            if (++step_ < 4)
                Next();
            else
                socket_.disconnectFromHost();
        }
    }

    int index_;
    const BankTask& task_;
    Latencies& latencies_;
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

void ServeTwoHundredStudents(benchmark::State& state) {
    const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    QTemporaryDir dir;
    const QString db = dir.filePath("load.sqlite");
    QProcess import;
    std::string users;
    for (int i = 0; i < kStudents; ++i)
        users += StudentName(i) + ";pw" + std::to_string(i) + "\n";
    QFile file(dir.filePath("users.txt"));
    file.open(QIODevice::WriteOnly);
    file.write(users.c_str());
    file.close();
    import.start(VEKTA_SERVER_PATH, {"--db", db, "user", "import", file.fileName()});
    import.waitForFinished(120000);

    QProcess server;
    server.start(VEKTA_SERVER_PATH,
                 {"--port", "0", "--listen", "127.0.0.1", "--bank", VEKTA_BANK_DIR, "--db", db});
    server.waitForReadyRead(10000);
    const quint16 port = static_cast<quint16>(
        QString::fromUtf8(server.readLine()).trimmed().section(' ', -1).toUInt());

    Latencies latencies;
    for (auto _ : state) {
        std::vector<std::unique_ptr<Student>> students;
        QElapsedTimer total;
        total.start();
        for (int i = 0; i < kStudents; ++i)
            students.push_back(
                std::make_unique<Student>(i, bank.tasks[i % bank.tasks.size()], port, latencies));
        QElapsedTimer limit;
        limit.start();
        while (limit.elapsed() < 120000 &&
               !std::all_of(students.begin(), students.end(), [](auto& s) { return s->Done(); }))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        state.SetIterationTime(static_cast<double>(total.nsecsElapsed()) / 1e9);
        state.counters["served"] = static_cast<double>(
            std::count_if(students.begin(), students.end(), [](auto& s) { return s->Done(); }));
    }
    server.kill();
    server.waitForFinished();
    std::vector<double> all;
    for (const auto& step : latencies)
        all.insert(all.end(), step.begin(), step.end());
    state.counters["p50_ms"] = Percentile(all, 0.50);
    state.counters["p99_ms"] = Percentile(all, 0.99);
    state.counters["login_p50_ms"] = Percentile(latencies[0], 0.50);
    state.counters["login_p99_ms"] = Percentile(latencies[0], 0.99);
    state.counters["submit_p50_ms"] = Percentile(latencies[3], 0.50);
    state.counters["submit_p99_ms"] = Percentile(latencies[3], 0.99);
    state.counters["stored"] = static_cast<double>(Database(db.toStdString()).SubmissionCount());
    if (state.counters["stored"] != kStudents)
        state.SkipWithError("the database does not hold one submission per student");
}

BENCHMARK(ServeTwoHundredStudents)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
