// The course's rules as plain functions: attempts and their scores, the standing in the
// task list, course.conf and the test window.
#include "course/Attempts.h"
#include "course/CourseConfig.h"
#include "course/CourseOrder.h"
#include "course/StandingCaption.h"
#include "course/TestWindow.h"

#include "platform/Cp1251.h"

#include <gtest/gtest.h>

namespace {

TEST(AttemptsTest, TheSectionGivesCountAndPenalty) {
    std::string problem;
    const std::optional<AttemptRules> both = ReadAttempts("3; 10", problem);
    ASSERT_TRUE(both);
    EXPECT_EQ(both->maxAttempts, 3);
    EXPECT_EQ(both->penaltyPercent, 10);
    const std::optional<AttemptRules> count = ReadAttempts(" 2;", problem);
    ASSERT_TRUE(count);
    EXPECT_EQ(count->maxAttempts, 2);
    EXPECT_EQ(count->penaltyPercent, 0);
    for (const char* bad : {"", "0", "-1", "3; 101", "3; -5", "x", "3; x", "2.5", "1001"})
        EXPECT_FALSE(ReadAttempts(bad, problem)) << bad;
}

TEST(AttemptsTest, ScoresFallByThePenaltyNeverBelowZeroAndTheBestCounts) {
    const AttemptRules rules{3, 10};
    EXPECT_DOUBLE_EQ(AttemptScore(2, 1, rules), 2);
    EXPECT_DOUBLE_EQ(AttemptScore(2, 2, rules), 1.8);
    EXPECT_DOUBLE_EQ(AttemptScore(3, 3, rules), 2.4);
    EXPECT_DOUBLE_EQ(AttemptScore(3, 5, {0, 40}), 0); // 1 − 0.4 × 4 is below zero
    const Standing standing = StandingOf({{2}, {1}, {3}}, rules);
    EXPECT_EQ(standing.attemptsUsed, 3);
    EXPECT_EQ(standing.bestCredited, 3);
    EXPECT_DOUBLE_EQ(standing.bestScore, 2.4);
    // A better count later can still lose to an earlier one at a steep penalty.
    EXPECT_EQ(StandingOf({{2}, {3}}, {0, 50}).bestCredited, 2);
    // Attempts beyond the limit count for nothing.
    EXPECT_EQ(StandingOf({{0}, {0}, {3}}, {2, 0}).bestCredited, 0);
    EXPECT_TRUE(AttemptsLeft({{1}}, {2, 0}));
    EXPECT_FALSE(AttemptsLeft({{1}, {1}}, {2, 0}));
    EXPECT_TRUE(AttemptsLeft(std::vector<Attempt>(500), {}));
}

TEST(AttemptsTest, TheVerdictLineSaysAttemptAndCredit) {
    EXPECT_EQ(AttemptLine(2, 2, 3, {3, 10}),
              "Попытка 2 из 3. Засчитано 1,8 из 3 (90 % за 2-ю попытку)");
    EXPECT_EQ(AttemptLine(1, 3, 3, {3, 10}),
              "Попытка 1 из 3. Засчитано 3 из 3 (100 % за 1-ю попытку)");
    EXPECT_EQ(AttemptLine(4, 1, 2, {}), "Попытка 4. Засчитано 1 из 2 (100 % за 4-ю попытку)");
    EXPECT_EQ(AttemptLine(3, 1, 2, {5, 12.5}),
              "Попытка 3 из 5. Засчитано 0,8 из 2 (75 % за 3-ю попытку)");
    EXPECT_EQ(AttemptLine(2, 1, 2, {5, 33.3}),
              "Попытка 2 из 5. Засчитано 0,7 из 2 (66,7 % за 2-ю попытку)");
    EXPECT_EQ(AttemptLine(9, 1, 2, {10, 20}),
              "Попытка 9 из 10. Засчитано 0 из 2 (0 % за 9-ю попытку)");
    EXPECT_EQ(AttemptLine(3, 3, 3, {3, 10}),
              "Попытка 3 из 3. Засчитано 2,4 из 3 (80 % за 3-ю попытку)");
}

TEST(StandingCaptionTest, TheCaptionCarriesTheStudentsStanding) {
    const std::string caption = platform::Utf8ToCp1251("Реакции опор балки");
    const auto utf8 = [](const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); };
    EXPECT_EQ(StandingCaption(caption, {}, {3, 0}, 3), caption);
    EXPECT_EQ(utf8(StandingCaption(caption, {{2}}, {3, 0}, 3)),
              "Реакции опор балки — 2 из 3, попыток 1 из 3");
    EXPECT_EQ(utf8(StandingCaption(caption, {{3}}, {3, 10}, 3)),
              "Реакции опор балки — решено, попыток 1 из 3");
    // Right at the third attempt, with its penalty: not full marks.
    EXPECT_EQ(utf8(StandingCaption(caption, {{1}, {2}, {3}}, {3, 10}, 3)),
              "Реакции опор балки — 2,4 из 3, попыток 3 из 3");
    EXPECT_EQ(utf8(StandingCaption(caption, {{1}, {3}}, {}, 3)), "Реакции опор балки — решено");
    EXPECT_EQ(utf8(StandingCaption(caption, {{0}, {1}}, {}, 2)),
              "Реакции опор балки — 1 из 2, попыток 2");
}

TEST(CourseConfigTest, KeysAreReadAndBadLinesTold) {
    const CourseConfig config =
        ReadCourseConfig("# курс\nattempts = 3\r\npenalty=10\n\n"
                         "open = 2026-12-10T09:00\nclose = 2026-12-10 10:30\ncarry = 30\n");
    EXPECT_TRUE(config.problems.empty()) << config.problems.front();
    EXPECT_EQ(config.attempts.maxAttempts, 3);
    EXPECT_EQ(config.attempts.penaltyPercent, 10);
    EXPECT_EQ(config.window.open, (LocalTime{2026, 12, 10, 9, 0}));
    EXPECT_EQ(config.window.close, (LocalTime{2026, 12, 10, 10, 30}));
    EXPECT_EQ(config.carryPercent, 30);
    const CourseConfig bad =
        ReadCourseConfig("attempts = many\ncolour = red\nopen\n"
                         "open = 2026-02-30T09:00\npenalty = 300\ncarry = 120\ncarry = половина\n");
    EXPECT_EQ(bad.problems.size(), 7u);
    EXPECT_EQ(bad.attempts.maxAttempts, 0);
    EXPECT_EQ(bad.carryPercent, 50);
    EXPECT_EQ(
        ReadCourseConfig("open = 2026-12-10T10:00\nclose = 2026-12-10T09:00\n").problems.size(),
        1u);

    EXPECT_EQ(ReadCourseConfig("review = after_close\n").review, CourseConfig::Review::AfterClose);
    EXPECT_EQ(ReadCourseConfig("review = later\n").problems.size(), 1u);
    using Solutions = CourseConfig::Solutions;
    EXPECT_EQ(ReadCourseConfig("").solutions, Solutions::Never);
    EXPECT_EQ(ReadCourseConfig("solutions = after_close\n").solutions, Solutions::AfterClose);
    EXPECT_EQ(ReadCourseConfig("solutions=after_attempts\nsolutions = never\n").solutions,
              Solutions::Never);
    const CourseConfig unread =
        ReadCourseConfig("solutions = after_attempts\nsolutions = always\n");
    EXPECT_EQ(unread.problems,
              (std::vector<std::string>{"course.conf, line 2: solutions = always"}));
    EXPECT_EQ(unread.solutions, Solutions::AfterAttempts);
    EXPECT_FALSE(ReadCourseConfig("hints = no\n").hints);
    EXPECT_TRUE(ReadCourseConfig("").hints);
    EXPECT_EQ(ReadCourseConfig("hints = off\n").problems.size(), 1u);

    // The list's order: course.conf's names first, then as the course first listed them,
    // a task added later last; a name the bank lacks is told.
    TaskBank bank;
    for (const char* name : {"Балка-1", "Балка-4", "Консоль-2", "Груз-2"}) {
        bank.tasks.emplace_back();
        bank.tasks.back().name = platform::Utf8ToCp1251(name);
    }
    bank.course = ReadCourseConfig("order = Груз-2,  Нет-1 ,\n");
    EXPECT_TRUE(bank.course.problems.empty());
    EXPECT_EQ(ArrangeTasks(bank, {{"Балка-1", 1}, {"Консоль-2", 2}}),
              (std::vector<std::string>{"Нет-1"}));
    EXPECT_EQ(TaskNames(bank),
              (std::vector<std::string>{"Груз-2", "Балка-1", "Консоль-2", "Балка-4"}));
}

TEST(CourseConfigTest, ATasksOwnAttemptsOverrideTheCourses) {
    const CourseConfig course = ReadCourseConfig("attempts = 5\npenalty = 20\n");
    EXPECT_EQ(AttemptRulesOf("", course).maxAttempts, 5);
    EXPECT_EQ(AttemptRulesOf(" 2 ", course).maxAttempts, 2);
    EXPECT_EQ(AttemptRulesOf("2", course).penaltyPercent, 0);
    EXPECT_EQ(AttemptRulesOf("2; 5", course).penaltyPercent, 5);
    EXPECT_EQ(AttemptRulesOf("bad", course).maxAttempts, 5);
}

TEST(TestWindowTest, TimesAreReadStrictly) {
    EXPECT_EQ(ReadLocalTime("2028-02-29T23:59"), (LocalTime{2028, 2, 29, 23, 59}));
    for (const char* bad :
         {"2026-02-29T10:00", "2026-12-10T24:00", "2026-12-10T09:60", "2026-13-01T09:00",
          "2026-12-10T9:00", "2026-12-10", "2026-12-10T09:00Z", "2026-1a-10T09:00", ""})
        EXPECT_FALSE(ReadLocalTime(bad)) << bad;
}

TEST(TestWindowTest, OutsideTheWindowTheStudentIsToldWhenItOpensOrClosed) {
    const TestWindow window{LocalTime{2026, 12, 10, 9, 0}, LocalTime{2026, 12, 10, 10, 30}};
    const LocalTime before{2026, 12, 9, 23, 0};
    const LocalTime inside{2026, 12, 10, 10, 29};
    const LocalTime after{2026, 12, 10, 10, 30};
    EXPECT_EQ(WindowMessage(before, window), "Задания откроются 10.12.2026 в 09:00");
    EXPECT_EQ(WindowMessage(inside, window), "");
    EXPECT_EQ(WindowMessage(after, window), "Время вышло 10.12.2026 в 10:30");
    // An extension moves the student's own close, across midnight and a year's end too.
    EXPECT_EQ(StateAt(after, window, 15), WindowState::Open);
    EXPECT_EQ(WindowMessage(LocalTime{2026, 12, 10, 10, 45}, window, 15),
              "Время вышло 10.12.2026 в 10:45");
    const TestWindow lateNight{std::nullopt, LocalTime{2026, 12, 31, 23, 50}};
    EXPECT_EQ(WindowMessage(LocalTime{2027, 1, 1, 0, 30}, lateNight, 30),
              "Время вышло 01.01.2027 в 00:20");
    EXPECT_EQ(StateAt(before, TestWindow{}), WindowState::Open);
    EXPECT_EQ(LocalTime::FromMinutes(LocalTime{1969, 12, 31, 23, 59}.Minutes()),
              (LocalTime{1969, 12, 31, 23, 59}));
}

} // namespace
