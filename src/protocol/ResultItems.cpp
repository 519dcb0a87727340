#include "protocol/ResultItems.h"

std::string NameFieldText(std::string_view name) {
    return " " + std::string(name) + " @=";
}

std::string WriteResultPayload(const std::vector<ResultItem>& items,
                               const std::optional<std::vector<std::string>>& drawing) {
    std::string payload;
    for (const ResultItem& item : items)
        payload += NameFieldText(item.name) + item.answer + ";";
    if (drawing) {
        payload += kDrawingItemOpener;
        for (const std::string& entry : *drawing)
            payload += entry + ";";
    }
    return payload;
}

namespace {

// Where each requested name's item starts and where its answer starts (just after its
// name-field text), found in order; npos for a missing item. `drawingStart`: where the
// drawing item starts, the first opener after the last row's name-field text found; the
// payload's size when it has none.
struct ItemPlaces {
    std::vector<std::size_t> fieldStarts;
    std::vector<std::size_t> answerStarts;
    std::size_t drawingStart = 0;
};

ItemPlaces FindItems(std::string_view payload, const std::vector<std::string>& names) {
    ItemPlaces places{std::vector<std::size_t>(names.size(), std::string_view::npos),
                      std::vector<std::size_t>(names.size(), std::string_view::npos),
                      payload.size()};
    std::size_t cursor = 0;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string field = NameFieldText(names[k]);
        const std::size_t found = payload.find(field, cursor);
        if (found == std::string_view::npos)
            continue;
        places.fieldStarts[k] = found;
        places.answerStarts[k] = found + field.size();
        cursor = places.answerStarts[k];
    }
    const std::size_t drawing = payload.find(kDrawingItemOpener, cursor);
    if (drawing != std::string_view::npos)
        places.drawingStart = drawing;
    return places;
}

} // namespace

std::vector<std::optional<std::string>> ReadAnswers(std::string_view payload,
                                                    const std::vector<std::string>& names) {
    const ItemPlaces places = FindItems(payload, names);
    std::vector<std::optional<std::string>> answers(names.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::size_t start = places.answerStarts[k];
        if (start == std::string_view::npos)
            continue;
        std::size_t end = places.drawingStart;
        for (std::size_t next = k + 1; next < names.size(); ++next)
            if (places.fieldStarts[next] != std::string_view::npos) {
                end = places.fieldStarts[next];
                break;
            }
        std::string answer(payload.substr(start, end - start));
        if (!answer.empty() && answer.back() == ';')
            answer.pop_back();
        answers[k] = std::move(answer);
    }
    return answers;
}

std::optional<std::vector<std::string>> ReadDrawingEntries(std::string_view payload,
                                                           const std::vector<std::string>& names) {
    const ItemPlaces places = FindItems(payload, names);
    if (places.drawingStart == payload.size())
        return std::nullopt;
    std::string_view rest = payload.substr(places.drawingStart + kDrawingItemOpener.size());
    std::vector<std::string> entries;
    while (!rest.empty() && entries.size() < kMaxDrawingEntries) {
        const std::size_t end = rest.find(';');
        const std::string_view entry = rest.substr(0, end);
        if (entry.find_first_not_of(' ') != std::string_view::npos)
            entries.emplace_back(entry);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return entries;
}
