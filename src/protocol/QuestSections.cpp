#include "protocol/QuestSections.h"

#include "protocol/Frames.h"
#include "protocol/Sections.h"

QuestSections ReadQuestSections(std::string_view message) {
    std::string payload = ReadPayload(message);
    QuestSections sections;
    sections.name = ExtractSection(payload, "NAME");
    sections.quest = ExtractSection(payload, "QUEST");
    sections.image = ExtractSection(payload, "IMAGE");
    sections.request = ExtractSection(payload, "REQUEST");
    sections.animate = ExtractSection(payload, "ANIMATE");
    sections.namesDeclared = payload.find("<VARIABLES>") != std::string::npos &&
                             payload.find("</VARIABLES>") != std::string::npos;
    sections.variables = ExtractSection(payload, "VARIABLES");
    sections.drawing = ExtractSection(payload, "DRAWING") == "1";
    sections.units = ExtractSection(payload, "UNITS");
    sections.unitsRequired = ExtractSection(payload, "UNITSREQUIRED") == "1";
    return sections;
}

std::string BuildQuestMessage(const QuestSections& sections) {
    std::string payload =
        WriteSection("NAME", sections.name) + WriteSection("QUEST", sections.quest) +
        WriteSection("IMAGE", sections.image) + WriteSection("REQUEST", sections.request);
    if (!sections.animate.empty())
        payload += WriteSection("ANIMATE", sections.animate);
    // The names a symbolic answer may use, so that the client can read answers as the
    // server will; a client that does not know the section passes it by.
    if (sections.namesDeclared || !sections.variables.empty())
        payload += WriteSection("VARIABLES", sections.variables);
    if (sections.drawing)
        payload += WriteSection("DRAWING", "1");
    // Each row's unit, so that the client reads a unit only where the server will and shows
    // the unit a bare number is taken in; a client that does not know the sections passes
    // them by.
    if (sections.units.find_first_not_of(';') != std::string::npos) {
        payload += WriteSection("UNITS", sections.units);
        if (sections.unitsRequired)
            payload += WriteSection("UNITSREQUIRED", "1");
    }
    return BuildFrame("QUEST", payload);
}
