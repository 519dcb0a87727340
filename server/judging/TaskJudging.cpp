#include "judging/TaskJudging.h"

#include "answers/NotationText.h"
#include "answers/Read.h"
#include "platform/Cp1251.h"

#include <algorithm>

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

std::optional<std::string> WithEarlierRows(const BankTask& task, std::size_t row,
                                           std::string_view formula,
                                           const std::vector<std::string>& references,
                                           const std::map<std::size_t, std::string>& given) {
    const std::size_t earlier = std::min({row, task.answerNames.size(), references.size()});
    const std::vector<std::string> rowNames(
        task.answerNames.begin(), task.answerNames.begin() + static_cast<std::ptrdiff_t>(earlier));
    const answers::ReadResult read =
        answers::Read(formula, answers::NamesOf(task.variables), rowNames);
    if (!read.Accepted())
        return std::nullopt;
    const std::vector<std::string>& used = read.formula->names;
    std::map<std::string, std::string> substitutes;
    for (std::size_t k = 0; k < earlier; ++k) {
        // A name the task declares is that name, even where a row has it too.
        const std::optional<std::string> key = answers::NameKey(rowNames[k]);
        if (!key || std::find(used.begin(), used.end(), *key) == used.end() ||
            std::any_of(task.variables.begin(), task.variables.end(),
                        [&](const answers::DeclaredName& declared) {
                            return answers::NameKey(declared.name) == key;
                        }))
            continue;
        const auto own = given.find(k);
        substitutes[*key] = own != given.end() ? own->second : references[k];
    }
    // The text as written keeps the trial points it has always been judged at.
    if (substitutes.empty())
        return std::string(formula);
    return answers::NotationText(*read.formula, substitutes);
}

std::vector<std::string> RowReferences(const BankTask& task) {
    std::vector<std::string> references;
    references.reserve(task.answers.size());
    for (std::size_t row = 0; row < task.answers.size(); ++row)
        references.push_back(
            WithEarlierRows(task, row, task.answers[row], references).value_or(task.answers[row]));
    return references;
}

answers::Judgement JudgeRow(const BankTask& task, std::size_t row, std::string_view answer) {
    return answers::Judge(RowReferences(task).at(row), answer, DeclaredNamesOf(task).declared,
                          task.tolerance);
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
