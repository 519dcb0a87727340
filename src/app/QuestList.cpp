#include "app/QuestList.h"

#include "app/Frames.h"

#include <array>

std::string QuestListEntry::LinkCaption() const {
    return std::to_string(number) + ". " + caption;
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
    while (!payload.empty() && entries.size() < static_cast<std::size_t>(kMaxQuestLinks)) {
        const std::size_t close = payload.find('>');
        if (close == std::string::npos)
            break;
        QuestListEntry entry;
        const int sheet = SheetOfTag(payload.substr(0, close + 1));
        payload.erase(0, close + 1);
        if (sheet >= 0)
            currentSheet = sheet;
        entry.sheet = currentSheet;
        entry.sheetTagRecognised = sheet >= 0;
        entry.name = ExtractSection(payload, "NAME");
        entry.caption = ExtractSection(payload, "CAPTION");
        entry.number = nextNumber[static_cast<std::size_t>(currentSheet)]++;
        entries.push_back(std::move(entry));
    }
    return entries;
}
