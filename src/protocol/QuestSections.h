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
    // Whether the student may ask for the task's solution now: a SOLUTION section holding
    // "1", sent only to a client that named "solutions".
    bool solution = false;
    // How the drawing is asked for, told after the "1" ("1;10;1"): how far in pixels a
    // drawn point may be from the right one, which is also how near to one of the
    // picture's points a tail snaps, and whether magnitudes are judged (then every object
    // offers a field for one). A bare "1" leaves these defaults.
    double drawingReach = 10;
    bool drawingMagnitudes = true;
    // The unit of each answer row, each ended by ";", empty for a row without one
    // ("кН;;м/с;"); absent when no row has a unit. UNITSREQUIRED holding "1": an answer in a
    // row with a unit must give one.
    std::string units = {};
    bool unitsRequired = false;
};

// Reads the payload of a whole QUEST message (everything after its first ">"), taking the
// sections in the order NAME, QUEST, IMAGE, REQUEST, ANIMATE, VARIABLES, DRAWING, SOLUTION, UNITS,
// UNITSREQUIRED.
QuestSections ReadQuestSections(std::string_view message);

// The QUEST message that carries the sections; VARIABLES goes when it has names or the
// names are declared; DRAWING when the task asks for a drawn answer, with its reach and
// whether magnitudes are judged; SOLUTION when its solution may be asked for; UNITS when a
// row has a unit, and UNITSREQUIRED with it when units are required.
std::string BuildQuestMessage(const QuestSections& sections);
