#include "web/WebPages.h"

#include "answers/TypicalMistakes.h"
#include "course/Attempts.h"
#include "course/NumberText.h"
#include "judging/VerdictMessage.h"
#include "web/Histogram.h"
#include "web/HtmlText.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>

namespace {

const char* const kStyle = R"(
body{font:15px/1.4 system-ui,sans-serif;margin:0;color:#1d2733;background:#f6f7f9}
header{display:flex;flex-wrap:wrap;gap:.4em 1.2em;align-items:center;padding:.6em 1em;
background:#2c4a6b;color:#fff}
header a,header button{color:#fff;background:none;border:0;font:inherit;cursor:pointer;padding:0}
header .who{margin-left:auto;opacity:.85}
main{padding:1em;overflow-x:auto}
h1{font-size:1.3em;margin:.2em 0 .6em}
table{border-collapse:collapse;background:#fff}
th,td{border:1px solid #d5dae1;padding:.25em .5em;text-align:center;white-space:nowrap}
th{background:#eef1f5;font-weight:600}
th[data-col]{cursor:pointer}
td.name,th.name{text-align:left;position:sticky;left:0;background:#fff}
.full{background:#c9ecc4}.part{background:#fbeeb5}.zero{background:#f6c9c4}.none{color:#99a}
small{color:#566;font-size:.8em}
.ok{color:#1e7a2e}.bad{color:#b3261e}.na{color:#8a6d00}.carry{color:#1f5f99}
form.login{max-width:20em;margin:3em auto;background:#fff;padding:1.5em;border:1px solid #d5dae1}
form.login label{display:block;margin:.6em 0 .2em}
form.login input{width:100%;box-sizing:border-box;padding:.4em;font:inherit}
form.login button{margin-top:1em;padding:.4em 1.2em;font:inherit}
.message{color:#b3261e}
input#filter{padding:.3em;font:inherit;margin-bottom:.6em;max-width:100%}
.submission{background:#fff;border:1px solid #d5dae1;margin:.6em 0;padding:.5em .8em}
img.task,img.drawing{max-width:100%;border:1px solid #d5dae1;background:#fff}
)";

// Sorting by any column (numbers as numbers, names as Russian text) and the filter by name.
const char* const kGradebookScript = R"(
const book=document.getElementById('book');
document.getElementById('filter').addEventListener('input',e=>{
const q=e.target.value.toLowerCase();
for(const r of book.tBodies[0].rows)r.hidden=!r.dataset.name.toLowerCase().includes(q);});
for(const th of book.querySelectorAll('th[data-col]'))th.addEventListener('click',()=>{
const col=+th.dataset.col,up=th.dataset.dir!=='up';th.dataset.dir=up?'up':'down';
const rows=[...book.tBodies[0].rows];
rows.sort((a,b)=>{const x=a.cells[col].dataset.v,y=b.cells[col].dataset.v;
const r=col===0?x.localeCompare(y,'ru'):(+x)-(+y);return up?r:-r;});
for(const r of rows)book.tBodies[0].appendChild(r);});
)";

std::string Head(const std::string& title) {
    return "<!DOCTYPE html><html lang=\"ru\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>" +
           HtmlEscaped(title) + " — ВЕКТА</title><style>" + kStyle + "</style></head><body>";
}

std::string Top(const PageFrame& frame, const std::string& title) {
    return Head(title) +
           "<header><a href=\"/\">Журнал</a><a href=\"/now\">Сейчас</a>"
           "<a href=\"/gradebook.csv\">CSV</a><a href=\"/results.csv\">Все ответы (CSV)</a><a "
           "href=\"/stats\">Статистика</a><span "
           "class=\"who\">" +
           HtmlEscaped(frame.teacher) +
           "</span><form method=\"post\" action=\"/logout\"><input type=\"hidden\" "
           "name=\"token\" value=\"" +
           HtmlEscaped(frame.formToken) +
           "\"><button id=\"logout\">Выйти</button></form></header>"
           "<main><h1>" +
           HtmlEscaped(title) + "</h1>";
}

std::string Bottom(const PageFrame& frame, const char* script = nullptr) {
    std::string html = "</main>";
    if (script != nullptr)
        html += "<script nonce=\"" + HtmlEscaped(frame.scriptNonce) + "\">" + script + "</script>";
    return html + "</body></html>";
}

std::string StudentLink(const std::string& student) {
    return "<a href=\"/student/" + UrlSegment(student) + "\">" + HtmlEscaped(student) + "</a>";
}

std::string TaskLink(const std::string& task) {
    return "<a href=\"/task/" + UrlSegment(task) + "\">" + HtmlEscaped(task) + "</a>";
}

// A cell's colour: full only for full credit, the penalty taken off; a part is shaded by
// its fraction from the red of nothing to the green of full.
std::string CellStyle(const GradebookCell& cell, int maximum) {
    if (cell.attemptsUsed == 0)
        return "class=\"none\"";
    if (maximum > 0 && cell.best >= maximum - 1e-9)
        return "class=\"full\"";
    if (cell.best <= 0 || maximum <= 0)
        return "class=\"zero\"";
    const int hue = static_cast<int>(std::lround(6 + 100 * cell.best / maximum));
    return "class=\"part\" style=\"background:hsl(" + std::to_string(hue) + ",70%,84%)\"";
}

const char* VerdictClass(const std::string& verdict) {
    if (verdict == "верно")
        return "ok";
    if (verdict.starts_with(kCarriedVerdict))
        return "carry";
    if (verdict == "неверно")
        return "bad";
    return "na";
}

// The mistake a hint's code names, as the student was told it.
std::string HintText(const std::string& code) {
    const std::optional<answers::Hint> hint = answers::ReadHintCode(code);
    return hint ? answers::HintMessage(*hint, answers::TextStyle::Unicode) : code;
}

std::string GradebookHeader(const Gradebook& book) {
    std::string html = "<thead><tr><th class=\"name\" rowspan=\"2\" data-col=\"0\">Студент</th>";
    for (std::size_t i = 0; i < book.tasks.size();) {
        std::size_t span = 1;
        while (i + span < book.tasks.size() && book.tasks[i + span].sheet == book.tasks[i].sheet)
            ++span;
        html += "<th colspan=\"" + std::to_string(span) + "\">" + HtmlEscaped(book.tasks[i].sheet) +
                "</th>";
        i += span;
    }
    html += "<th rowspan=\"2\" data-col=\"" + std::to_string(book.tasks.size() + 1) +
            "\">Итого<br><small>из " + std::to_string(book.maximumTotal) + "</small></th></tr><tr>";
    for (std::size_t i = 0; i < book.tasks.size(); ++i)
        html += "<th data-col=\"" + std::to_string(i + 1) + "\">" +
                HtmlEscaped(book.tasks[i].name) + "<br><small>из " +
                std::to_string(book.tasks[i].maximum) + "</small></th>";
    return html + "</tr></thead>";
}

void AppendGradebookRow(std::string& html, const Gradebook& book, const GradebookRow& row) {
    const std::string name = HtmlEscaped(row.student);
    html += "<tr data-name=\"" + name + "\"><td class=\"name\" data-v=\"" + name + "\">" +
            StudentLink(row.student) + "</td>";
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        const GradebookCell& cell = row.cells[i];
        const int maximum = book.tasks[i].maximum;
        html += "<td " + CellStyle(cell, maximum);
        if (cell.attemptsUsed == 0) {
            html += " data-v=\"-1\">—</td>";
            continue;
        }
        html += " data-v=\"" + PointsText(cell.best, '.') + "\">" + PointsText(cell.best) + "/" +
                std::to_string(maximum) + "<br><small>" + std::to_string(cell.attemptsUsed) +
                " поп.</small>";
        if (cell.carried)
            html += "<br><small class=\"carry\">с учётом ошибки</small>";
        html += "</td>";
    }
    html += "<td data-v=\"" + PointsText(row.total, '.') + "\"><b>" + PointsText(row.total) +
            "</b></td></tr>";
}

// A picture written into the page itself, so that the page needs nothing else.
std::string PngImage(const std::string& png, const char* cssClass, const char* alt) {
    const QByteArray base64 =
        QByteArray::fromRawData(png.data(), static_cast<qsizetype>(png.size())).toBase64();
    return "<img class=\"" + std::string(cssClass) + "\" alt=\"" + alt +
           "\" src=\"data:image/png;base64," + base64.toStdString() + "\">";
}

std::string Picture(const TaskReport& report) {
    if (report.picture.empty())
        return "<p class=\"message\">Рисунок не построен: " + HtmlEscaped(report.pictureProblem) +
               "</p>";
    std::string html =
        "<p>" + PngImage(report.picture, "task", "Задача, как её видит студент") + "</p>";
    if (!report.pictureProblem.empty())
        html += "<p class=\"message\">" + HtmlEscaped(report.pictureProblem) + "</p>";
    return html;
}

std::string VariantChooser(const TaskReport& report) {
    std::string html = "<form method=\"get\"><label>Вариант студента: <select name=\"student\">";
    for (const std::string& student : report.students)
        html += "<option" + std::string(student == report.student ? " selected" : "") + ">" +
                HtmlEscaped(student) + "</option>";
    html += "</select></label> <button>Показать</button></form>";
    if (!report.variant.empty())
        html += "<p>Значения варианта: " + HtmlEscaped(report.variant) + "</p>";
    if (!report.helpers.empty())
        html += "<details><summary>Вспомогательные значения</summary><p>" +
                HtmlEscaped(report.helpers) + "</p></details>";
    return html;
}

std::string AnswerSummaries(const TaskReport& report) {
    std::string html;
    for (const AnswerSummary& answer : report.answers) {
        html += "<h2>" + HtmlEscaped(answer.name) + "</h2><p>Эталон: <b>" +
                HtmlEscaped(answer.reference) + "</b></p>";
        if (answer.readings.empty()) {
            html += "<p class=\"none\">Ответов нет.</p>";
            continue;
        }
        html += "<table class=\"readings\"><thead><tr><th>Ответ</th><th>Оценка</th>"
                "<th>Сколько раз</th><th>Похоже на</th></tr></thead><tbody>";
        for (const ReadingCount& reading : answer.readings)
            html += "<tr><td>" + HtmlEscaped(reading.reading) + "</td><td class=\"" +
                    VerdictClass(reading.verdict) + "\">" + HtmlEscaped(reading.verdict) +
                    "</td><td>" + std::to_string(reading.count) + "</td><td>" +
                    HtmlEscaped(HintText(reading.hint)) + "</td></tr>";
        html += "</tbody></table>";
    }
    return html;
}

std::string Drawings(const TaskReport& report) {
    if (report.drawings.empty())
        return {};
    std::string html = "<h2>Рисунки студентов</h2>";
    for (const DrawingLine& line : report.drawings) {
        html += "<div class=\"submission\"><b>" + StudentLink(line.student) + "</b> · " +
                HtmlEscaped(line.received);
        if (!line.verdict.empty())
            html += std::string(" · рисунок: <span class=\"") + VerdictClass(line.verdict) + "\">" +
                    HtmlEscaped(line.verdict) + "</span>";
        if (!line.png.empty())
            html += "<p>" + PngImage(line.png, "drawing", "Рисунок студента") + "</p>";
        else
            html += "<br><span class=\"na\">" + HtmlEscaped(line.problem) + "</span>";
        html += "</div>";
    }
    return html;
}

std::string SubmissionBlock(const SubmissionLine& line) {
    std::string html = "<div class=\"submission\"><b>" + HtmlEscaped(line.received) + "</b> · " +
                       TaskLink(line.task);
    if (line.attempt > 0)
        html += " · попытка " + std::to_string(line.attempt);
    if (line.score >= 0 && line.total > 0)
        html += " · верно " + std::to_string(line.score) + " из " + std::to_string(line.total);
    // The credit when it is not the count of right answers: a penalty, or a drawing right
    // in part.
    if (line.attempt > 0 && line.score >= 0 && line.factor < 1)
        html += " · засчитано " + CreditText(line.credited * line.factor) + " (" +
                NumberText(std::round(line.factor * 1000) / 10, -1, ',') + " %)";
    else if (line.attempt > 0 && line.score >= 0 && std::fabs(line.credited - line.score) > 1e-9)
        html += " · засчитано " + CreditText(line.credited);
    if (!line.variant.empty())
        html += "<br><small>Вариант: " + HtmlEscaped(line.variant) + "</small>";
    if (!line.note.empty())
        html += "<br><span class=\"na\">" + HtmlEscaped(line.note) + "</span>";
    if (!line.answers.empty()) {
        html += "<table><tbody>";
        for (const AnswerLine& answer : line.answers)
            html += "<tr><td>" + HtmlEscaped(answer.name) + "</td><td>" +
                    HtmlEscaped(answer.reading) + "</td><td class=\"" +
                    VerdictClass(answer.verdict) + "\">" + HtmlEscaped(answer.verdict) +
                    "</td></tr>";
        html += "</tbody></table>";
    }
    if (!line.drawingPng.empty())
        html += "<p>" + PngImage(line.drawingPng, "drawing", "Рисунок студента") + "</p>";
    else if (!line.drawingProblem.empty())
        html += "<br><span class=\"na\">" + HtmlEscaped(line.drawingProblem) + "</span>";
    return html + "</div>";
}

} // namespace

std::string LoginPage(const std::string& formToken, const std::string& message) {
    std::string html = Head("Вход") + "<form class=\"login\" method=\"post\" action=\"/login\">"
                                      "<h1>ВЕКТА: журнал преподавателя</h1>";
    if (!message.empty())
        html += "<p class=\"message\">" + HtmlEscaped(message) + "</p>";
    return html +
           "<label for=\"name\">Имя</label><input id=\"name\" name=\"name\" "
           "autocomplete=\"username\" required autofocus>"
           "<label for=\"password\">Пароль</label><input id=\"password\" name=\"password\" "
           "type=\"password\" autocomplete=\"current-password\" required>"
           "<input type=\"hidden\" name=\"token\" value=\"" +
           HtmlEscaped(formToken) + "\"><button id=\"signin\">Войти</button></form></body></html>";
}

std::string GradebookPage(const PageFrame& frame, const Gradebook& book) {
    std::string html = Top(frame, "Журнал");
    html.reserve(book.rows.size() * (book.tasks.size() + 2) * 96);
    html += "<input id=\"filter\" type=\"search\" placeholder=\"Фильтр по имени\" "
            "aria-label=\"Фильтр по имени\"><table id=\"book\">";
    html += GradebookHeader(book) + "<tbody>";
    for (const GradebookRow& row : book.rows)
        AppendGradebookRow(html, book, row);
    html += "</tbody><tfoot><tr><th class=\"name\">Всего</th>";
    for (std::size_t i = 0; i < book.tasks.size(); ++i)
        html += "<th>" + TaskLink(book.tasks[i].name) + "<br>" + PointsText(book.taskTotals[i]) +
                "</th>";
    double all = 0;
    for (const double total : book.taskTotals)
        all += total;
    html += "<th>" + PointsText(all) + "</th></tr></tfoot></table>";
    if (!book.regrades.empty()) {
        html += "<h2>Перепроверки</h2><ul id=\"regrades\">";
        for (const std::string& regrade : book.regrades)
            html += "<li>" + HtmlEscaped(regrade) + "</li>";
        html += "</ul>";
    }
    return html + Bottom(frame, kGradebookScript);
}

std::string StudentPage(const PageFrame& frame, const std::string& student,
                        const std::vector<SubmissionLine>& submissions) {
    std::string html = Top(frame, student);
    if (submissions.empty())
        html += "<p class=\"none\">Отправок нет.</p>";
    for (const SubmissionLine& line : submissions)
        html += SubmissionBlock(line);
    return html + Bottom(frame);
}

std::string TaskPage(const PageFrame& frame, const TaskReport& report) {
    std::string html = Top(frame, report.name);
    html += "<p>" + HtmlEscaped(report.sheet) + " · из " + std::to_string(report.maximum);
    if (!report.caption.empty())
        html += " · " + HtmlEscaped(report.caption);
    html += "</p>";
    if (!report.students.empty())
        html += VariantChooser(report);
    html += Picture(report) + AnswerSummaries(report) + Drawings(report);
    return html + Bottom(frame);
}

std::string NowPage(const PageFrame& frame, const std::vector<LiveSession>& sessions) {
    std::string html = Top(frame, "Сейчас на сервере");
    if (sessions.empty())
        return html + "<p class=\"none\">Никто не подключён.</p>" + Bottom(frame);
    html += "<table id=\"now\"><thead><tr><th>Студент</th><th>Откуда</th><th>С</th>"
            "<th>Задача</th><th>Последняя отправка</th></tr></thead><tbody>";
    for (const LiveSession& session : sessions)
        html += "<tr><td>" +
                (session.user.empty() ? std::string("<span class=\"none\">не вошёл</span>")
                                      : StudentLink(session.user)) +
                "</td><td>" + HtmlEscaped(session.address) + "</td><td>" +
                HtmlEscaped(session.since) + "</td><td>" +
                (session.openTask.empty() ? std::string() : TaskLink(session.openTask)) +
                "</td><td>" + HtmlEscaped(session.lastSubmission) + "</td></tr>";
    return html + "</tbody></table>" + Bottom(frame);
}

namespace {

std::string FigureCell(const std::optional<double>& value) {
    return "<td>" + (value ? NumberText(*value, 2, ',') : std::string("—")) + "</td>";
}

std::string StatisticsRows(const TaskStatistics& task) {
    std::string flags;
    for (const std::string& flag : task.flags)
        flags += (flags.empty() ? "" : "<br>") + HtmlEscaped(flag);
    std::string html = "<tr><td>" + TaskLink(task.task) + "</td><td></td><td>" +
                       std::to_string(task.n) + "</td>" + FigureCell(task.facility) +
                       FigureCell(task.sd) + FigureCell(task.discrimination) +
                       FigureCell(task.efficiency) + "<td class=\"na\">" + flags + "</td></tr>";
    for (const VariantStatistics& variant : task.variants)
        html += "<tr><td></td><td><small>" + HtmlEscaped(variant.variant) + "</small></td><td>" +
                std::to_string(variant.n) + "</td>" + FigureCell(variant.facility) +
                "<td></td><td></td><td></td><td></td></tr>";
    return html;
}

} // namespace

std::string StatsPage(const PageFrame& frame, const CourseStatistics& statistics, bool best) {
    std::string html = Top(frame, "Статистика заданий");
    html += std::string("<p>") +
            (best ? "По лучшей засчитанной попытке (<a href=\"/stats\">по первой</a>)"
                  : "По первой попытке (<a href=\"/stats?best=1\">по лучшей</a>)") +
            ". Студентов: " + std::to_string(statistics.students) + " · альфа Кронбаха: " +
            (statistics.alpha ? NumberText(*statistics.alpha, 2, ',') : "—") + " · доля ошибки: " +
            (statistics.errorRatio ? NumberText(*statistics.errorRatio, 2, ',') : "—") + "</p>";
    html += "<table id=\"stats\"><thead><tr><th>Задание</th><th>Вариант</th><th>n</th>"
            "<th>Лёгкость, %</th><th>SD, %</th><th>Различение, %</th><th>Эффективность, %</th>"
            "<th>Замечания</th></tr></thead><tbody>";
    for (const TaskStatistics& task : statistics.tasks)
        html += StatisticsRows(task);
    html += "</tbody></table><h2>Распределения</h2><p>" +
            HistogramSvg(statistics.totals, static_cast<double>(statistics.tasks.size()),
                         "Сумма по заданиям");
    for (const TaskStatistics& task : statistics.tasks)
        html += " " + HistogramSvg(task.scores, 1, task.task);
    return html + "</p>" + Bottom(frame);
}

std::string MessagePage(const std::string& title, const std::string& line) {
    return Head(title) + "<main><h1>" + HtmlEscaped(title) + "</h1><p>" + HtmlEscaped(line) +
           "</p><p><a href=\"/\">Журнал</a></p></main></body></html>";
}
