// The shipped task bank as students meet it: each task's statement and request keep the
// client's rules, and the reference answers, sent over a real socket to the real server,
// are all judged right, while a wrong answer is judged wrong, and an error in a first row
// carried into the rows that use it is judged right with that error.

#include "ServerProcess.h"
#include "answers/NotationText.h"
#include "answers/Quantity.h"
#include "answers/Read.h"
#include "course/TaskBank.h"
#include "course/TaskVariant.h"
#include "judging/TaskJudging.h"
#include "platform/Cp1251.h"
#include "storage/CourseRecords.h"

#include <gtest/gtest.h>

#include <map>

using platform::Cp1251ToUtf8;
using platform::Utf8ToCp1251;

namespace {

std::string Payload(const std::string& frame) {
    return ReadPayload(frame);
}

// The payload the client builds from the rows of a task and, for a drawn answer, the
// right drawing of the variant: every expected object where and as the task expects it.
std::string Submission(const BankTask& task, const std::vector<std::string>& answers) {
    std::string payload;
    for (std::size_t k = 0; k < task.answerNames.size(); ++k)
        payload += " " + task.answerNames[k] + " @=" + answers[k] + ";";
    if (task.AsksForDrawing()) {
        payload += " @DRAW=";
        for (const drawing::Expectation& expectation : task.drawing.expected)
            for (const drawing::ExpectedObject& expected : expectation.objects)
                payload +=
                    drawing::WriteDrawnEntry({expected.kind, expected.at, expected.angle,
                                              expected.ccw, expected.name, expected.magnitude}) +
                    ";";
    }
    return payload;
}

// A row's reference as its formula and, apart, its unit (" кН"; empty without one), so that
// a changed answer keeps the unit at its end.
std::pair<std::string, std::string> FormulaAndUnit(const BankTask& task, std::size_t row,
                                                   const std::string& reference) {
    const answers::KnownNames names{
        answers::NamesOf(task.variables),
        {task.answerNames.begin(), task.answerNames.begin() + static_cast<std::ptrdiff_t>(row)}};
    const answers::QuantityRead read = answers::ReadReferenceQuantity(reference, names);
    if (!read.unit || !read.read.formula)
        return {reference, ""};
    return {answers::NotationText(*read.read.formula), " " + read.unit->text};
}

} // namespace

TEST(BankTest, ShippedTasksKeepTheClientsRules) {
    const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    int perSheet[3] = {0, 0, 0};
    int withVariants[3] = {0, 0, 0};
    int animated = 0;
    int drawn = 0;
    for (const BankTask& task : bank.tasks) {
        drawn += task.AsksForDrawing() ? 1 : 0;
        const std::string name = Cp1251ToUtf8(task.name);
        const int sheet = task.sheetTag == "<STATICA>" ? 0 : task.sheetTag == "<KINEMATIK>" ? 1 : 2;
        perSheet[sheet]++;
        withVariants[sheet] += task.parameters.empty() ? 0 : 1;
        EXPECT_FALSE(task.tests.empty()) << name << " has no author tests";
        animated += task.animate.empty() ? 0 : 1;
        EXPECT_FALSE(task.answers.empty()) << name;
        EXPECT_LE(task.answerNames.size(), 50u) << name;
        EXPECT_EQ(task.request.back(), ';') << name;
        // Powers are not written with a caret a student would have to decode.
        EXPECT_EQ(task.quest.find('^'), std::string::npos) << name;
        // A line break mark stands after a space; symbol runs hold no space.
        for (std::size_t bar = task.quest.find('|'); bar != std::string::npos;
             bar = task.quest.find('|', bar + 1))
            EXPECT_TRUE(bar > 0 && task.quest[bar - 1] == ' ') << name;
        for (std::size_t open = task.quest.find("<sym>"); open != std::string::npos;
             open = task.quest.find("<sym>", open + 1)) {
            const std::size_t close = task.quest.find("</", open);
            ASSERT_NE(close, std::string::npos) << name;
            EXPECT_EQ(task.quest.substr(open, close - open).find(' '), std::string::npos) << name;
        }
    }
    EXPECT_GE(perSheet[0], 3);
    EXPECT_GE(perSheet[1], 3);
    EXPECT_GE(perSheet[2], 3);
    for (const int tasks : withVariants)
        EXPECT_GE(tasks, 2);
    EXPECT_GE(animated, 3);
    EXPECT_GE(drawn, 2);
}

TEST(BankTest, ReferenceAnswersOverTheSocketAreRightAndAWrongOneIsNot) {
    const TaskBank bank = LoadTaskBank(VEKTA_BANK_DIR);
    ServerProcess server({"--submission-interval", "0"}); // answers as fast as they come
    ASSERT_TRUE(server.Started());
    // A client too old to draw sees the tasks with a drawn answer listed as needing a new one.
    ProtocolClient old(server.Port());
    old.Send("LOGIN", "Guest;wuzo");
    old.Next();
    old.Send("GETQUESTLIST", "1");
    const std::vector<QuestListEntry> list = ParseQuestList(ReadPayload(old.Next()));
    ASSERT_EQ(list.size(), bank.tasks.size());
    for (const QuestListEntry& entry : list)
        EXPECT_EQ(Cp1251ToUtf8(entry.caption).ends_with(" (нужен новый клиент)"),
                  bank.Find(entry.name)->AsksForDrawing())
            << Cp1251ToUtf8(entry.caption);

    ProtocolClient client(server.Port());
    ASSERT_TRUE(client.Connected());
    client.Send("FEATURES", std::string(kFeatureDrawing));
    client.Send("LOGIN", "Guest;wuzo");
    ASSERT_EQ(ReadTag(client.Next()), "MESSAGE");
    // The student's own variants, drawn with the course's secret the server keeps.
    const std::string secret = ReadCourseRecords(server.DatabasePath().toStdString()).secret;

    long carrying = 0;
    for (const BankTask& bankTask : bank.tasks) {
        const BankTask task = VariantOf(bankTask, secret, "Guest").task;
        const std::string name = Cp1251ToUtf8(task.name);
        client.Send("GETQUEST", task.name);
        ASSERT_EQ(ReadTag(client.Next()), "QUEST") << name;

        // A reference written with an earlier row's name is sent with its reference there.
        const std::vector<std::string> references = RowReferences(task);
        client.Send("SETRESULTQUEST", Submission(task, references));
        const std::string right = Cp1251ToUtf8(Payload(client.Next()));
        const std::string all = std::to_string(task.ScoredRows());
        EXPECT_NE(right.find("Верно " + all + " из " + all), std::string::npos) << name << right;
        EXPECT_EQ(right.find("неверно"), std::string::npos) << name << right;

        std::vector<std::string> wrong = references;
        const auto [lastFormula, lastUnit] =
            FormulaAndUnit(task, references.size() - 1, references.back());
        wrong.back() = "(" + lastFormula + ")*1.5+0.5" + lastUnit;
        client.Send("SETRESULTQUEST", Submission(task, wrong));
        const std::string verdict = Cp1251ToUtf8(Payload(client.Next()));
        const std::string lastName = Cp1251ToUtf8(answers::NameText(
            *answers::NameKey(task.answerNames.back()), answers::TextStyle::Cp1251Words));
        EXPECT_NE(verdict.find(lastName + ": неверно"), std::string::npos) << name << verdict;

        if (task.carry.empty())
            continue;
        // The first row doubled, and each later row worked from the rows before it.
        ++carrying;
        const auto [firstFormula, firstUnit] = FormulaAndUnit(task, 0, references[0]);
        std::map<std::size_t, std::string> worked{{0, "2*(" + firstFormula + ")" + firstUnit}};
        for (std::size_t k = 1; k < references.size(); ++k)
            worked[k] = *WithEarlierRows(task, k, task.answers[k], references, worked);
        std::vector<std::string> carried;
        for (const auto& [k, answer] : worked)
            carried.push_back(answer);
        client.Send("SETRESULTQUEST", Submission(task, carried));
        const std::string carriedVerdict = Cp1251ToUtf8(Payload(client.Next()));
        const std::string firstName = Cp1251ToUtf8(answers::NameText(
            *answers::NameKey(task.answerNames.front()), answers::TextStyle::Cp1251Words));
        EXPECT_NE(
            carriedVerdict.find(": верно с учётом ошибки в " + firstName + " (засчитано 0,5)"),
            std::string::npos)
            << name << carriedVerdict;
    }
    EXPECT_GE(carrying, 1);

    const std::string csv = server.RunCommand({"results", "--user", "Guest"});
    const auto rows = std::count(csv.begin(), csv.end(), '\n');
    EXPECT_EQ(rows, 1 + 2 * static_cast<long>(bank.tasks.size()) + carrying) << csv;
    // The carried answer's share is in its credit, its kind in its verdicts.
    EXPECT_NE(csv.find("верно с учётом ошибки в"), std::string::npos) << csv;
}
