#include "TaskJudging.h"

#include "answers/Read.h"
#include "platform/Cp1251.h"

TaskNames DeclaredNamesOf(const BankTask& task) {
    TaskNames names;
    for (const std::string& item : task.variables) {
        std::string problem;
        if (std::optional<answers::DeclaredName> name = answers::ReadDeclaredName(item, problem))
            names.declared.push_back(std::move(*name));
        else
            names.problems.push_back("VARIABLES: " + platform::Cp1251ToUtf8(problem));
    }
    return names;
}

int RowOf(const BankTask& task, std::string_view name) {
    const std::optional<std::string> key = answers::NameKey(name);
    for (std::size_t row = 0; key && row < task.answerNames.size(); ++row)
        if (answers::NameKey(task.answerNames[row]) == key)
            return static_cast<int>(row);
    return -1;
}

answers::Judgement JudgeRow(const BankTask& task, std::size_t row, std::string_view answer) {
    return answers::Judge(task.answers.at(row), answer, DeclaredNamesOf(task).declared,
                          task.tolerancePercent);
}
