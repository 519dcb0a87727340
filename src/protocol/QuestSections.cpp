#include "protocol/QuestSections.h"

#include "protocol/Frames.h"
#include "protocol/Sections.h"

#include <charconv>
#include <cmath>

namespace {

constexpr double kMaxDrawingReach = 1000;

// The DRAWING section: "1", then optionally the reach in pixels and "1" or "0" for judged
// magnitudes, separated by ";". What cannot be read keeps its default.
void ReadDrawingSection(std::string_view text, QuestSections& sections) {
    std::string_view fields[3];
    std::size_t count = 0;
    for (std::size_t start = 0; count < 3;) {
        const std::size_t end = text.find(';', start);
        fields[count++] = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    sections.drawing = count > 0 && fields[0] == "1";
    if (!sections.drawing)
        return;
    double reach = 0;
    const std::string_view r = fields[1];
    const auto [stop, error] = std::from_chars(r.data(), r.data() + r.size(), reach);
    if (count > 1 && error == std::errc() && stop == r.data() + r.size() && std::isfinite(reach) &&
        reach > 0 && reach <= kMaxDrawingReach)
        sections.drawingReach = reach;
    if (count > 2 && (fields[2] == "0" || fields[2] == "1"))
        sections.drawingMagnitudes = fields[2] == "1";
}

std::string DrawingSectionText(const QuestSections& sections) {
    char reach[32];
    const auto [end, error] = std::to_chars(reach, reach + sizeof reach, sections.drawingReach);
    return "1;" + (error == std::errc() ? std::string(reach, end) : std::string("10")) + ";" +
           (sections.drawingMagnitudes ? "1" : "0");
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
    sections.namesDeclared = payload.find("<VARIABLES>") != std::string::npos &&
                             payload.find("</VARIABLES>") != std::string::npos;
    sections.variables = ExtractSection(payload, "VARIABLES");
    ReadDrawingSection(ExtractSection(payload, "DRAWING"), sections);
    sections.solution = ExtractSection(payload, "SOLUTION") == "1";
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
        payload += WriteSection("DRAWING", DrawingSectionText(sections));
    if (sections.solution)
        payload += WriteSection("SOLUTION", "1");
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
