#include "web/StatisticsQuery.h"

#include "admin/AdminCommands.h"
#include "course/Attempts.h"
#include "course/CourseConfig.h"
#include "course/NumberText.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"
#include "web/GradebookQuery.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <climits>
#include <cmath>
#include <map>
#include <ostream>

namespace {

struct Cell {
    int firstAttempt = INT_MAX;
    TaskScore first;
    double best = 0;
};

struct TaskColumn {
    std::size_t index = 0;
    int rows = 0;
    AttemptRules rules;
};

std::map<std::string, TaskColumn> TaskColumns(const TaskBank& bank) {
    std::map<std::string, TaskColumn> columns;
    for (std::size_t i = 0; i < bank.tasks.size(); ++i)
        columns[platform::Cp1251ToUtf8(bank.tasks[i].name)] = {
            i, bank.tasks[i].ScoredRows(), AttemptRulesOf(bank.tasks[i].attempts, bank.course)};
    return columns;
}

void Take(Cell& cell, const Database::Result& result, const TaskColumn& column) {
    const double fraction = result.credited / column.rows;
    if (result.attempt < cell.firstAttempt) {
        cell.firstAttempt = result.attempt;
        cell.first = {fraction, result.variant, true};
    }
    cell.best = std::max(cell.best, fraction * AttemptScore(1, result.attempt, column.rules));
}

QJsonValue Figure(const std::optional<double>& value) {
    return value ? QJsonValue(std::round(*value * 100) / 100) : QJsonValue(QJsonValue::Null);
}

std::string CsvFigure(const std::optional<double>& value) {
    return value ? NumberText(*value, 2, ',') : std::string();
}

QJsonObject TaskJson(const TaskStatistics& task) {
    QJsonArray flags, variants;
    for (const std::string& flag : task.flags)
        flags.append(QString::fromStdString(flag));
    for (const VariantStatistics& variant : task.variants)
        variants.append(QJsonObject{{"variant", QString::fromStdString(variant.variant)},
                                    {"n", variant.n},
                                    {"facility", Figure(variant.facility)}});
    return {{"task", QString::fromStdString(task.task)},
            {"n", task.n},
            {"facility", Figure(task.facility)},
            {"sd", Figure(task.sd)},
            {"discrimination", Figure(task.discrimination)},
            {"efficiency", Figure(task.efficiency)},
            {"flags", flags},
            {"variants", variants}};
}

} // namespace

CourseStatistics ReadCourseStatistics(Database& database, const TaskBank& bank, bool best) {
    const std::map<std::string, TaskColumn> columns = TaskColumns(bank);
    std::map<std::string, std::vector<Cell>> students;
    for (const std::string& name : StudentNames(database))
        students[name];
    database.ForEachResult({}, {}, [&](const Database::Result& result) {
        const auto column = columns.find(result.task);
        const auto student = students.find(result.user);
        if (column == columns.end() || student == students.end() || column->second.rows <= 0 ||
            result.attempt <= 0 || !result.counted || result.score < 0)
            return;
        const AttemptRules& rules = column->second.rules;
        if (rules.maxAttempts > 0 && result.attempt > rules.maxAttempts)
            return;
        student->second.resize(bank.tasks.size());
        Take(student->second[column->second.index], result, column->second);
    });
    std::vector<std::vector<TaskScore>> scores;
    for (const auto& [name, cells] : students) {
        if (cells.empty())
            continue; // no judged attempt: no student of the statistics
        std::vector<TaskScore>& row = scores.emplace_back();
        for (const Cell& cell : cells)
            row.push_back(best ? TaskScore{cell.best, cell.first.variant, cell.first.sent}
                               : cell.first);
    }
    std::vector<std::string> names(bank.tasks.size());
    for (const auto& [name, column] : columns)
        names[column.index] = name;
    return ComputeStatistics(names, scores);
}

std::string StatisticsCsv(const CourseStatistics& statistics) {
    std::string csv = "\xEF\xBB\xBF"; // the byte-order mark
    csv += "students;" + std::to_string(statistics.students) + "\r\nalpha;" +
           CsvFigure(statistics.alpha) + "\r\nerror_ratio;" + CsvFigure(statistics.errorRatio) +
           "\r\n\r\ntask;variant;n;facility;sd;discrimination;efficiency;flags\r\n";
    for (const TaskStatistics& task : statistics.tasks) {
        std::string flags;
        for (const std::string& flag : task.flags)
            flags += (flags.empty() ? "" : "; ") + flag;
        csv += CsvField(task.task, ';') + ";;" + std::to_string(task.n) + ';' +
               CsvFigure(task.facility) + ';' + CsvFigure(task.sd) + ';' +
               CsvFigure(task.discrimination) + ';' + CsvFigure(task.efficiency) + ';' +
               CsvField(flags, ';') + "\r\n";
        for (const VariantStatistics& variant : task.variants)
            csv += CsvField(task.task, ';') + ';' + CsvField(variant.variant, ';') + ';' +
                   std::to_string(variant.n) + ';' + CsvFigure(variant.facility) + ";;;;\r\n";
    }
    return csv;
}

std::string StatisticsJson(const CourseStatistics& statistics) {
    QJsonArray tasks;
    for (const TaskStatistics& task : statistics.tasks)
        tasks.append(TaskJson(task));
    const QJsonObject course{{"students", statistics.students},
                             {"alpha", Figure(statistics.alpha)},
                             {"error_ratio", Figure(statistics.errorRatio)},
                             {"tasks", tasks}};
    return QJsonDocument(course).toJson(QJsonDocument::Indented).toStdString();
}

int RunStatsCommand(Database& database, const TaskBank& bank, bool best, bool json,
                    std::ostream& out) {
    const CourseStatistics statistics = ReadCourseStatistics(database, bank, best);
    out << (json ? StatisticsJson(statistics) : StatisticsCsv(statistics));
    return out ? 0 : 1;
}
