#include "web/WebReports.h"

#include "answers/Quantity.h"
#include "answers/Read.h"
#include "course/Attempts.h"
#include "course/CourseConfig.h"
#include "course/TaskParameters.h"
#include "course/TaskVariant.h"
#include "judging/Submission.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"
#include "web/DrawingPicture.h"
#include "web/Gradebook.h"
#include "web/GradebookQuery.h"
#include "web/TaskPicture.h"

#include <QDateTime>

#include <algorithm>
#include <map>
#include <utility>

namespace {

using platform::Cp1251ToUtf8;

// Whether the task's caption or statement shows the parameter: "{F}" or "{F:.2}".
bool ShownByStatement(const BankTask& task, const std::string& name) {
    for (const std::string& placeholder : {"{" + name + "}", "{" + name + ":"})
        if (task.caption.find(placeholder) != std::string::npos ||
            task.quest.find(placeholder) != std::string::npos)
            return true;
    return false;
}

// A variant's values the student reads, and the helpers that only place the diagram's
// points or compute the answer.
std::pair<ParameterValues, ParameterValues> SplitByStatement(const ParameterValues& values,
                                                             const BankTask& task) {
    std::pair<ParameterValues, ParameterValues> split;
    for (const ParameterValue& value : values)
        (ShownByStatement(task, value.name) ? split.first : split.second).push_back(value);
    return split;
}

// The name of a requested answer as the reading writes it ("v!C" -> "v_C").
std::string ShownName(const std::string& cp1251Name) {
    const std::optional<std::string> key = answers::NameKey(cp1251Name);
    return key ? answers::NameText(*key) : Cp1251ToUtf8(cp1251Name);
}

// An answer as the reader reads it, or why it cannot be read.
std::string Reading(const std::string& cp1251Answer, const std::vector<std::string>& declared) {
    if (cp1251Answer.empty())
        return "(пусто)";
    const answers::ReadResult read = answers::Read(cp1251Answer, declared);
    if (read.Accepted())
        return answers::ReadingText(*read.formula);
    // A quantity: a number or formula and its unit ("-5 кН = -5000 Н").
    const answers::QuantityRead quantity =
        answers::ReadAnswerQuantity(cp1251Answer, {declared, {}});
    if (quantity.unit && quantity.read.Accepted())
        return answers::QuantityReadingText(quantity, nullptr);
    if (read.formula)
        return answers::ReadingText(*read.formula);
    return "не читается: " + answers::Describe(*read.problem, answers::TextStyle::Unicode);
}

// The verdict words of a stored "NAME: верно; NAME: неверно", in order.
std::vector<std::string> VerdictWords(const std::string& verdicts) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < verdicts.size()) {
        std::size_t end = verdicts.find("; ", start);
        if (end == std::string::npos)
            end = verdicts.size();
        const std::string item = verdicts.substr(start, end - start);
        const std::size_t colon = item.rfind(": ");
        words.push_back(colon == std::string::npos ? std::string() : item.substr(colon + 2));
        start = end + 2;
    }
    return words;
}

std::vector<AnswerLine> AnswerLines(const BankTask& task, const Database::Result& result) {
    const std::vector<std::string> declared = answers::NamesOf(task.variables);
    const auto sent = ReadAnswers(result.payload, task.answerNames);
    const std::vector<std::string> verdicts = VerdictWords(result.verdicts);
    const bool judged =
        result.score >= 0 && verdicts.size() == static_cast<std::size_t>(task.ScoredRows());
    std::vector<AnswerLine> lines;
    for (std::size_t k = 0; k < task.answerNames.size(); ++k) {
        // "неверно (sign)": the verdict and the code of its hint.
        std::string verdict = judged ? verdicts[k] : std::string();
        std::string hint;
        if (const std::size_t open = verdict.find(" (");
            open != std::string::npos && verdict.back() == ')') {
            hint = verdict.substr(open + 2, verdict.size() - open - 3);
            verdict.erase(open);
        }
        lines.push_back({ShownName(task.answerNames[k]), Reading(sent[k].value_or(""), declared),
                         verdict, hint});
    }
    if (task.AsksForDrawing()) {
        // The drawing's entries as sent, one after another.
        std::string entries;
        for (const std::string& entry : ReadDrawingEntries(result.payload, task.answerNames)
                                            .value_or(std::vector<std::string>{}))
            entries += (entries.empty() ? "" : "; ") + Cp1251ToUtf8(entry);
        lines.push_back(
            {Cp1251ToUtf8(kDrawingRowName), entries, judged ? verdicts.back() : std::string(), {}});
    }
    return lines;
}

// `secret`: the course's, which the student's variant is drawn with again for a drawing.
SubmissionLine LineOf(const TaskBank& bank, const Database::Result& result,
                      const std::string& secret) {
    SubmissionLine line{LocalTimeText(result.receivedUtc),
                        result.task,
                        result.attempt,
                        result.score,
                        result.total,
                        result.credited,
                        1,
                        result.variant,
                        {},
                        {},
                        {},
                        {}};
    const BankTask* task = bank.Find(platform::Utf8ToCp1251(result.task));
    if (task != nullptr) {
        line.answers = AnswerLines(*task, result);
        if (result.attempt > 0)
            line.factor =
                AttemptScore(1, result.attempt, AttemptRulesOf(task->attempts, bank.course));
        if (task->AsksForDrawing() && result.score >= 0) {
            const TaskVariant variant =
                VariantOf(*task, secret, platform::Utf8ToCp1251(result.user));
            const DrawingPicture picture = DrawSubmittedDrawing(variant.task, result.payload);
            line.drawingPng = picture.png;
            line.drawingProblem = picture.problem;
        }
    }
    // A submission stored without judging keeps why in its verdicts.
    if (result.score < 0 || (line.answers.empty() || line.answers[0].verdict.empty()))
        line.note = result.verdicts;
    return line;
}

void CountReadings(TaskReport& report, const BankTask& task, const Database::Result& result) {
    const std::vector<AnswerLine> lines = AnswerLines(task, result);
    for (std::size_t k = 0; k < report.answers.size() && k < lines.size(); ++k) {
        const AnswerLine& line = lines[k];
        if (line.verdict.empty())
            continue;
        std::vector<ReadingCount>& readings = report.answers[k].readings;
        const auto same = std::find_if(readings.begin(), readings.end(), [&](const auto& r) {
            return r.reading == line.reading && r.verdict == line.verdict && r.hint == line.hint;
        });
        if (same != readings.end())
            ++same->count;
        else
            readings.push_back({line.reading, line.verdict, 1, line.hint});
    }
}

// Wrong readings first, grouped by their hint (the most frequent hint first, readings
// without one last), the most frequent first in a group; then the rest by frequency.
void OrderReadings(std::vector<ReadingCount>& readings) {
    std::map<std::string, int> byHint;
    for (const ReadingCount& reading : readings)
        if (!reading.hint.empty())
            byHint[reading.hint] += reading.count;
    std::stable_sort(readings.begin(), readings.end(), [&](const auto& a, const auto& b) {
        const bool aRight = a.verdict == "верно";
        const bool bRight = b.verdict == "верно";
        if (aRight != bRight)
            return bRight;
        if (a.hint != b.hint) {
            const int aGroup = a.hint.empty() ? 0 : byHint[a.hint];
            const int bGroup = b.hint.empty() ? 0 : byHint[b.hint];
            return aGroup != bGroup ? aGroup > bGroup : a.hint < b.hint;
        }
        return a.count > b.count;
    });
}

} // namespace

std::string LocalTimeText(const std::string& utcIso) {
    const QDateTime time = QDateTime::fromString(QString::fromStdString(utcIso), Qt::ISODateWithMs);
    if (!time.isValid())
        return utcIso;
    return time.toLocalTime().toString("dd.MM.yyyy HH:mm:ss").toStdString();
}

std::vector<SubmissionLine> StudentSubmissions(Database& database, const TaskBank& bank,
                                               const std::string& student) {
    std::vector<SubmissionLine> lines;
    const std::string secret = database.CourseSecret();
    database.ForEachResult(student, {}, [&](const Database::Result& result) {
        lines.push_back(LineOf(bank, result, secret));
    });
    return lines;
}

std::optional<TaskReport> TaskReportOf(Database& database, const TaskBank& bank,
                                       const std::string& taskName, const std::string& student) {
    const BankTask* task = bank.Find(platform::Utf8ToCp1251(taskName));
    if (task == nullptr)
        return std::nullopt;
    TaskReport report;
    report.name = taskName;
    report.caption = Cp1251ToUtf8(task->caption);
    report.sheet = SheetName(task->sheetTag);
    report.maximum = task->ScoredRows();
    report.students = StudentNames(database);
    const bool known =
        std::find(report.students.begin(), report.students.end(), student) != report.students.end();
    report.student = known || report.students.empty() ? student : report.students.front();

    const TaskVariant variant =
        VariantOf(*task, database.CourseSecret(), platform::Utf8ToCp1251(report.student));
    const auto [shown, helpers] = SplitByStatement(variant.values, *task);
    report.variant = Cp1251ToUtf8(ExactValuesText(shown));
    report.helpers = Cp1251ToUtf8(ExactValuesText(helpers));
    const TaskPicture picture = DrawTaskPicture(variant.task);
    report.picture = picture.png;
    report.pictureProblem = picture.problem;
    const std::vector<std::string> declared = answers::NamesOf(task->variables);
    for (std::size_t k = 0; k < task->answerNames.size(); ++k)
        report.answers.push_back({ShownName(task->answerNames[k]),
                                  k < variant.task.answers.size()
                                      ? Reading(variant.task.answers[k], declared)
                                      : std::string(),
                                  {}});
    std::map<std::string, Database::Result> newestDrawings; // by student
    database.ForEachResult({}, taskName, [&](const Database::Result& result) {
        CountReadings(report, *task, result);
        if (task->AsksForDrawing() && result.score >= 0)
            newestDrawings[result.user] = result;
    });
    for (AnswerSummary& answer : report.answers)
        OrderReadings(answer.readings);
    const std::string secret = database.CourseSecret();
    for (const auto& [user, result] : newestDrawings) {
        const TaskVariant drawn = VariantOf(*task, secret, platform::Utf8ToCp1251(user));
        const DrawingPicture picture = DrawSubmittedDrawing(drawn.task, result.payload);
        const std::vector<std::string> verdicts = VerdictWords(result.verdicts);
        report.drawings.push_back({user, LocalTimeText(result.receivedUtc),
                                   verdicts.empty() ? std::string() : verdicts.back(), picture.png,
                                   picture.problem});
    }
    return report;
}
