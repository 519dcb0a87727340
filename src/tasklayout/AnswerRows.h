#pragma once

#include <string>
#include <string_view>
#include <vector>

// The answer rows of the task view: one row per name of the REQUEST section, a name field
// showing " name =" (its formula is written with the submission, protocol/ResultItems.h)
// and an input field for the student's formula.

inline constexpr std::size_t kMaxAnswerRows = 50;

// The names of the REQUEST section, each ended by ";", in order. At most 50 are read; the
// surplus and a rest after the last ";" are ignored.
std::vector<std::string> ReadRequestNames(std::string_view request);

// The text of a fresh input field.
inline constexpr const char* kEmptyAnswerText = "  ";

struct RowPlace {
    int top = 0;
    int nameLeft = 0;
    int answerLeft = 0;
    int answerWidth = 0;
    int readingTop = 0; // the line under the input field that shows how the answer reads
};

// The name fields' width: as wide as the widest label needs (each of labelWidths the width of
// a label's formula with the field's bevel and caret room), and at least kMinNameWidth.
inline constexpr int kMinNameWidth = 60;
int NameColumnWidth(const std::vector<int>& labelWidths);

inline constexpr int kRowsBelowImage = 20;
inline constexpr int kRowLeft = 15;
inline constexpr int kRowGap = 5;

// Places the rows under the picture (imageHeight high) in a pane paneWidth wide: the first
// 20 pixels under it; under each input field its reading line, readingHeight high, and the
// next row 5 pixels under that line; name fields at 15, input fields and their reading
// lines nameWidth + 15 further to the right and paneWidth - nameWidth - 55 wide.
std::vector<RowPlace> LayoutAnswerRows(int paneWidth, int imageHeight, int nameWidth,
                                       const std::vector<int>& answerHeights,
                                       int readingHeight = 0);

// The send button under the last row, centred, and the spacer label 10 pixels under it.
struct SendPlace {
    int left = 0;
    int top = 0;
    int spacerTop = 0;
};
SendPlace PlaceSendButton(int paneWidth, int lastRowBottom, int buttonWidth, int buttonHeight);
