#pragma once

#include <optional>
#include <string>
#include <vector>

// How well the tasks of a course measure, from each student's score on each task:
//   x_i   a student's score on task i as a fraction of its rows (0 for a task not sent);
//   X     the sum over the tasks, X₋ᵢ = X − x_i; variances and covariances divide by n − 1.
// Every figure is in percent, and empty where it is undefined (one student, no spread).
struct VariantStatistics {
    std::string variant; // the variant's values, as stored with the submissions
    int n = 0;           // students who had it
    std::optional<double> facility;
};

struct TaskStatistics {
    std::string task;
    int n = 0;
    std::optional<double> facility;       // 100·mean(x_i)
    std::optional<double> sd;             // 100·sd(x_i)
    std::optional<double> discrimination; // 100·Cov(x_i, X₋ᵢ) / √(V(x_i)·V(X₋ᵢ))
    // 100·Cov(x_i, X₋ᵢ) / Cov_max, Cov_max the covariance of the two each sorted ascending
    std::optional<double> efficiency;
    std::vector<std::string> flags; // UTF-8: what a teacher should look at
    std::vector<VariantStatistics> variants;
    std::vector<double> scores; // x_i of each student, for the distribution
};

struct CourseStatistics {
    int students = 0;
    std::optional<double> alpha;      // Cronbach's: 100·p/(p − 1)·(1 − ΣV(x_i)/V(X))
    std::optional<double> errorRatio; // 100·√(1 − alpha/100)
    std::vector<TaskStatistics> tasks;
    std::vector<double> totals; // X of each student, for the distribution
};

// Fewer students than this make every figure unreliable.
inline constexpr int kFewStudents = 30;
// A task whose efficiency is below this percentage may not measure what the others do.
inline constexpr double kDoubtfulEfficiency = 15;
// A variant whose facility is this many points off its task's is harder or easier.
inline constexpr double kVariantSpread = 20;

// One student's result on one task: the fraction of its rows, and the variant it was sent
// in (empty when the task was not sent: its score is then 0 and it belongs to no variant).
struct TaskScore {
    double fraction = 0;
    std::string variant;
    bool sent = false;
};

// `scores[s][i]` is student s's result on task i, one row per student, one column per task.
CourseStatistics ComputeStatistics(const std::vector<std::string>& tasks,
                                   const std::vector<std::vector<TaskScore>>& scores);
