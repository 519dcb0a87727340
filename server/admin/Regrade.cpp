#include "admin/Regrade.h"

#include "course/Attempts.h"
#include "course/CourseConfig.h"
#include "course/NumberText.h"
#include "course/TaskVariant.h"
#include "judging/AnswerJudge.h"
#include "judging/Submission.h"
#include "judging/VerdictMessage.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"

#include <QDateTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <ostream>

namespace {

using platform::Cp1251ToUtf8;
using platform::Utf8ToCp1251;

// New verdicts are committed this many at a time.
constexpr std::size_t kBatch = 300;
constexpr double kSame = 1e-9;

// One judged attempt of a student at the task, before and after.
struct StoredAttempt {
    int attempt = 0;
    double before = 0;
    double after = 0;
};

// The stored "F = 8; a = 1.5" holds today's values, each to the precision it was written
// with (older stores kept six decimals).
bool SameValues(const std::string& stored, const ParameterValues& today) {
    std::string_view rest = stored;
    std::size_t k = 0;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find("; "), rest.size());
        const std::string_view item = rest.substr(0, end);
        rest.remove_prefix(std::min(rest.size(), end + 2));
        const std::size_t equals = item.find(" = ");
        if (equals == std::string_view::npos || k >= today.size() ||
            item.substr(0, equals) != Cp1251ToUtf8(today[k].name))
            return false;
        const std::string_view number = item.substr(equals + 3);
        double value = 0;
        const auto [end2, error] =
            std::from_chars(number.data(), number.data() + number.size(), value);
        const std::size_t point = number.find('.');
        const int decimals =
            point == std::string_view::npos ? 0 : static_cast<int>(number.size() - point - 1);
        const double slack = 0.5 * std::pow(10.0, -decimals) + kSame * std::abs(value);
        if (error != std::errc() || std::abs(value - today[k].value) > slack)
            return false;
        ++k;
    }
    return k == today.size();
}

double Best(const std::vector<StoredAttempt>& attempts, const AttemptRules& rules, bool after) {
    double best = 0;
    for (const StoredAttempt& a : attempts)
        if (rules.maxAttempts == 0 || a.attempt <= rules.maxAttempts)
            best = std::max(best, (after ? a.after : a.before) * AttemptScore(1, a.attempt, rules));
    return best;
}

class TaskRegrade {
public:
    TaskRegrade(Database& database, const BankTask& task, const TaskBank& bank,
                const std::string& secret)
        : database_(database), task_(task), name_(Cp1251ToUtf8(task.name)), secret_(secret),
          rules_(AttemptRulesOf(task.attempts, bank.course)) {}

    void Run(RegradeSummary& summary, bool dryRun) {
        std::vector<Database::Result> judged;
        database_.ForEachResult({}, name_, [&](const Database::Result& result) {
            if (result.score >= 0 && result.attempt > 0 && result.counted)
                judged.push_back(result);
        });
        for (const Database::Result& result : judged)
            JudgeAgain(result, summary);
        for (const auto& [student, attempts] : attempts_) {
            const double before = Best(attempts, rules_, false);
            const double after = Best(attempts, rules_, true);
            if (std::abs(before - after) > kSame)
                summary.changes.push_back({student, name_, before, after});
        }
        if (dryRun)
            return;
        for (std::size_t at = 0; at < regraded_.size(); at += kBatch)
            database_.StoreRegraded({regraded_.begin() + static_cast<std::ptrdiff_t>(at),
                                     regraded_.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                             at + kBatch, regraded_.size()))});
    }

private:
    const TaskVariant& VariantOfStudent(const std::string& student) {
        auto found = variants_.find(student);
        if (found == variants_.end())
            found =
                variants_.emplace(student, VariantOf(task_, secret_, Utf8ToCp1251(student))).first;
        return found->second;
    }

    void JudgeAgain(const Database::Result& result, RegradeSummary& summary) {
        const TaskVariant& variant = VariantOfStudent(result.user);
        std::vector<StoredAttempt>& attempts = attempts_[result.user];
        attempts.push_back({result.attempt, result.credited, result.credited});
        const std::string where =
            result.user + " " + name_ + " attempt " + std::to_string(result.attempt) + ": ";
        if (!SameValues(result.variant, variant.values) || !variant.problems.empty()) {
            summary.leftAlone.push_back(where + "its variant (" + result.variant +
                                        ") is not the one drawn today (" +
                                        Cp1251ToUtf8(ExactValuesText(variant.values)) + ")");
            return;
        }
        const SubmissionVerdict verdict = JudgeSubmission(&variant.task, result.payload, judge_);
        if (!verdict.judged || verdict.outOfTime) {
            summary.leftAlone.push_back(where + "cannot be judged against the task today");
            return;
        }
        ++summary.regraded;
        const double credited = verdict.credited;
        attempts.back().after = credited;
        if (std::abs(credited - result.credited) <= kSame &&
            Cp1251ToUtf8(VerdictSummary(verdict)) == result.verdicts)
            return;
        summary.up += credited > result.credited + kSame;
        summary.down += credited < result.credited - kSame;
        regraded_.push_back(
            {result.id, Cp1251ToUtf8(VerdictSummary(verdict)), verdict.correctCount, credited});
    }

    Database& database_;
    const BankTask& task_;
    const std::string name_;
    const std::string& secret_;
    const AttemptRules rules_;
    AnswerJudge judge_;
    std::map<std::string, TaskVariant> variants_;
    std::map<std::string, std::vector<StoredAttempt>> attempts_;
    std::vector<Database::Regraded> regraded_;
};

std::string Points(double value) {
    return NumberText(value, -1, '.');
}

std::string TaskList(const std::vector<std::string>& tasks) {
    std::string list;
    for (const std::string& task : tasks)
        list += (list.empty() ? "" : ", ") + task;
    return list;
}

} // namespace

RegradeSummary Regrade(Database& database, const TaskBank& bank,
                       const std::vector<std::string>& tasks, bool dryRun) {
    const std::string secret = database.CourseSecret();
    RegradeSummary summary;
    for (const BankTask& task : bank.tasks) {
        const std::string name = Cp1251ToUtf8(task.name);
        if (tasks.empty() || std::find(tasks.begin(), tasks.end(), name) != tasks.end())
            TaskRegrade(database, task, bank, secret).Run(summary, dryRun);
    }
    if (!dryRun)
        database.RecordRegrade({QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString(),
                                TaskList(tasks), summary.regraded, summary.up, summary.down});
    return summary;
}

int RunRegradeCommand(Database& database, const TaskBank& bank,
                      const std::vector<std::string>& tasks, bool dryRun, std::ostream& out,
                      std::ostream& err) {
    for (const std::string& task : tasks)
        if (bank.Find(Utf8ToCp1251(task)) == nullptr) {
            err << "vekta-server: no task " << task << " in the bank\n";
            return 64;
        }
    const RegradeSummary summary = Regrade(database, bank, tasks, dryRun);
    for (const std::string& line : summary.leftAlone)
        err << "vekta-server: " << line << ", left as it was\n";
    for (const ScoreChange& change : summary.changes)
        out << change.student << ';' << change.task << ';' << Points(change.before) << ';'
            << Points(change.after) << '\n';
    out << "regraded " << summary.regraded << " submissions: " << summary.up << " up, "
        << summary.down << " down, " << summary.leftAlone.size() << " left as they were\n";
    return out ? 0 : 1;
}
