#include "eqedit/EditModel.h"

#include "platform/Beep.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace eqedit {

namespace {

// How far the view jumps when the caret leaves it.
constexpr int kScrollStep = 5;

platform::Font DefaultFont() {
    platform::Font font;
    font.size = 14;
    return font;
}

} // namespace

bool IsPrintable(char key) {
    const auto code = static_cast<unsigned char>(key);
    return code >= 0x20 && code != 0x7F && code != 0x98;
}

EditModel::EditModel(platform::Canvas& measure) : font_(DefaultFont()), glyphs_(measure, font_) {}

bool EditModel::SetEquation(const std::string& text) {
    selected_ = false;
    if (text == equation_)
        return false;
    equation_ = text;
    TextChanged();
    caretPos_ = std::min(caretPos_, static_cast<int>(equation_.size()));
    firstVisible_ = 1;
    Relayout();
    return true;
}

void EditModel::SetFont(const platform::Font& font) {
    font_ = font;
    glyphs_.SetFont(font);
    TextChanged();
    Relayout();
}

void EditModel::SetSize(int width, int height) {
    width_ = width;
    height_ = height;
    Relayout();
}

void EditModel::SetBevelWidth(int width) {
    bevelWidth_ = width;
    Relayout();
}

State EditModel::GetFirstCaretState(std::string_view text, int index) const {
    if (text.empty())
        return stBaseline;
    return LevelAt(equation_, index);
}

int EditModel::EqWidth(std::string_view text, State level) const {
    FragmentWalk walk(level);
    int width = 0;
    for (char c : text)
        width += glyphs_.Of(walk.Next(c));
    return width;
}

// ---- shared steps ----

// Fragments of the view are measured from the view's first character, at the level in
// force there.
const LineWidths& EditModel::Widths() const {
    if (widthsStale_) {
        widths_ = LineWidths(equation_, glyphs_);
        widthsStale_ = false;
    }
    return widths_;
}

void EditModel::Refill() {
    const auto start = static_cast<std::size_t>(ViewStart());
    visibleText_ = start < equation_.size() ? equation_.substr(start) : std::string();
}

// Cuts the view at its right end to the longest part that fits the usable width.
void EditModel::Trim() {
    visibleText_.resize(static_cast<std::size_t>(
        Widths().FittingCount(ViewStart(), static_cast<int>(visibleText_.size()), UsableWidth())));
}

void EditModel::PlaceCaret() {
    caretX_ = Widths().Width(ViewStart(), caretPos_);
}

void EditModel::ScrollLeft() {
    if (caretPos_ < firstVisible_ - 1)
        firstVisible_ = std::max(1, firstVisible_ - kScrollStep);
}

// Drops characters off the front of the view until the caret is left of the caret limit.
void EditModel::DropFrontUntilCaretFits() {
    while (ViewStart() < caretPos_ && Widths().Width(ViewStart(), caretPos_) >= CaretLimit())
        ++firstVisible_;
}

// Scrolls the caret left of the caret limit; the view then ends at the caret.
void EditModel::BringCaretIntoView() {
    DropFrontUntilCaretFits();
    const int start = ViewStart();
    visibleText_ = start < caretPos_ ? equation_.substr(static_cast<std::size_t>(start),
                                                        static_cast<std::size_t>(caretPos_ - start))
                                     : std::string();
    PlaceCaret();
}

void EditModel::Relayout() {
    Refill();
    Trim();
    PlaceCaret();
}

void EditModel::ClearView() {
    visibleText_.clear();
    caretX_ = 0;
    firstVisible_ = 1;
}

// ---- keys ----

void EditModel::Apply(EditCommand command) {
    if (selected_) {
        selected_ = false;
        if (command == EditCommand::Backspace || command == EditCommand::Delete) {
            ClearAll();
            return;
        }
    }
    switch (command) {
    case EditCommand::Backspace:
        Backspace();
        break;
    case EditCommand::End:
        End();
        break;
    case EditCommand::Home:
        Home();
        break;
    case EditCommand::Left:
        Left();
        break;
    case EditCommand::LevelUp:
        LevelUp();
        break;
    case EditCommand::Right:
        Right();
        break;
    case EditCommand::LevelDown:
        LevelDown();
        break;
    case EditCommand::Delete:
        Delete();
        break;
    case EditCommand::Greek:
        greekPending_ = true;
        break;
    case EditCommand::SelectAll:
        selected_ = !equation_.empty();
        break;
    }
}

void EditModel::ClearAll() {
    equation_.clear();
    TextChanged();
    caretPos_ = 0;
    ClearView();
}

void EditModel::Backspace() {
    if (caretPos_ == 0) {
        platform::Beep();
        return;
    }
    equation_.erase(static_cast<std::size_t>(--caretPos_), 1);
    if (caretPos_ > 0 && equation_[static_cast<std::size_t>(caretPos_ - 1)] == kGreekPrefix)
        equation_.erase(static_cast<std::size_t>(--caretPos_), 1);
    TextChanged();
    if (equation_.empty()) {
        ClearView();
        return;
    }
    ScrollLeft();
    Refill();
    PlaceCaret();
    Trim();
}

void EditModel::End() {
    const int length = static_cast<int>(equation_.size());
    if (caretPos_ == length) {
        platform::Beep();
        return;
    }
    caretPos_ = length;
    BringCaretIntoView();
    Trim();
}

void EditModel::Home() {
    if (caretPos_ == 0) {
        platform::Beep();
        return;
    }
    caretX_ = 0;
    caretPos_ = 0;
    firstVisible_ = 1;
    visibleText_ = equation_;
    Trim();
}

void EditModel::Left() {
    if (caretPos_ == 0) {
        platform::Beep();
        return;
    }
    --caretPos_;
    if (caretPos_ > 0 && equation_[static_cast<std::size_t>(caretPos_ - 1)] == kGreekPrefix)
        --caretPos_;
    if (caretPos_ < firstVisible_ - 1) {
        ScrollLeft();
        Refill();
        Trim();
    }
    PlaceCaret();
}

void EditModel::Right() {
    const int length = static_cast<int>(equation_.size());
    if (caretPos_ == length) {
        platform::Beep();
        return;
    }
    ++caretPos_;
    if (equation_[static_cast<std::size_t>(caretPos_ - 1)] == kGreekPrefix && caretPos_ < length)
        ++caretPos_;
    PlaceCaret();
    if (caretX_ < CaretLimit())
        return;
    // Scroll right, but never past the character just before the caret, so that the
    // caret stays inside the view even in a field narrower than the scroll step.
    firstVisible_ = std::min({firstVisible_ + kScrollStep, length, caretPos_});
    Refill();
    Trim();
    PlaceCaret();
}

void EditModel::InsertMarker(char marker) {
    passMarkers_ = true;
    KeyPress(marker);
}

void EditModel::LevelUp() {
    switch (GetFirstCaretState(equation_, caretPos_)) {
    case stBaseline:
        InsertMarker(kSuperscriptMarker);
        break;
    case stSubscript:
        InsertMarker(kBaselineMarker);
        break;
    case stSuperscript:
        break;
    }
}

void EditModel::LevelDown() {
    switch (GetFirstCaretState(equation_, caretPos_)) {
    case stSuperscript:
        InsertMarker(kBaselineMarker);
        break;
    case stBaseline:
        InsertMarker(kSubscriptMarker);
        break;
    case stSubscript:
        break;
    }
    passMarkers_ = true;
}

void EditModel::Delete() {
    const auto length = equation_.size();
    const auto at = static_cast<std::size_t>(caretPos_);
    if (at == length) {
        platform::Beep();
        return;
    }
    const bool greekLetter = equation_[at] == kGreekPrefix && at + 1 < length;
    equation_.erase(at, greekLetter ? 2 : 1);
    TextChanged();
    if (equation_.empty()) {
        ClearView();
        return;
    }
    Refill();
    Trim();
    PlaceCaret();
}

// ---- characters ----

void EditModel::InsertAtCaret(char c) {
    equation_.insert(static_cast<std::size_t>(caretPos_), 1, c);
    TextChanged();
    ++caretPos_;
}

std::size_t EditModel::BytesTyped(char key) const {
    std::size_t bytes = 1;
    if (!IsLevelMarker(key) && !SubscriptHolds(key) &&
        GetFirstCaretState(equation_, caretPos_) == stSubscript)
        ++bytes;
    if (greekPending_)
        ++bytes;
    return bytes;
}

bool EditModel::Fits(char key) const {
    return maxLength_ == 0 || equation_.size() + BytesTyped(key) <= maxLength_;
}

void EditModel::KeyPress(char key) {
    if (passMarkers_)
        passMarkers_ = false;
    else if (IsLevelMarker(key))
        return;
    if (IsPrintable(key) && selected_) {
        selected_ = false;
        ClearAll();
    }
    if (IsPrintable(key) && !Fits(key)) {
        platform::Beep();
        return;
    }
    if (IsPrintable(key)) {
        // A character typed in a subscript that the subscript cannot hold goes in on the
        // baseline, so that the field draws the formula as it is read: "v_C*2" is v_C
        // times 2, and the field shows "*2" at full size.
        if (!IsLevelMarker(key) && !SubscriptHolds(key) &&
            GetFirstCaretState(equation_, caretPos_) == stSubscript)
            InsertAtCaret(kBaselineMarker);
        if (greekPending_) {
            greekPending_ = false;
            InsertAtCaret(kGreekPrefix);
        }
        InsertAtCaret(key);
        Refill();
        PlaceCaret();
        if (caretX_ >= CaretLimit())
            BringCaretIntoView();
        Trim();
    }
    if (keyPressHandler_)
        keyPressHandler_(key);
}

bool EditModel::Paste(std::string_view text) {
    if (selected_) {
        selected_ = false;
        ClearAll();
    }
    for (char c : text) {
        if (!IsPrintable(c))
            continue;
        if (!Fits(c)) {
            passMarkers_ = false;
            return false;
        }
        // The notation's markers go in as Up and Down put them.
        passMarkers_ = IsLevelMarker(c);
        KeyPress(c);
    }
    passMarkers_ = false;
    return true;
}

// ---- mouse ----

void EditModel::MouseDown(int x) {
    selected_ = false;
    if (visibleText_.empty())
        return;
    // widths[k]: the width of the first k visible characters.
    const int shown = static_cast<int>(visibleText_.size());
    std::vector<int> widths;
    for (int k = 0; k <= shown; ++k)
        widths.push_back(Widths().Width(ViewStart(), ViewStart() + k));
    if (widths.back() <= x) {
        caretPos_ = firstVisible_ + shown - 1;
        caretX_ = widths.back();
        KeepClickedCaretInView();
        return;
    }
    const auto under = std::upper_bound(widths.begin() + 1, widths.end(), x);
    const int j = static_cast<int>(under - widths.begin());
    const int left = widths[static_cast<std::size_t>(j - 1)];
    const int right = widths[static_cast<std::size_t>(j)];
    if (std::abs(left - x) < std::abs(right - x)) {
        caretPos_ = firstVisible_ + j - 2;
        caretX_ = left;
    } else {
        caretPos_ = firstVisible_ + j - 1;
        caretX_ = right;
    }
    KeepClickedCaretInView();
}

// The visible text may reach past the caret limit (it is cut to the wider usable width), so
// a click on its last character can put the caret there: the view then scrolls as it does
// for a key, and still shows what follows the caret.
void EditModel::KeepClickedCaretInView() {
    if (caretX_ < CaretLimit())
        return;
    DropFrontUntilCaretFits();
    Relayout();
}

} // namespace eqedit
