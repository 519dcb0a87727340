#include "app/ResultPayload.h"

#include "engine/FormulaText.h"
#include "platform/Cp1251.h"

namespace {

ResultPayload Refused(std::size_t row, std::string message) {
    ResultPayload result;
    result.ok = false;
    result.row = row;
    result.message = std::move(message);
    return result;
}

// Replaces every occurrence of name in expr by value, searching on after each insertion,
// so that a value holding the name is not replaced again. False when expr grows too long.
bool Substitute(std::string& expr, const std::string& name, const std::string& value) {
    if (name.empty())
        return true;
    for (std::size_t at = expr.find(name); at != std::string::npos;
         at = expr.find(name, at + value.size())) {
        expr.replace(at, name.size(), value);
        if (expr.size() > kMaxPreparedAnswer)
            return false;
    }
    return true;
}

} // namespace

ResultPayload BuildResultPayload(const std::vector<AnswerRowText>& rows) {
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const CleanedText cleaned = CleanFormula(rows[k].answer);
        if (cleaned.bracketError != nullptr)
            return Refused(k, *cleaned.bracketError);
    }
    std::vector<std::string> answers;
    for (const AnswerRowText& row : rows)
        answers.push_back(row.answer);
    for (std::size_t j = 0; j + 1 < rows.size(); ++j) {
        const std::string value = "(" + CleanFormula(rows[j].answer).text + ")";
        for (std::size_t l = j + 1; l < rows.size(); ++l) {
            if (!Substitute(answers[l], rows[j].name, value))
                return Refused(l, platform::Utf8ToCp1251(
                                      "Ответ слишком длинный после подстановки ответов выше."));
            // A name made of brackets can unbalance the answer it is put into.
            CleanedText cleaned = CleanFormula(answers[l]);
            if (cleaned.bracketError != nullptr)
                return Refused(l, *cleaned.bracketError);
            answers[l] = std::move(cleaned.text);
        }
    }
    ResultPayload result;
    for (std::size_t k = 0; k < rows.size(); ++k)
        result.payload += rows[k].nameField + answers[k] + ";";
    return result;
}
