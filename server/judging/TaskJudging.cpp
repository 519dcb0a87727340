#include "judging/TaskJudging.h"

#include "answers/Quantity.h"
#include "answers/Read.h"
#include "platform/Cp1251.h"

TaskNames DeclaredNamesOf(const BankTask& task) {
    // A VARIABLES section that cannot be read is the task's problem already.
    return TaskNames{task.variables, {}};
}

int RowOf(const BankTask& task, std::string_view name) {
    const std::optional<std::string> key = answers::NameKey(name);
    for (std::size_t row = 0; key && row < task.answerNames.size(); ++row)
        if (answers::NameKey(task.answerNames[row]) == key)
            return static_cast<int>(row);
    return -1;
}

answers::JudgeOptions JudgeOptionsOf(const BankTask& task, std::size_t row) {
    answers::JudgeOptions options;
    options.tolerance = task.tolerance;
    options.unitsRequired = task.unitsRequired;
    options.significantFigures = task.significantFigures;
    options.hints = task.hints;
    const std::size_t above = std::min(row, task.answerNames.size());
    options.earlierRows.assign(task.answerNames.begin(),
                               task.answerNames.begin() + static_cast<std::ptrdiff_t>(above));
    return options;
}

std::string RowUnitsSection(const BankTask& task) {
    const answers::KnownNames names{answers::NamesOf(task.variables), {}};
    std::string section;
    bool any = false;
    for (const std::string& reference : task.answers) {
        const answers::QuantityRead read = answers::ReadReferenceQuantity(reference, names);
        if (read.unit) {
            section += read.unit->text;
            any = true;
        }
        section += ';';
    }
    return any ? section : std::string();
}

answers::Judgement JudgeRow(const BankTask& task, std::size_t row, std::string_view answer) {
    return answers::JudgeAnswer(task.answers.at(row), answer, DeclaredNamesOf(task).declared,
                                JudgeOptionsOf(task, row));
}

TaskDrawingJudgement JudgeTaskDrawing(const BankTask& task,
                                      const std::vector<drawing::DrawnObject>& drawn) {
    if (!task.drawing.problems.empty())
        return {{}, task.drawing.problems.front()};
    const std::optional<drawing::DrawTolerance> tolerance =
        drawing::ReadDrawTolerance(task.drawTolerance);
    if (!tolerance)
        return {{},
                "DRAWTOL is not a position in pixels and an angle in degrees: " +
                    platform::Cp1251ToUtf8(task.drawTolerance)};
    return {drawing::JudgeDrawing(task.drawing.expected, drawn, *tolerance,
                                  {task.variables, task.tolerance}),
            {}};
}

std::vector<std::string> FindingMessages(const BankTask& task,
                                         const drawing::DrawingJudgement& judgement) {
    const std::vector<drawing::Label> labels = drawing::ImageLabels(task.image);
    std::vector<std::string> messages;
    for (const drawing::FindingLine& line : judgement.findings)
        if (line.finding != drawing::Finding::Found)
            messages.push_back(drawing::FindingMessage(line, labels));
    return messages;
}
