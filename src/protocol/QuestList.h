#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The entries of a QUESTLIST payload: "<STATICA>", "<KINEMATIK>" or "<DINAMIK>" followed
// by the NAME and CAPTION sections of one task.
enum QuestSheet : int { kSheetStatics = 0, kSheetKinematics = 1, kSheetDynamics = 2 };

struct QuestListEntry {
    int sheet = kSheetKinematics;    // the sheet whose counters number and place the link
    bool sheetTagRecognised = false; // false: the link keeps the parent it had
    std::string name;                // sent back in GETQUEST, byte for byte
    std::string caption;
    int number = 0; // 1, 2, ... restarting on every sheet

    // The link's text: "<number>. <caption>", a caption longer than a link can show cut
    // to kMaxShownCaption bytes and ended by "...", so that a server cannot make laying
    // out the links take seconds.
    std::string LinkCaption() const;
    static constexpr std::size_t kMaxShownCaption = 200;
};

// The task list holds at most this many links.
constexpr int kMaxQuestLinks = 1024;

// Reads the entries in order. An entry whose first ">"-ended text is none of the three
// sheet tags stays on the current sheet (Kinematics before any tag). Reading stops after
// kMaxQuestLinks entries, and at a rest that holds no ">". The time taken grows with the
// payload's length, not with its square, whatever the server sends.
std::vector<QuestListEntry> ParseQuestList(std::string payload);
