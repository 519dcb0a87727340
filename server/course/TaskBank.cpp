#include "course/TaskBank.h"

#include "course/TaskFileSections.h"

#include "answers/Judge.h"
#include "platform/Cp1251.h"
#include "platform/Trim.h"
#include "protocol/Sections.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

struct SheetFolder {
    const char* folder;
    const char* tag;
};
constexpr SheetFolder kSheets[] = {
    {"statica", "<STATICA>"}, {"kinematik", "<KINEMATIK>"}, {"dinamik", "<DINAMIK>"}};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Line breaks inside a task file are for the author's eyes. In the scripts they are
// dropped (a blank before a keyword would spoil the statement); in texts a line break
// stands for a space, except after a "|" (a forced line break of the statement).
std::string WithoutLineBreaks(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

std::string JoinedLines(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            if (!out.empty() && out.back() != '|' && out.back() != ' ')
                out += ' ';
            continue;
        }
        out += c;
    }
    return out;
}

// The tolerances, 1 % and 1e-9 for zero when the section is absent; nullopt when the
// text is not a percentage above 0, perhaps with a tolerance for zero after ";".
std::optional<answers::Tolerance> ReadTolerance(const std::string& text) {
    if (text.empty())
        return answers::Tolerance{};
    return answers::ReadTolerance(text);
}

std::map<std::string, std::string> ReadUsers(const fs::path& path) {
    std::map<std::string, std::string> users;
    if (!fs::exists(path))
        return users;
    std::istringstream lines(platform::Utf8ToCp1251(ReadFile(path)));
    for (std::string line; std::getline(lines, line);) {
        std::erase(line, '\r');
        const std::size_t semicolon = line.find(';');
        if (!line.empty() && line.front() != '#' && semicolon != std::string::npos)
            users[line.substr(0, semicolon)] = line.substr(semicolon + 1);
    }
    return users;
}

// <UNITS> ("required" or "optional", optional when absent) and <SIGFIGS> (a whole number
// of figures from 1 to 15); what cannot be read is the task's problem.
void ReadQuantityRules(std::string& text, BankTask& task) {
    const std::string units(
        platform::TrimWhitespace(WithoutLineBreaks(ExtractSection(text, "UNITS"))));
    task.unitsRequired = units == "required";
    if (!units.empty() && units != "required" && units != "optional")
        task.problem = "UNITS is not \"required\" or \"optional\": " + units;
    const std::string figures(
        platform::TrimWhitespace(WithoutLineBreaks(ExtractSection(text, "SIGFIGS"))));
    if (figures.empty())
        return;
    int count = 0;
    const auto [end, error] =
        std::from_chars(figures.data(), figures.data() + figures.size(), count);
    if (error != std::errc() || end != figures.data() + figures.size() || count < 1 || count > 15)
        task.problem = "SIGFIGS is not a number of figures from 1 to 15: " + figures;
    else
        task.significantFigures = count;
}

} // namespace

std::vector<std::string> SplitItems(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (std::size_t end; (end = list.find(';', start)) != std::string::npos; start = end + 1)
        items.push_back(list.substr(start, end - start));
    return items;
}

const BankTask* TaskBank::Find(const std::string& name) const {
    const auto found = std::find_if(tasks.begin(), tasks.end(),
                                    [&](const BankTask& task) { return task.name == name; });
    return found == tasks.end() ? nullptr : &*found;
}

BankTask ParseTaskFile(const std::string& utf8Text, const std::string& sheetTag,
                       const std::string& cp1251Name) {
    std::string text = platform::Utf8ToCp1251(utf8Text);
    BankTask task;
    task.sheetTag = sheetTag;
    task.name = cp1251Name;
    task.layoutProblems = SectionLayoutProblems(utf8Text);
    task.caption = JoinedLines(ExtractSection(text, "CAPTION"));
    task.quest = JoinedLines(ExtractSection(text, "QUEST"));
    task.image = WithoutLineBreaks(ExtractSection(text, "IMAGE"));
    task.request = WithoutLineBreaks(ExtractSection(text, "REQUEST"));
    task.animate = WithoutLineBreaks(ExtractSection(text, "ANIMATE"));
    task.answerNames = SplitItems(task.request);
    task.answers = SplitItems(WithoutLineBreaks(ExtractSection(text, "ANSWER")));
    task.variablesSection = WithoutLineBreaks(ExtractSection(text, "VARIABLES"));
    std::string variablesProblem;
    task.variables = answers::ReadDeclaredNames(task.variablesSection, variablesProblem);
    if (!variablesProblem.empty())
        task.problem = "VARIABLES: " + variablesProblem;
    task.parameters = WithoutLineBreaks(ExtractSection(text, "PARAMETERS"));
    task.tests = ExtractSection(text, "TESTS");
    FeedbackLines feedback = ReadFeedbackLines(ExtractSection(text, "FEEDBACK"));
    task.feedback = std::move(feedback.lines);
    task.ruleProblems = std::move(feedback.problems);
    CarryRules carry =
        ReadCarryRules(WithoutLineBreaks(ExtractSection(text, "CARRY")), task.answerNames);
    task.carry = std::move(carry.rules);
    task.ruleProblems.insert(task.ruleProblems.end(), carry.problems.begin(), carry.problems.end());
    task.attempts = WithoutLineBreaks(ExtractSection(text, "ATTEMPTS"));
    task.draw = WithoutLineBreaks(ExtractSection(text, "DRAW"));
    task.drawTolerance = WithoutLineBreaks(ExtractSection(text, "DRAWTOL"));
    const std::string tolerance = WithoutLineBreaks(ExtractSection(text, "TOLERANCE"));
    const std::optional<answers::Tolerance> tolerances = ReadTolerance(tolerance);
    task.tolerance = tolerances.value_or(answers::Tolerance{});
    if (!tolerances)
        task.problem = "TOLERANCE is not a percentage (then perhaps \";\" and a tolerance for "
                       "zero above 0 and at most 1e6): " +
                       tolerance;
    ReadQuantityRules(text, task);
    if (!task.answers.empty() && task.answers.size() != task.answerNames.size())
        task.problem = std::to_string(task.answers.size()) + " answers for " +
                       std::to_string(task.answerNames.size()) + " requested names";
    return task;
}

TaskBank LoadTaskBank(const fs::path& folder) {
    if (!fs::is_directory(folder))
        throw std::runtime_error("no task bank at " + folder.string());
    TaskBank bank;
    for (const SheetFolder& sheet : kSheets) {
        const fs::path sheetPath = folder / sheet.folder;
        if (!fs::is_directory(sheetPath))
            continue;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(sheetPath))
            if (entry.is_regular_file() && entry.path().extension() == ".task")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files)
            bank.tasks.push_back(ParseTaskFile(ReadFile(file), sheet.tag,
                                               platform::Utf8ToCp1251(file.stem().string())));
    }
    bank.users = ReadUsers(folder / "users.txt");
    if (fs::exists(folder / "course.conf"))
        bank.course = ReadCourseConfig(ReadFile(folder / "course.conf"));
    for (BankTask& task : bank.tasks) {
        task.carryShare = bank.course.carryPercent / 100;
        task.hints = bank.course.hints;
    }
    return bank;
}
