// A regrade at the scale of a course: 500 students x the 9 tasks of the shipped bank x 5
// judged submissions each (22,500), on each student's own variant, in a temporary SQLite
// store. Reading the same rows alone, beside judging them all again without storing (a dry
// run) and a regrade that stores the verdicts it changes (about half of them).
//   regrade_bench [--benchmark_...]

#include "RunBenchmarks.h"
#include "admin/Regrade.h"
#include "course/TaskParameters.h"
#include "course/TaskVariant.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"

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
constexpr int kSubmissions = 5;

void Check(bool done, const QSqlQuery& query) {
    if (!done)
        throw std::runtime_error(query.lastError().text().toStdString());
}

std::string StudentName(int s) {
    return "Студент " + std::to_string(1000 + s);
}

// A submission's payload: every row answered with its variant's reference (right) or with
// 1 (wrong), as the client writes rows.
std::string Payload(const BankTask& task, bool right) {
    std::string payload;
    for (std::size_t k = 0; k < task.answerNames.size(); ++k)
        payload += " " + task.answerNames[k] + " @=" + (right ? task.answers[k] : "1") + ";";
    return payload;
}

// Fills the store in one transaction: every submission stored as judged with no right
// answer, so that the regrade raises the right ones.
void Fill(const QString& file, const TaskBank& bank, const std::string& secret) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
    db.setDatabaseName(file);
    if (!db.open())
        throw std::runtime_error("cannot open the store");
    {
        QSqlQuery query(db);
        Check(query.exec("BEGIN"), query);
        Check(query.prepare("INSERT INTO submissions (user_name, task, received_utc, payload, "
                            "verdicts, score, total, attempt, variant, credited, counted) VALUES "
                            "(?, ?, '2026-12-07T10:15:30.250Z', ?, '', 0, ?, ?, ?, 0, 1)"),
              query);
        for (int s = 0; s < kStudents; ++s)
            for (const BankTask& task : bank.tasks) {
                const TaskVariant variant =
                    VariantOf(task, secret, platform::Utf8ToCp1251(StudentName(s)));
                for (int a = 1; a <= kSubmissions; ++a) {
                    query.addBindValue(QString::fromStdString(StudentName(s)));
                    query.addBindValue(QString::fromStdString(platform::Cp1251ToUtf8(task.name)));
                    query.addBindValue(
                        QByteArray::fromStdString(Payload(variant.task, (s + a) % 2 == 0)));
                    query.addBindValue(static_cast<int>(task.answerNames.size()));
                    query.addBindValue(a);
                    query.addBindValue(QString::fromStdString(
                        platform::Cp1251ToUtf8(ExactValuesText(variant.values))));
                    Check(query.exec(), query);
                }
            }
        Check(query.exec("COMMIT"), query);
    }
    db.close();
}

struct Course {
    QTemporaryDir dir;
    TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    std::unique_ptr<Database> database;

    Course() {
        const QString file = dir.path() + "/course.sqlite";
        database = std::make_unique<Database>(file.toStdString());
        Fill(file, bank, database->CourseSecret());
        QSqlDatabase::removeDatabase("fill");
    }
};

Course& TheCourse() {
    static Course course;
    return course;
}

void ReadRowsOnly(benchmark::State& state) {
    Database& database = *TheCourse().database;
    for (auto _ : state) {
        std::size_t rows = 0;
        database.ForEachResult({}, {}, [&rows](const Database::Result&) { ++rows; });
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(ReadRowsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void RegradeDryRun(benchmark::State& state) {
    Course& course = TheCourse();
    for (auto _ : state) {
        const RegradeSummary summary = Regrade(*course.database, course.bank, {}, true);
        if (summary.regraded !=
            kStudents * kSubmissions * static_cast<int>(course.bank.tasks.size()))
            state.SkipWithError("not every submission was judged again");
    }
}
BENCHMARK(RegradeDryRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// Once: a second regrade finds nothing left to change.
void RegradeStored(benchmark::State& state) {
    Course& course = TheCourse();
    for (auto _ : state) {
        const RegradeSummary summary = Regrade(*course.database, course.bank, {}, false);
        state.counters["up"] = summary.up;
    }
}
BENCHMARK(RegradeStored)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
