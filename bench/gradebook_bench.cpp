// The teacher's gradebook for a faculty: 500 students x 30 tasks x 5 submissions each in
// a temporary SQLite store. Reading the same rows from the database alone, beside building
// the gradebook from them, its page (read anew, and again while nothing changed) and its
// CSV.
//   gradebook_bench [--benchmark_...]

#include "RunBenchmarks.h"
#include "storage/Database.h"
#include "web/GradebookCache.h"
#include "web/GradebookCsv.h"
#include "web/GradebookQuery.h"
#include "web/WebPages.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

namespace {

constexpr int kStudents = 500;
constexpr int kTasks = 30;
constexpr int kSubmissions = 5;
constexpr int kAnswers = 3;

TaskBank MakeBank() {
    TaskBank bank;
    const char* const sheets[] = {"<STATICA>", "<KINEMATIK>", "<DINAMIK>"};
    for (int i = 0; i < kTasks; ++i) {
        BankTask task;
        task.sheetTag = sheets[i * 3 / kTasks];
        task.name = "Task-" + std::to_string(i + 1);
        task.answerNames = {"X!A", "Y!A", "R!B"};
        task.attempts = "3; 10";
        bank.tasks.push_back(task);
    }
    return bank;
}

void Check(bool done, const QSqlQuery& query) {
    if (!done)
        throw std::runtime_error(query.lastError().text().toStdString());
}

// Fills the store in one transaction on a connection of its own: 500 accounts and
// 75,000 judged submissions, students' attempts numbered per task.
void Fill(const QString& file) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
        db.setDatabaseName(file);
        if (!db.open())
            throw std::runtime_error("cannot open the store");
        QSqlQuery query(db);
        Check(query.exec("BEGIN"), query);
        Check(query.prepare("INSERT INTO accounts (name, password_hash, created_utc, role) "
                            "VALUES (?, 'x', '2026-12-07T10:00:00Z', 'student')"),
              query);
        for (int s = 0; s < kStudents; ++s) {
            query.addBindValue(QString("Студент %1").arg(s, 3, 10, QChar('0')));
            Check(query.exec(), query);
        }
        Check(query.prepare("INSERT INTO submissions (user_name, task, received_utc, payload, "
                            "verdicts, score, total, attempt, variant) VALUES (?, ?, "
                            "'2026-12-07T10:15:30.250Z', ?, 'X_A: верно; Y_A: неверно; R_B: "
                            "верно', ?, 3, ?, '')"),
              query);
        for (int s = 0; s < kStudents; ++s)
            for (int t = 0; t < kTasks; ++t)
                for (int a = 1; a <= kSubmissions; ++a) {
                    query.addBindValue(QString("Студент %1").arg(s, 3, 10, QChar('0')));
                    query.addBindValue(QString("Task-%1").arg(t + 1));
                    query.addBindValue(QByteArray(" X!A @=-5; Y!A @=7; R!B @=2,83;"));
                    query.addBindValue((s + t + a) % (kAnswers + 1));
                    query.addBindValue(a);
                    Check(query.exec(), query);
                }
        Check(query.exec("COMMIT"), query);
        // As a server's store is between bursts: the write-ahead log folded into the file.
        Check(query.exec("PRAGMA wal_checkpoint(TRUNCATE)"), query);
    }
    QSqlDatabase::removeDatabase("fill");
}

struct Course {
    QTemporaryDir dir;
    TaskBank bank = MakeBank();
    std::unique_ptr<Database> database;

    Course() {
        const QString file = dir.path() + "/course.sqlite";
        database = std::make_unique<Database>(file.toStdString());
        Fill(file);
    }
};

Course& TheCourse() {
    static Course course;
    return course;
}

void ReadRowsOnly(benchmark::State& state) {
    Database& database = *TheCourse().database;
    for (auto _ : state) {
        std::size_t rows = database.Accounts().size();
        database.ForEachJudgedAttempts(
            [&rows](const std::string&, const std::string&, const std::vector<Attempt>& attempts) {
                rows += attempts.size();
            });
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(ReadRowsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void GradebookModel(benchmark::State& state) {
    Course& course = TheCourse();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadGradebook(*course.database, course.bank));
}
BENCHMARK(GradebookModel)->Unit(benchmark::kMillisecond)->UseRealTime();

void GradebookPageWhole(benchmark::State& state) {
    Course& course = TheCourse();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string html = GradebookPage({"Учитель", "token", "nonce"},
                                               ReadGradebook(*course.database, course.bank));
        bytes = html.size();
        benchmark::DoNotOptimize(html.data());
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(GradebookPageWhole)->Unit(benchmark::kMillisecond)->UseRealTime();

// A page again while no submission came: the gradebook is kept, the store only asked
// whether anything changed.
void GradebookPageAgain(benchmark::State& state) {
    Course& course = TheCourse();
    GradebookCache cache;
    cache.Read(*course.database, course.bank);
    for (auto _ : state) {
        const std::string html = GradebookPage({"Учитель", "token", "nonce"},
                                               *cache.Read(*course.database, course.bank));
        benchmark::DoNotOptimize(html.data());
    }
}
BENCHMARK(GradebookPageAgain)->Unit(benchmark::kMillisecond)->UseRealTime();

void GradebookCsvWhole(benchmark::State& state) {
    Course& course = TheCourse();
    for (auto _ : state)
        benchmark::DoNotOptimize(GradebookCsv(ReadGradebook(*course.database, course.bank)));
}
BENCHMARK(GradebookCsvWhole)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
