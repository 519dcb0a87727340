#include "protocol/QuestList.h"

#include "protocol/PayloadCursor.h"

#include <array>

std::string QuestListEntry::LinkCaption() const {
    if (caption.size() <= kMaxShownCaption)
        return std::to_string(number) + ". " + caption;
    return std::to_string(number) + ". " + caption.substr(0, kMaxShownCaption) + "...";
}

namespace {

// The sheet a section tag selects, or -1 for any other text.
int SheetOfTag(const std::string& tag) {
    if (tag == "<STATICA>")
        return kSheetStatics;
    if (tag == "<KINEMATIK>")
        return kSheetKinematics;
    if (tag == "<DINAMIK>")
        return kSheetDynamics;
    return -1;
}

} // namespace

std::vector<QuestListEntry> ParseQuestList(std::string payload) {
    std::vector<QuestListEntry> entries;
    std::array<int, 3> nextNumber = {1, 1, 1};
    int currentSheet = kSheetKinematics;
    PayloadCursor rest(std::move(payload));
    while (!rest.Empty() && entries.size() < static_cast<std::size_t>(kMaxQuestLinks)) {
        const std::optional<std::string> tag = rest.TakeThroughBracket();
        if (!tag)
            break;
        QuestListEntry entry;
        const int sheet = SheetOfTag(*tag);
        if (sheet >= 0)
            currentSheet = sheet;
        entry.sheet = currentSheet;
        entry.sheetTagRecognised = sheet >= 0;
        entry.name = rest.ExtractSection("NAME");
        entry.caption = rest.ExtractSection("CAPTION");
        entry.number = nextNumber[static_cast<std::size_t>(currentSheet)]++;
        entries.push_back(std::move(entry));
    }
    return entries;
}
