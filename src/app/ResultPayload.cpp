#include "app/ResultPayload.h"

#include "answers/NotationText.h"
#include "app/AnswerReading.h"
#include "drawing/DrawingBoard.h"
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

RowRefusal RefusedObject(std::size_t object, std::string utf8Message) {
    RowRefusal refusal;
    refusal.message = platform::Utf8ToCp1251(utf8Message);
    refusal.object = static_cast<int>(object);
    return refusal;
}

// What an object is called in a refusal: "Сила в точке A", "Момент".
std::string ObjectTitle(const drawing::DrawnObject& object,
                        const std::vector<drawing::Label>& labels) {
    if (object.kind == drawing::ObjectKind::Moment)
        return "Момент";
    return "Сила в точке " + drawing::PointName(object.at, labels);
}

// The entries of the drawing item, or the refusal of the first object that cannot go.
platform::Result<std::vector<std::string>, RowRefusal>
DrawingEntries(const std::vector<drawing::DrawnObject>& drawn, const RowNames& names,
               const std::vector<drawing::Label>& labels) {
    if (drawn.size() > kMaxDrawnObjects)
        return RefusedObject(kMaxDrawnObjects, "На рисунке больше " +
                                                   std::to_string(kMaxDrawnObjects) +
                                                   " сил и моментов.");
    std::vector<std::string> entries;
    for (std::size_t k = 0; k < drawn.size(); ++k) {
        drawing::DrawnObject sent = drawn[k];
        const std::optional<std::string> key = drawing::FieldNameKey(sent.name);
        if (!key)
            return RefusedObject(k, ObjectTitle(sent, labels) +
                                        ": не задано имя (выделите на рисунке, затем Enter).");
        sent.name = *key;
        const AnswerReading reading = ReadAnswerRow(sent.magnitude, names);
        if (!reading.refusal.empty()) {
            RowRefusal refusal = RefusedObject(k, ObjectTitle(sent, labels) + ", величина: ");
            refusal.message += reading.refusal;
            return refusal;
        }
        sent.magnitude = reading.formula ? answers::NotationText(*reading.formula) : "";
        if (sent.magnitude.find_first_of(" ;") != std::string::npos ||
            sent.magnitude.size() > kMaxPreparedAnswer)
            return RefusedObject(k, ObjectTitle(sent, labels) + ": величину нельзя отправить.");
        entries.push_back(drawing::WriteDrawnEntry(sent));
    }
    return entries;
}

} // namespace

ResultPayload BuildResultPayload(const std::vector<AnswerRowText>& rows,
                                 const std::vector<std::string>& declared, bool namesDeclared,
                                 const std::optional<std::vector<drawing::DrawnObject>>& drawing,
                                 const std::vector<drawing::Label>& labels) {
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
    if (!drawing)
        return WriteResultPayload(items);
    const auto entries = DrawingEntries(*drawing, {declared, {}, namesDeclared}, labels);
    if (!entries)
        return entries.Error();
    return WriteResultPayload(items, *entries);
}
