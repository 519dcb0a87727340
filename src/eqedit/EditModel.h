#pragma once

#include "eqedit/LineWidths.h"
#include "eqedit/Notation.h"
#include "platform/Canvas.h"

#include <functional>
#include <string>
#include <string_view>

namespace eqedit {

// What the editor is asked to do besides typing a character. The formula field maps its
// keys to these once; the model never sees a key code.
enum class EditCommand {
    Left,
    Right,
    Home,
    End,
    LevelUp,   // the caret moves up one level: into an exponent, out of an index
    LevelDown, // and back
    Greek,     // the next character typed is shown as a Greek letter
    Backspace,
    Delete,
    SelectAll, // the whole formula, drawn highlighted; typed text then replaces it
};

// Whether typing the character inserts it: the printable ASCII range and the letters and
// signs of the Cyrillic code page (0x98 is unassigned there).
bool IsPrintable(char key);

// Where the caret goes and how big it is, in the control's pixels.
struct CaretShape {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The editing model of the formula editor: the formula text, the caret, the part of the
// text that is shown and the keys, characters and clicks that change them. It measures
// through a canvas it is given and keeps, so that its pixel arithmetic is that of the
// font the control draws with. Each glyph is measured once per font; the widths of the
// text's fragments come from prefix sums, so a key costs the same at any length.
//
// Invariant after every operation: VisibleText is the formula text from FirstVisible on,
// cut at its right end to the usable width; CaretX is the width of the text from
// FirstVisible to CaretPos, measured from the level in force at FirstVisible.
class EditModel {
public:
    explicit EditModel(platform::Canvas& measure);

    // The formula text. Setting a different text shows it from its first character and
    // keeps the caret inside it. Returns whether the text changed.
    const std::string& Equation() const { return equation_; }
    bool SetEquation(const std::string& text);

    const platform::Font& Font() const { return font_; }
    void SetFont(const platform::Font& font);
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetSize(int width, int height);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    int CaretWidth() const { return caretWidth_; }
    void SetCaretWidth(int width) { caretWidth_ = width; }

    int CaretPos() const { return caretPos_; }
    int CaretX() const { return caretX_; }
    const std::string& VisibleText() const { return visibleText_; }
    int FirstVisible() const { return firstVisible_; }
    bool PassMarkers() const { return passMarkers_; }
    bool GreekPending() const { return greekPending_; }
    // The whole formula is selected (by SelectAll): a printable character, Backspace or
    // Delete replaces or clears it; any other command drops the selection first.
    bool Selected() const { return selected_; }
    void DropSelection() { selected_ = false; }

    // The longest formula, in bytes, that typing and pasting make; 0 is no limit. A
    // character that would make the formula longer is refused with a beep.
    std::size_t MaxLength() const { return maxLength_; }
    void SetMaxLength(std::size_t length) { maxLength_ = length; }

    // The visible text may not be wider than the usable width; the caret x must stay
    // below the caret limit, else the view scrolls.
    int UsableWidth() const { return width_ - 2 * bevelWidth_; }
    int CaretLimit() const { return width_ - caretWidth_ - 2 * bevelWidth_; }

    // The level in force at `index` of the formula text; `text` is only tested for
    // being empty (an empty fragment is on the baseline).
    State GetFirstCaretState(std::string_view text, int index) const;
    // The width of a fragment drawn from the starting level `level`.
    int EqWidth(std::string_view text, State level) const;

    // Called at the end of every key press, as the toolkit's own key-press operation
    // that raises the control's key-press event. Typed level markers do not reach it.
    void SetKeyPressHandler(std::function<void(char&)> handler) {
        keyPressHandler_ = std::move(handler);
    }

    void Apply(EditCommand command);
    void KeyPress(char key);
    // Inserts a text at the caret as if it were typed, the level markers and the Greek
    // prefix of the notation included; a selected formula is replaced. Stops where the
    // next character would pass the length limit, and returns false then; nothing beeps.
    bool Paste(std::string_view text);
    // Places the caret at the caret position nearest to x (ties go right); a caret that
    // lands at or past the caret limit scrolls the view as a key would.
    void MouseDown(int x);

    // Draws the visible text on a white field of the control's size and returns where
    // the caret goes: sized to the level of the character before it.
    CaretShape Paint(platform::Canvas& bitmap) const;

private:
    // Shared steps of the editing operations.
    void Refill();
    void Trim();
    void PlaceCaret();
    void ScrollLeft();
    void DropFrontUntilCaretFits();
    void BringCaretIntoView();
    void KeepClickedCaretInView();
    void Relayout();
    void ClearView();
    int ViewStart() const { return firstVisible_ - 1; } // the first shown position, from 0
    const LineWidths& Widths() const;
    void TextChanged() { widthsStale_ = true; }

    void Backspace();
    void End();
    void Home();
    void Left();
    void Right();
    void LevelUp();
    void LevelDown();
    void InsertMarker(char marker);
    void Delete();
    void InsertAtCaret(char c);
    // The bytes a typed character adds: its own, and the baseline marker or Greek prefix
    // that go in before it.
    std::size_t BytesTyped(char key) const;
    bool Fits(char key) const;
    void ClearAll();

    std::function<void(char&)> keyPressHandler_;

    platform::Font font_;
    mutable GlyphWidths glyphs_;
    mutable LineWidths widths_; // of equation_, made again once it has changed
    mutable bool widthsStale_ = true;
    int width_ = 300;
    int height_ = 27;
    int bevelWidth_ = 1;
    int caretWidth_ = 2;

    std::string equation_;
    bool passMarkers_ = false;
    bool greekPending_ = false;
    bool selected_ = false;
    std::size_t maxLength_ = 0;
    int caretPos_ = 0;
    int caretX_ = 0;
    std::string visibleText_;
    int firstVisible_ = 1;
};

} // namespace eqedit
