#include "JudgeDrawing.h"

#include "StudentTask.h"
#include "judging/TaskJudging.h"
#include "ToolArguments.h"

#include "drawing/DrawingJudge.h"
#include "drawing/DrawnAnswer.h"
#include "platform/Cp1251.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

namespace {

constexpr int kUnreadable = 64;

int Unreadable(const std::string& utf8) {
    std::cerr << "vekta-task: " << utf8 << '\n';
    return kUnreadable;
}

std::optional<std::string> ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int ExitStatus(answers::Verdict verdict) {
    switch (verdict) {
    case answers::Verdict::Right:
        return 0;
    case answers::Verdict::Wrong:
        return 1;
    case answers::Verdict::NotAccepted:
        return 2;
    }
    return 1;
}

} // namespace

int JudgeDrawingCommand(int argc, char** argv) {
    const std::optional<ToolArguments> arguments =
        ReadToolArguments(argc, argv, 2, {"--student", "--db"});
    if (!arguments || arguments->words.size() != 2)
        return Unreadable("usage: vekta-task judge-drawing FILE.task DRAWING [--student NAME] "
                          "[--db LOCATION]");
    const StudentTaskRead read = ReadStudentTask(arguments->words[0], StudentChoiceOf(*arguments));
    if (!read.task)
        return Unreadable(read.error);
    const TaskVariant& variant = read.task->variant;
    const BankTask& task = variant.task;
    if (!task.AsksForDrawing())
        return Unreadable("the task has no DRAW section");
    const std::string& path = arguments->words[1];
    const std::optional<std::string> text = ReadText(path);
    if (!text)
        return Unreadable("cannot read " + path);
    const drawing::DrawingRead drawn = drawing::ReadDrawingText(platform::Utf8ToCp1251(*text));
    if (!drawn.problem.empty())
        return Unreadable(path + ": " + drawn.problem);
    const TaskDrawingJudgement judged = JudgeTaskDrawing(task, drawn.objects);
    if (!judged.problem.empty())
        return Unreadable(judged.problem);
    const drawing::DrawingJudgement& judgement = judged.judgement;
    std::cout << drawing::ToolReport(judgement);
    return ExitStatus(judgement.verdict);
}
