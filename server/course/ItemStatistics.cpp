#include "course/ItemStatistics.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

using Column = std::vector<double>;

double Mean(const Column& values) {
    double sum = 0;
    for (double value : values)
        sum += value;
    return sum / static_cast<double>(values.size());
}

// The sample covariance (n − 1); undefined under two values.
std::optional<double> Covariance(const Column& a, const Column& b) {
    if (a.size() < 2)
        return std::nullopt;
    const double meanA = Mean(a), meanB = Mean(b);
    double sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k)
        sum += (a[k] - meanA) * (b[k] - meanB);
    return sum / static_cast<double>(a.size() - 1);
}

// Spreads this small count as no spread: sums of fractions leave rounding behind.
constexpr double kNoSpread = 1e-12;

std::optional<double> Ratio(std::optional<double> numerator, std::optional<double> denominator) {
    if (!numerator || !denominator || std::abs(*denominator) < kNoSpread)
        return std::nullopt;
    return 100 * *numerator / *denominator;
}

Column Sorted(Column values) {
    std::sort(values.begin(), values.end());
    return values;
}

std::string Percent(double value) {
    return std::to_string(static_cast<long long>(std::lround(value)));
}

std::vector<VariantStatistics> VariantsOf(const std::vector<std::vector<TaskScore>>& scores,
                                          std::size_t task) {
    std::map<std::string, Column> byVariant;
    for (const std::vector<TaskScore>& student : scores)
        if (student[task].sent)
            byVariant[student[task].variant].push_back(student[task].fraction);
    std::vector<VariantStatistics> variants;
    for (const auto& [variant, fractions] : byVariant)
        variants.push_back({variant, static_cast<int>(fractions.size()), 100 * Mean(fractions)});
    return variants;
}

TaskStatistics TaskFigures(const std::string& name, const Column& x, const Column& rest) {
    TaskStatistics task;
    task.task = name;
    task.n = static_cast<int>(x.size());
    if (x.empty())
        return task;
    task.facility = 100 * Mean(x);
    const std::optional<double> variance = Covariance(x, x);
    if (variance)
        task.sd = 100 * std::sqrt(std::max(0.0, *variance));
    const std::optional<double> covariance = Covariance(x, rest);
    const std::optional<double> restVariance = Covariance(rest, rest);
    if (variance && restVariance)
        task.discrimination =
            Ratio(covariance, std::sqrt(std::max(0.0, *variance * *restVariance)));
    task.efficiency = Ratio(covariance, Covariance(Sorted(x), Sorted(rest)));
    return task;
}

void Flag(TaskStatistics& task) {
    if (task.n < kFewStudents)
        task.flags.push_back("меньше " + std::to_string(kFewStudents) + " студентов");
    if (task.efficiency && *task.efficiency < kDoubtfulEfficiency)
        task.flags.push_back("сомнительное задание");
    for (const VariantStatistics& variant : task.variants) {
        if (!task.facility || !variant.facility)
            continue;
        const double off = *variant.facility - *task.facility;
        if (std::abs(off) > kVariantSpread)
            task.flags.push_back((off < 0 ? "вариант сложнее: " : "вариант легче: ") +
                                 variant.variant + " (" + Percent(*variant.facility) + " из " +
                                 Percent(*task.facility) + ")");
    }
}

} // namespace

CourseStatistics ComputeStatistics(const std::vector<std::string>& tasks,
                                   const std::vector<std::vector<TaskScore>>& scores) {
    CourseStatistics course;
    course.students = static_cast<int>(scores.size());
    Column totals(scores.size(), 0.0);
    for (std::size_t s = 0; s < scores.size(); ++s)
        for (const TaskScore& score : scores[s])
            totals[s] += score.fraction;
    double varianceSum = 0;
    bool everyVariance = !scores.empty();
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        Column x, rest;
        for (std::size_t s = 0; s < scores.size(); ++s) {
            x.push_back(scores[s][i].fraction);
            rest.push_back(totals[s] - scores[s][i].fraction);
        }
        TaskStatistics task = TaskFigures(tasks[i], x, rest);
        task.variants = VariantsOf(scores, i);
        task.scores = x;
        Flag(task);
        const std::optional<double> variance = Covariance(x, x);
        everyVariance = everyVariance && variance.has_value();
        varianceSum += variance.value_or(0);
        course.tasks.push_back(std::move(task));
    }
    course.totals = totals;
    const std::optional<double> totalVariance = Covariance(totals, totals);
    const double p = static_cast<double>(tasks.size());
    if (p >= 2 && everyVariance && totalVariance && *totalVariance > kNoSpread) {
        course.alpha = 100 * p / (p - 1) * (1 - varianceSum / *totalVariance);
        course.errorRatio = 100 * std::sqrt(std::max(0.0, 1 - *course.alpha / 100));
    }
    return course;
}
