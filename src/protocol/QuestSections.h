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
    // Whether the message carries a VARIABLES section, empty or not. A server that declares
    // the names an answer may use sends the section even when there are none, so that the
    // client can tell "no names" from "names not told" (an older server).
    bool namesDeclared = false;
    // Whether the task asks for a drawn answer as well: a DRAWING section holding "1", sent
    // only to a client that named "drawing" in its FEATURES. What a right drawing holds is
    // never sent.
    bool drawing = false;
    // The unit of each answer row, each ended by ";", empty for a row without one
    // ("кН;;м/с;"); absent when no row has a unit. UNITSREQUIRED holding "1": an answer in a
    // row with a unit must give one.
    std::string units = {};
    bool unitsRequired = false;
};

// Reads the payload of a whole QUEST message (everything after its first ">"), taking the
// sections in the order NAME, QUEST, IMAGE, REQUEST, ANIMATE, VARIABLES, DRAWING, UNITS,
// UNITSREQUIRED.
QuestSections ReadQuestSections(std::string_view message);

// The QUEST message that carries the sections; VARIABLES goes when it has names or the
// names are declared; DRAWING when the task asks for a drawn answer; UNITS when a row has a
// unit, and UNITSREQUIRED with it when units are required.
std::string BuildQuestMessage(const QuestSections& sections);
