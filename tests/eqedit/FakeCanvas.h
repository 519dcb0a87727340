#pragma once

#include "platform/Canvas.h"

#include <string>
#include <string_view>
#include <vector>

// A canvas with a fixed-width measure, so that the editor's pixel arithmetic is exact:
// every character is half the point size wide and a line is one and a half times the
// point size high (14 points: 7 by 21; 10 points: 5 by 15). It records the text drawn.
class FakeCanvas : public platform::Canvas {
public:
    struct Text {
        int x;
        int y;
        std::string text;
        platform::Font font;
    };

    static int CharWidth(int points) { return points / 2; }
    static int LineHeight(int points) { return points * 3 / 2; }

    void LineTo(int x, int y) override { SetPenPosition(x, y); }
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void FillRect(int x1, int y1, int x2, int y2) override { fills.push_back({x1, y1, x2, y2}); }
    void TextOut(int x, int y, std::string_view text) override {
        texts.push_back({x, y, std::string(text), GetFont()});
    }
    int TextWidth(std::string_view text) override {
        return static_cast<int>(text.size()) * CharWidth(GetFont().size);
    }
    int TextHeight(std::string_view) override { return LineHeight(GetFont().size); }

    struct Box {
        int x1, y1, x2, y2;
    };
    std::vector<Box> fills;
    std::vector<Text> texts;
};
