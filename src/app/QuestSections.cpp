#include "app/QuestSections.h"

#include "app/Frames.h"

namespace {

std::string Section(std::string_view name, const std::string& text) {
    return "<" + std::string(name) + ">" + text + "</" + std::string(name) + ">";
}

} // namespace

QuestSections ReadQuestSections(std::string_view message) {
    std::string payload = ReadPayload(message);
    QuestSections sections;
    sections.name = ExtractSection(payload, "NAME");
    sections.quest = ExtractSection(payload, "QUEST");
    sections.image = ExtractSection(payload, "IMAGE");
    sections.request = ExtractSection(payload, "REQUEST");
    sections.animate = ExtractSection(payload, "ANIMATE");
    return sections;
}

std::string BuildQuestMessage(const QuestSections& sections) {
    std::string payload = Section("NAME", sections.name) + Section("QUEST", sections.quest) +
                          Section("IMAGE", sections.image) + Section("REQUEST", sections.request);
    if (!sections.animate.empty())
        payload += Section("ANIMATE", sections.animate);
    return BuildFrame("QUEST", payload);
}
