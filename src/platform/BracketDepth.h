#pragma once

#include <string_view>

namespace platform {

// The bracket depth of a text read from left to right: "(" goes one level down, ")" one
// level up. A closing bracket without its opening one takes the depth below zero; the
// readers decide what that means.
class BracketDepth {
public:
    // Takes the next character; true when it was a bracket.
    bool Step(char c) {
        if (c == '(') {
            if (++depth_ > deepest_)
                deepest_ = depth_;
            return true;
        }
        if (c == ')') {
            --depth_;
            return true;
        }
        return false;
    }
    // Starts again at depth zero.
    void Reset() { *this = BracketDepth{}; }

    // Opening brackets read minus closing ones.
    long Depth() const { return depth_; }
    bool Outside() const { return depth_ == 0; }
    // The deepest level reached.
    long Deepest() const { return deepest_; }

private:
    long depth_ = 0;
    long deepest_ = 0;
};

// Opening brackets minus closing brackets in the text.
inline long BracketBalance(std::string_view text) {
    BracketDepth depth;
    for (char c : text)
        depth.Step(c);
    return depth.Depth();
}

// How deep brackets nest in the text.
inline long DeepestBracket(std::string_view text) {
    BracketDepth depth;
    for (char c : text)
        depth.Step(c);
    return depth.Deepest();
}

} // namespace platform
