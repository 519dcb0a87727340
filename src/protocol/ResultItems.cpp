#include "protocol/ResultItems.h"

std::string NameFieldText(std::string_view name) {
    return " " + std::string(name) + " @=";
}

std::string WriteResultPayload(const std::vector<ResultItem>& items) {
    std::string payload;
    for (const ResultItem& item : items)
        payload += NameFieldText(item.name) + item.answer + ";";
    return payload;
}

std::vector<std::optional<std::string>> ReadAnswers(std::string_view payload,
                                                    const std::vector<std::string>& names) {
    // Where each item's answer starts (just after its name-field text), found in order.
    std::vector<std::size_t> starts(names.size(), std::string_view::npos);
    std::vector<std::size_t> fieldStarts(names.size(), std::string_view::npos);
    std::size_t cursor = 0;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string field = NameFieldText(names[k]);
        const std::size_t found = payload.find(field, cursor);
        if (found == std::string_view::npos)
            continue;
        fieldStarts[k] = found;
        starts[k] = found + field.size();
        cursor = starts[k];
    }
    std::vector<std::optional<std::string>> answers(names.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (starts[k] == std::string_view::npos)
            continue;
        std::size_t end = payload.size();
        for (std::size_t next = k + 1; next < names.size(); ++next)
            if (fieldStarts[next] != std::string_view::npos) {
                end = fieldStarts[next];
                break;
            }
        std::string answer(payload.substr(starts[k], end - starts[k]));
        if (!answer.empty() && answer.back() == ';')
            answer.pop_back();
        answers[k] = std::move(answer);
    }
    return answers;
}
