#pragma once

#include <string>
#include <string_view>

// The sections of a task as the QUEST message carries them, each empty when missing.
struct QuestSections {
    std::string name;
    std::string quest;
    std::string image;
    std::string request;
    std::string animate;
    std::string variables; // the names a symbolic answer may use, ";"-ended; may be absent
};

// Reads the payload of a whole QUEST message (everything after its first ">"), taking the
// sections in the order NAME, QUEST, IMAGE, REQUEST, ANIMATE.
QuestSections ReadQuestSections(std::string_view message);

// The QUEST message that carries the sections (for tools that show a task file).
std::string BuildQuestMessage(const QuestSections& sections);
