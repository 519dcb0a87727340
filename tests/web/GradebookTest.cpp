// The gradebook's table and its CSV, from attempts handed in and from a real store.

#include "web/Gradebook.h"
#include "course/TaskVariant.h"
#include "judging/Submission.h"
#include "judging/SubmissionOutcome.h"
#include "platform/Cp1251.h"
#include "storage/Database.h"
#include "web/DrawingPicture.h"
#include "web/GradebookCache.h"
#include "web/GradebookCsv.h"
#include "web/GradebookQuery.h"
#include "web/StatisticsQuery.h"
#include "web/WebPages.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

using platform::Utf8ToCp1251;

BankTask Task(const std::string& sheetTag, const std::string& utf8Name, int answers,
              const std::string& attempts = {}) {
    BankTask task;
    task.sheetTag = sheetTag;
    task.name = Utf8ToCp1251(utf8Name);
    for (int i = 0; i < answers; ++i)
        task.answerNames.push_back("X" + std::to_string(i));
    task.attempts = attempts;
    return task;
}

TaskBank SmallBank() {
    TaskBank bank;
    bank.tasks = {Task("<STATICA>", "Балка-1", 3, "3; 10"), Task("<DINAMIK>", "Груз", 2)};
    return bank;
}

TEST(GradebookTest, BestScoreUnderTheTaskRulesAndTotals) {
    GradebookBuilder builder(SmallBank(), {"Петров", "Иванов", "Петров"});
    // Balka: 1, then 3 right at the second attempt (10 % off), a fourth past the limit.
    builder.AddAttempts("Иванов", "Балка-1", {1, 3, 0, 3});
    builder.AddAttempts("Петров", "Груз", {2});
    builder.AddAttempts("Никто", "Груз", {2});       // no account: no row
    builder.AddAttempts("Петров", "Нет такой", {2}); // no such task in the bank
    const Gradebook book = builder.Finish();

    ASSERT_EQ(book.tasks.size(), 2u);
    EXPECT_EQ(book.tasks[0].sheet, "Статика");
    EXPECT_EQ(book.tasks[1].sheet, "Динамика");
    EXPECT_EQ(book.tasks[0].maximum, 3);
    EXPECT_EQ(book.maximumTotal, 5);
    ASSERT_EQ(book.rows.size(), 2u); // the duplicate name is one row
    EXPECT_EQ(book.rows[0].student, "Иванов");
    const GradebookCell& balka = book.rows[0].cells[0];
    EXPECT_EQ(balka.attemptsUsed, 3);
    EXPECT_EQ(balka.bestCredited, 3);
    EXPECT_NEAR(balka.best, 2.7, 1e-9);
    EXPECT_EQ(book.rows[0].cells[1].attemptsUsed, 0);
    EXPECT_NEAR(book.rows[1].total, 2, 1e-9);
    EXPECT_NEAR(book.taskTotals[0], 2.7, 1e-9);
    EXPECT_NEAR(book.taskTotals[1], 2, 1e-9);

    // Every answer right at the second attempt is not full marks: the cell is shaded by
    // its fraction, and the student's page shows what the attempt cost.
    const PageFrame frame{"Учитель", "token", "nonce"};
    const std::string html = GradebookPage(frame, book);
    EXPECT_NE(html.find("<td class=\"part\" style=\"background:hsl(96,70%,84%)\" "
                        "data-v=\"2.7\">2,7/3"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<td class=\"full\" data-v=\"2\">2/2"), std::string::npos);
    SubmissionLine second{"07.12.2026 10:00:00", "Балка-1", 2, 3, 3, 3, 0.9, {}, {}, {}, {}, {}};
    EXPECT_NE(StudentPage(frame, "Иванов", {second})
                  .find("попытка 2 · верно 3 из 3 · засчитано 2,7 (90 %)"),
              std::string::npos);
    // A drawing right in part: the credit is not the count of right answers.
    SubmissionLine drawn{"07.12.2026 10:05:00", "Балка-9", 1, 2, 4, 2.4, 1, {}, {}, {}, {}, {}};
    EXPECT_NE(
        StudentPage(frame, "Иванов", {drawn}).find("попытка 1 · верно 2 из 4 · засчитано 2,4"),
        std::string::npos);
}

TEST(GradebookTest, PointsAreWrittenAsNumbers) {
    EXPECT_EQ(PointsText(3), "3");
    EXPECT_EQ(PointsText(0), "0");
    EXPECT_EQ(PointsText(2.7), "2,7");
    EXPECT_EQ(PointsText(2.7, '.'), "2.7");
    EXPECT_EQ(PointsText(1.0 / 3), "0,33");
    EXPECT_EQ(PointsText(1.999), "2");
}

TEST(GradebookTest, CsvOpensInASpreadsheetSetUpForRussian) {
    GradebookBuilder builder(SmallBank(), {"=HYPERLINK(\"x\")", "Иванов; Пётр", "-Сидоров"});
    builder.AddAttempts("Иванов; Пётр", "Балка-1", {1, 3});
    // Its best attempt holds an answer right with the error it carries: named apart.
    builder.AddJudgedAttempts("Иванов; Пётр", "Груз", {{1.5, true}, {1, false}});
    const Gradebook book = builder.Finish();

    const std::string csv = GradebookCsv(book);
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    std::istringstream lines(csv.substr(3));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "Студент;Балка-1 (из 3);Груз (из 2);Итого (из 5);С учётом ошибки\r");
    std::getline(lines, line);
    EXPECT_EQ(line, "'-Сидоров;;;0;\r"); // no cell starts a formula
    std::getline(lines, line);
    EXPECT_EQ(line, "\"'=HYPERLINK(\"\"x\"\")\";;;0;\r");
    std::getline(lines, line);
    // The name holding the separator is quoted; the score has the decimal comma.
    EXPECT_EQ(line, "\"Иванов; Пётр\";2,7;1,5;4,2;Груз\r");

    const std::string comma = GradebookCsv(book, ',');
    EXPECT_NE(comma.find("Студент,Балка-1 (из 3),Груз (из 2),Итого (из 5),С учётом ошибки\r\n"),
              std::string::npos);
    EXPECT_NE(comma.find("Иванов; Пётр,2.7,1.5,4.2,Груз\r\n"), std::string::npos);
    EXPECT_NE(GradebookPage({"Учитель", "token", "nonce"}, book)
                  .find("1,5/2<br><small>2 поп.</small><br><small class=\"carry\">с учётом "
                        "ошибки</small>"),
              std::string::npos);
}

TEST(GradebookTest, ReadFromTheStoreWithTeachersLeftOut) {
    QTemporaryDir dir;
    Database db((dir.path() + "/course.sqlite").toStdString());
    ASSERT_TRUE(db.AddAccount("Иванов", "hash"));
    ASSERT_TRUE(db.AddAccount("Учитель", "hash", Database::Role::Teacher));
    EXPECT_EQ(db.AccountRole("Учитель"), Database::Role::Teacher);
    EXPECT_EQ(db.AccountRole("Иванов"), Database::Role::Student);
    EXPECT_FALSE(db.AccountRole("Никто"));
    auto submit = [&](const std::string& task, int score, int total, bool attempt, double credited,
                      const std::string& verdicts) {
        SubmissionRecord record;
        record.user = Utf8ToCp1251("Иванов");
        record.task = Utf8ToCp1251(task);
        record.payload = "x";
        record.score = score;
        record.total = total;
        record.credited = credited;
        record.counted = attempt;
        record.verdicts = Utf8ToCp1251(verdicts);
        db.StoreSubmission(record);
    };
    submit("Балка-1", 2, 3, true, 2, "");
    submit("Балка-1", 0, 0, false, 0, ""); // every answer "не принято": no attempt
    submit("Груз", 1, 2, true, 1, "a: верно; T: неверно");
    submit("Груз", 1, 2, true, 1.5, "a: верно; T: верно с учётом ошибки в a");

    const Gradebook book = ReadGradebook(db, SmallBank());
    ASSERT_EQ(book.rows.size(), 1u);
    EXPECT_EQ(book.rows[0].cells[0].attemptsUsed, 1);
    EXPECT_NEAR(book.rows[0].cells[0].best, 2, 1e-9);
    EXPECT_FALSE(book.rows[0].cells[0].carried);
    EXPECT_TRUE(book.rows[0].cells[1].carried);
    EXPECT_NEAR(book.rows[0].total, 3.5, 1e-9);

    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunGradebookCommand(db, SmallBank(), ",", out, err), 0);
    EXPECT_NE(out.str().find("Иванов,2,1.5,3.5,Груз\r\n"), std::string::npos) << out.str();
    EXPECT_EQ(RunGradebookCommand(db, SmallBank(), "|", out, err), 64);

    // Kept while nothing changed; read anew after a submission or a new student.
    GradebookCache cache;
    const TaskBank bank = SmallBank();
    const auto first = cache.Read(db, bank);
    EXPECT_EQ(cache.Read(db, bank), first);
    submit("Груз", 2, 2, true, 2, "");
    const auto second = cache.Read(db, bank);
    ASSERT_NE(second, first);
    EXPECT_NEAR(second->rows[0].total, 4, 1e-9);
    ASSERT_TRUE(db.AddAccount("Петров", "hash"));
    const auto third = cache.Read(db, bank);
    EXPECT_EQ(third->rows.size(), 2u);

    // A regrade changes a verdict in place: read anew, and the regrade is listed.
    db.StoreRegraded({{db.Results().front().id, "X0: верно; X1: верно; X2: верно", 3, 3}});
    db.RecordRegrade({"2026-12-08T09:15:00Z", "Балка-1", 1, 1, 0});
    const auto regraded = cache.Read(db, bank);
    ASSERT_NE(regraded, third);
    EXPECT_NEAR(regraded->rows[0].cells[0].best, 3, 1e-9);
    ASSERT_EQ(regraded->regrades.size(), 1u);
    EXPECT_NE(regraded->regrades[0].find(" · Балка-1 · 1 отправок, выше 1, ниже 0"),
              std::string::npos);
    EXPECT_NE(GradebookPage({"Учитель", "t", "n"}, *regraded).find("<h2>Перепроверки</h2>"),
              std::string::npos);
}

} // namespace

// Item statistics on small tables worked out by hand: the figures, the undefined ones
// (no spread, one student) and the flags.
TEST(GradebookTest, ItemStatisticsAsWorkedOutByHand) {
    using Figure = std::optional<double>;
    const auto near = [](const Figure& got, const Figure& want) {
        return got.has_value() == want.has_value() && (!got || std::abs(*got - *want) < 0.01);
    };
    const auto sent = [](double fraction, const char* variant = "") {
        return TaskScore{fraction, variant, true};
    };
    const struct {
        const char* what;
        std::vector<std::vector<TaskScore>> scores;
        Figure facility, sd, discrimination, efficiency, alpha, errorRatio;
    } cases[] = {
        {"three students",
         {{sent(1), sent(1)}, {sent(0.5), sent(0)}, {sent(0), sent(0.5)}},
         50,
         50,
         50,
         50,
         66.67,
         57.74},
        {"no spread in the first task",
         {{sent(1), sent(0)}, {sent(1), sent(1)}},
         100,
         0,
         {},
         {},
         0,
         100},
        {"one student", {{sent(0.5), sent(1)}}, 50, {}, {}, {}, {}, {}},
        {"a task not sent counts 0", {{sent(1), {}}, {{}, sent(1)}}, 50, 70.71, -100, -100, {}, {}},
    };
    for (const auto& c : cases) {
        const CourseStatistics got = ComputeStatistics({"Балка-1", "Груз"}, c.scores);
        const TaskStatistics& first = got.tasks.front();
        EXPECT_EQ(got.students, static_cast<int>(c.scores.size())) << c.what;
        EXPECT_TRUE(near(first.facility, c.facility)) << c.what;
        EXPECT_TRUE(near(first.sd, c.sd)) << c.what;
        EXPECT_TRUE(near(first.discrimination, c.discrimination)) << c.what;
        EXPECT_TRUE(near(first.efficiency, c.efficiency)) << c.what;
        EXPECT_TRUE(near(got.alpha, c.alpha)) << c.what;
        EXPECT_TRUE(near(got.errorRatio, c.errorRatio)) << c.what;
        EXPECT_EQ(first.flags.front(), "меньше 30 студентов") << c.what;
    }
    // Variants 50 points off their task's facility are flagged; the JSON says null where a
    // figure is undefined.
    std::vector<std::vector<TaskScore>> variants;
    for (int k = 0; k < 40; ++k)
        variants.push_back({sent(k % 2, k % 2 ? "a = 1" : "a = 2")});
    const CourseStatistics flagged = ComputeStatistics({"Балка-1"}, variants);
    EXPECT_EQ(flagged.tasks[0].flags,
              (std::vector<std::string>{"вариант легче: a = 1 (100 из 50)",
                                        "вариант сложнее: a = 2 (0 из 50)"}));
    const std::string json = StatisticsJson(flagged);
    EXPECT_NE(json.find("\"alpha\": null"), std::string::npos) << json;
    EXPECT_NE(json.find("\"facility\": 50"), std::string::npos) << json;
    EXPECT_NE(json.find("\"variant\": \"a = 1\""), std::string::npos) << json;
    EXPECT_EQ(StatisticsCsv(flagged).rfind("\xEF\xBB\xBF"
                                           "students;40\r\nalpha;\r\n",
                                           0),
              0u);
}

// A submitted drawing is drawn over its diagram in the judge's colours: the force found
// in green, the extra one in red, the missing one in red where it belongs.
TEST(GradebookTest, ASubmittedDrawingIsDrawnInTheJudgesColours) {
    const BankTask task =
        ParseTaskFile("<IMAGE>HEIGHT(120);WIDTH(200);</IMAGE><DRAW>FORCE(50, 60, 90, F); "
                      "FORCE(150, 60, 270, P);</DRAW>",
                      "<STATICA>", "d1");
    const TaskVariant variant = VariantOf(task, "secret", "student");
    const DrawingPicture picture =
        DrawSubmittedDrawing(variant.task, " @DRAW=force 50 60 90 F;force 100 60 0 Q;");
    ASSERT_TRUE(picture.problem.empty()) << picture.problem;
    const QImage image = QImage::fromData(QByteArray::fromStdString(picture.png));
    ASSERT_EQ(image.size(), QSize(200, 120));
    const auto colourAt = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    EXPECT_GT(colourAt(50, 40).green(), 120);
    EXPECT_LT(colourAt(50, 40).red(), 60);
    EXPECT_GT(colourAt(120, 60).red(), 150);
    EXPECT_LT(colourAt(120, 60).green(), 60);
    int red = 0; // the missing force, dashed, down from (150, 60)
    for (int y = 62; y < 100; ++y)
        red += colourAt(150, y).red() > 150 && colourAt(150, y).green() < 60;
    EXPECT_GT(red, 10);
    EXPECT_FALSE(DrawSubmittedDrawing(variant.task, " @DRAW=force 1 2 up F;").problem.empty());
}
