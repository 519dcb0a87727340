#include "app/ResultPayload.h"

#include "answers/NotationText.h"
#include "app/AnswerReading.h"
#include "platform/Cp1251.h"
#include "protocol/ResultItems.h"

#include <map>

namespace {

RowRefusal Refused(std::size_t row, std::string message) {
    RowRefusal refusal;
    refusal.message = std::move(message);
    refusal.row = row;
    return refusal;
}

} // namespace

ResultPayload BuildResultPayload(const std::vector<AnswerRowText>& rows,
                                 const std::vector<std::string>& declared, bool namesDeclared) {
    // The answer each earlier row sends, by the key of its name.
    std::map<std::string, std::string> sent;
    std::vector<ResultItem> items;
    RowNames names{declared, {}, namesDeclared, {}};
    for (std::size_t k = 0; k < rows.size(); ++k) {
        names.unit = rows[k].unit;
        const AnswerReading reading = ReadAnswerRow(rows[k].answer, names);
        if (!reading.refusal.empty())
            return Refused(k, reading.refusal);
        // A blank row sends nothing, and its name in a later row is left to the server.
        std::string answer;
        if (reading.formula) {
            answer = answers::NotationText(*reading.formula, sent);
            if (answer.size() > kMaxPreparedAnswer)
                return Refused(k, platform::Utf8ToCp1251(
                                      "Ответ слишком длинный после подстановки ответов выше."));
            if (const std::optional<std::string> key = answers::NameKey(rows[k].name))
                sent[*key] = answer;
            if (!reading.unit.empty())
                answer += "*" + reading.unit;
        }
        items.push_back({rows[k].name, std::move(answer)});
        names.earlierRows.push_back(rows[k].name);
    }
    return WriteResultPayload(items);
}
