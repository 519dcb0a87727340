#include "VariantList.h"

#include "course/NumberText.h"
#include "course/TaskVariant.h"
#include "course/VariantSeed.h"

#include "answers/Evaluate.h"
#include "answers/Quantity.h"
#include "answers/Read.h"
#include "platform/Cp1251.h"

#include <algorithm>

namespace {

// " = 2" for a reference over no declared name (" = 2 кН" with its unit), or nothing.
std::string ValueText(const std::string& reference) {
    const answers::QuantityRead quantity = answers::ReadReferenceQuantity(reference, {});
    const answers::ReadResult& read = quantity.read;
    if (!read.Accepted())
        return {};
    std::vector<double> values;
    for (const std::string& name : read.formula->names)
        values.push_back(answers::ConstantValue(name));
    const answers::Value value = answers::Evaluate(*read.formula, values);
    if (value.error != nullptr)
        return {};
    return " = " + NumberText(value.value, -1, '.') +
           (quantity.unit ? " " + quantity.unit->text : "");
}

} // namespace

std::vector<std::string> CheckedVariantNames(int count) {
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i)
        names.push_back("variant " + std::to_string(i));
    return names;
}

std::string VariantList(const BankTask& task, std::string_view secret,
                        const std::vector<std::string>& students) {
    std::string text;
    for (const std::string& student : students) {
        const TaskVariant variant = VariantOf(task, secret, platform::Utf8ToCp1251(student));
        const std::string values = ValuesText(variant.values);
        text += student + ": " +
                (values.empty() ? "no parameters" : platform::Cp1251ToUtf8(values)) + "\n";
        const std::size_t rows = std::min(variant.task.answers.size(), task.answerNames.size());
        for (std::size_t row = 0; row < rows; ++row)
            text +=
                "  " +
                platform::Cp1251ToUtf8(task.answerNames[row] + " = " + variant.task.answers[row]) +
                ValueText(variant.task.answers[row]) + "\n";
    }
    return text;
}
