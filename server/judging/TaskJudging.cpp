#include "judging/TaskJudging.h"

#include "answers/NotationText.h"
#include "answers/Quantity.h"
#include "answers/Read.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <charconv>

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

namespace {

// The names a row's texts are read with: the declared ones and the rows above it.
answers::KnownNames NamesAbove(const BankTask& task, std::size_t row) {
    const std::size_t above = std::min(row, task.answerNames.size());
    return {
        answers::NamesOf(task.variables),
        std::vector<std::string>(task.answerNames.begin(),
                                 task.answerNames.begin() + static_cast<std::ptrdiff_t>(above))};
}

// The shortest text that reads back as the same number.
std::string ExactNumber(double value) {
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    return error == std::errc() ? std::string(digits, end) : std::string("1");
}

// What stands for row `k` in a later formula: the formula of `text` (its reference, or an
// answer to it when `answer`) without its unit, its value converted to the row's reference
// unit; the text as it is when it cannot be read.
std::string FormulaInRowUnit(const BankTask& task, std::size_t k, const std::string& text,
                             bool answer, const std::string& reference) {
    const answers::KnownNames names = NamesAbove(task, k);
    const answers::QuantityRead read = answer ? answers::ReadAnswerQuantity(text, names)
                                              : answers::ReadReferenceQuantity(text, names);
    if (!read.read.Accepted())
        return text;
    std::string formula = answers::NotationText(*read.read.formula);
    const std::optional<answers::Unit> rowUnit =
        answers::ReadReferenceQuantity(reference, names).unit;
    if (read.unit && rowUnit && read.unit->dimension == rowUnit->dimension &&
        read.unit->factor != rowUnit->factor)
        formula = "(" + formula + ")*" + ExactNumber(read.unit->factor / rowUnit->factor);
    return formula;
}

} // namespace

std::optional<std::string> WithEarlierRows(const BankTask& task, std::size_t row,
                                           std::string_view formula,
                                           const std::vector<std::string>& references,
                                           const std::map<std::size_t, std::string>& given) {
    const std::size_t earlier = std::min({row, task.answerNames.size(), references.size()});
    const answers::KnownNames names = NamesAbove(task, earlier);
    const answers::QuantityRead read = answers::ReadReferenceQuantity(formula, names);
    if (!read.read.Accepted() || !read.unitProblem.empty())
        return std::nullopt;
    const std::vector<std::string>& used = read.read.formula->names;
    std::map<std::string, std::string> substitutes;
    for (std::size_t k = 0; k < earlier; ++k) {
        // A name the task declares is that name, even where a row has it too.
        const std::optional<std::string> key = answers::NameKey(names.earlierRows[k]);
        if (!key || std::find(used.begin(), used.end(), *key) == used.end() ||
            std::any_of(task.variables.begin(), task.variables.end(),
                        [&](const answers::DeclaredName& declared) {
                            return answers::NameKey(declared.name) == key;
                        }))
            continue;
        const auto own = given.find(k);
        substitutes[*key] =
            FormulaInRowUnit(task, k, own != given.end() ? own->second : references[k],
                             own != given.end(), references[k]);
    }
    // The text as written keeps the trial points it has always been judged at.
    if (substitutes.empty())
        return std::string(formula);
    std::string text = answers::NotationText(*read.read.formula, substitutes);
    if (read.unit)
        text += " " + read.unit->text;
    return text;
}

std::optional<std::string> TypicalAnswer(const BankTask& task, std::size_t row,
                                         std::string_view answer,
                                         const std::vector<std::string>& references) {
    std::optional<std::string> typical = WithEarlierRows(task, row, answer, references);
    if (!typical || row >= references.size())
        return typical;
    const answers::KnownNames names = NamesAbove(task, row);
    if (answers::ReadReferenceQuantity(*typical, names).unit)
        return typical;
    if (const std::optional<answers::Unit> unit =
            answers::ReadReferenceQuantity(references[row], names).unit)
        *typical += " " + unit->text;
    return typical;
}

std::vector<std::string> RowReferences(const BankTask& task) {
    std::vector<std::string> references;
    references.reserve(task.answers.size());
    for (std::size_t row = 0; row < task.answers.size(); ++row)
        references.push_back(
            WithEarlierRows(task, row, task.answers[row], references).value_or(task.answers[row]));
    return references;
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
    return answers::JudgeAnswer(RowReferences(task).at(row), answer, DeclaredNamesOf(task).declared,
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
