#include "web/Gradebook.h"

#include "course/CourseConfig.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <charconv>
#include <cmath>

std::string SheetName(const std::string& sheetTag) {
    if (sheetTag == "<STATICA>")
        return "Статика";
    if (sheetTag == "<KINEMATIK>")
        return "Кинематика";
    if (sheetTag == "<DINAMIK>")
        return "Динамика";
    return platform::Cp1251ToUtf8(sheetTag);
}

GradebookBuilder::GradebookBuilder(const TaskBank& bank, const std::vector<std::string>& students) {
    for (const BankTask& task : bank.tasks) {
        columnOf_[platform::Cp1251ToUtf8(task.name)] = book_.tasks.size();
        book_.tasks.push_back({platform::Cp1251ToUtf8(task.name), SheetName(task.sheetTag),
                               task.ScoredRows(), AttemptRulesOf(task.attempts, bank.course)});
        book_.maximumTotal += book_.tasks.back().maximum;
    }
    for (const std::string& student : students) {
        if (rowOf_.contains(student))
            continue;
        rowOf_[student] = book_.rows.size();
        book_.rows.push_back({student, std::vector<GradebookCell>(book_.tasks.size()), 0});
    }
    attempts_.assign(book_.rows.size(), std::vector<std::vector<Attempt>>(book_.tasks.size()));
}

void GradebookBuilder::AddJudgedAttempts(const std::string& student, const std::string& task,
                                         const std::vector<Attempt>& attempts) {
    const auto row = rowOf_.find(student);
    const auto column = columnOf_.find(task);
    if (row == rowOf_.end() || column == columnOf_.end())
        return;
    std::vector<Attempt>& kept = attempts_[row->second][column->second];
    kept.insert(kept.end(), attempts.begin(), attempts.end());
}

void GradebookBuilder::AddAttempts(const std::string& student, const std::string& task,
                                   const std::vector<double>& credits) {
    std::vector<Attempt> attempts;
    for (const double credited : credits)
        attempts.push_back({credited, false});
    AddJudgedAttempts(student, task, attempts);
}

Gradebook GradebookBuilder::Finish() {
    book_.taskTotals.assign(book_.tasks.size(), 0);
    for (std::size_t row = 0; row < book_.rows.size(); ++row) {
        GradebookRow& line = book_.rows[row];
        line.total = 0;
        for (std::size_t column = 0; column < book_.tasks.size(); ++column) {
            const Standing standing = StandingOf(attempts_[row][column], book_.tasks[column].rules);
            line.cells[column] = {standing.attemptsUsed, standing.bestCredited, standing.bestScore,
                                  standing.bestCarried};
            line.total += standing.bestScore;
            book_.taskTotals[column] += standing.bestScore;
        }
    }
    std::sort(book_.rows.begin(), book_.rows.end(),
              [](const GradebookRow& a, const GradebookRow& b) { return a.student < b.student; });
    return std::move(book_);
}

std::string PointsText(double points, char decimalSeparator) {
    const double rounded = std::round(points * 100) / 100;
    char digits[32];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, rounded, std::chars_format::fixed, 2);
    if (error != std::errc())
        return "0";
    std::string text(digits, end);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    if (text == "-0")
        text = "0";
    if (const std::size_t point = text.find('.'); point != std::string::npos)
        text[point] = decimalSeparator;
    return text;
}
