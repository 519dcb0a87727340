#pragma once

#include "diagram/DiagramDocument.h"
#include "platform/Result.h"

#include <string>

// The task's diagram in the task view: a framed box drawn from the IMAGE section, placed
// centred under the statement.

// Each side of the box lies in 1..kMaxQuestImageSide whatever the header asks, so that no
// task can make the client allocate without bound.
inline constexpr int kMaxQuestImageSide = 4000;

struct QuestImageHeader {
    diagram::DiagramSize size; // as the header says, or 300 x 160 when it cannot be read
    std::string error;         // the header's conversion message, empty when it was read
    bool sizeClamped = false;  // a side outside 1..kMaxQuestImageSide was brought inside
};

// Reads the optional HEIGHT(h); and WIDTH(w); off the front of the script. A value that is
// not an integer leaves the default size and its message; the script keeps what follows.
QuestImageHeader ReadQuestImageHeader(std::string& script);

// Frames the box of `size` on the canvas (window colour, FrameColor field, black frame),
// attaches the context and draws the statements. Returns the failure of the statement that
// failed, which ends the drawing.
platform::Status DrawQuestImage(diagram::DrawingContext& context, platform::Canvas& canvas,
                                diagram::DiagramSize size, std::string_view statements,
                                platform::Color windowColor);

// Where the diagram goes on the picture: its top-left corner and the picture's new height.
struct QuestImagePlace {
    int x = 0;
    int y = 0;
    int pictureHeight = 0;
};

// The diagram sits right under the statement (whose picture is textHeight high), centred
// in a picture imageWidth wide, each half truncated.
QuestImagePlace PlaceQuestImage(int imageWidth, int textHeight, diagram::DiagramSize size);
