// The statement's markup walk and word wrap, measured with a fixed-width fake: every byte
// is 8 pixels wide and every piece 16 high (symbol runs too), so that lines are exact.

#include "tasklayout/QuestTextLayout.h"

#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Visible(std::string_view line) {
    std::vector<std::string> shown;
    for (const MarkedPiece& piece : SplitMarkedLine(line))
        if (!piece.text.empty())
            shown.push_back((piece.symbol ? "S:" : "") + std::string(piece.text));
    return shown;
}

std::vector<std::string> Lines(std::string_view quest, int imageWidth) {
    platform::RecordingCanvas canvas;
    std::vector<std::string> lines;
    for (const QuestLine& line : LayoutQuestText(quest, imageWidth, canvas).lines)
        lines.push_back(line.text);
    return lines;
}

using Strings = std::vector<std::string>;

} // namespace

TEST(QuestTextTest, MarkupShowsSymbolRunsHidesOtherTagsAndAlwaysEnds) {
    const struct {
        const char* line;
        Strings shown;
    } cases[] = {
        {"plain text", {"plain text"}},  {"x <sym>p</sym> y", {"x ", "S:p", " y"}},
        {"a<b>hidden</b>c", {"a", "c"}}, {"a<sym>bc", {"a", "bc"}}, // no "</": the run is empty
        {"a<i>bc", {"a", "bc"}},        // a tag without "</" is removed alone
        {"a < b", {"a ", "< b"}},       // no ">" or "</" after "<": plain text
        {"<sym>w</sym><sym>", {"S:w"}}, // a last tag without "</" shows nothing
        {"a<<sym>q</sym>", {"a"}},      // "<<sym>" is another tag: hidden
    };
    for (const auto& c : cases)
        EXPECT_EQ(Visible(c.line), c.shown) << c.line;
}

TEST(QuestTextTest, ASymbolRunIsBlueOnePointLargerAndTwoPixelsHigher) {
    platform::RecordingCanvas canvas;
    EXPECT_EQ(MeasureMarkedLine(canvas, "ab <sym>p</sym> cd").width, 8 * 7);
    EXPECT_EQ(MeasureMarkedLine(canvas, "a<x>hidden</x>").width, 8);
    DrawMarkedLine(canvas, "ab <sym>p</sym> cd", 30, 50);
    const auto& calls = canvas.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].x1, 30);
    EXPECT_EQ(calls[0].y1, 50);
    EXPECT_EQ(calls[0].font, QuestBaseFont());
    EXPECT_EQ(calls[1].text, "p");
    EXPECT_EQ(calls[1].x1, 30 + 8 * 3);
    EXPECT_EQ(calls[1].y1, 48);
    EXPECT_EQ(calls[1].font.name, "Symbol");
    EXPECT_EQ(calls[1].font.size, 11);
    EXPECT_EQ(calls[1].font.color, platform::Rgb(0, 0, 255));
    EXPECT_EQ(calls[2].x1, 30 + 8 * 4);
    EXPECT_EQ(calls[2].font, QuestBaseFont());
}

// A picture 180 wide gives lines shorter than 180 - 60 - 30 = 90 pixels: 11 bytes.
TEST(QuestTextTest, TheWrapBreaksAfterSpacesAndFollowsTheMarks) {
    const struct {
        const char* quest;
        Strings lines;
    } cases[] = {
        {"aaaa bbbb cccc dd", {"aaaa bbbb ", "cccc dd "}},
        {"aaa |bbb", {"aaa ", "bbb "}},         // forced break after a space
        {"aaa bb|bb cc", {"aaa ", "bbbb cc "}}, // "|" inside a word joins it
        {"aaa |", {"aaa ", " "}},               // a last "|" adds an empty line
        {"aaa ||bb", {"aaa ", "bb "}},          // a mark at a fresh line's start only disappears
        {"ab|cd", {"abcd "}},                   // ... as does one inside the line's first word
        {"aaaa bbbbbbbbbbbbbb c", {"aaaa ", "b", "b", "b", "b", "bbbbbbbbbb c "}},
        // The last word stays past the limit while the line shows whole in the picture
        // (30 + 8 * 18 = 174 of 180 pixels); a line that would be cut off wraps.
        {"aaaa bbbbbbbbbbbbb", {"aaaa bbbbbbbbbbbbb "}},
        {"aaaa bbbbbbbbbbbbbbbbbb", {"aaaa ", "bbbbbbbbbbbbbbbbbb "}},
        {"bbbbbbbbbbbbbbbbbbbb", {"b", "b", "bbbbbbbbbbbbbbbbbb "}},
        // A space inside a symbol run lets the line end there.
        {"a<sym>b c</sym>ddddddd eee", {"a<sym>b ", "c</sym>ddddddd eee "}},
        // Hidden tag contents take no width.
        {"a <x>hiddenwordshere</x>b c", {"a <x>hiddenwordshere</x>b c "}},
        {"", {" "}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lines(c.quest, 180), c.lines) << c.quest;
}

// The last line may reach the picture's right edge exactly; one pixel more and it wraps.
TEST(QuestTextTest, TheLastLineReachesThePicturesRightEdgeButNeverPassesIt) {
    EXPECT_EQ(Lines("aaaa bbbbbbbbbbbbbb", 182), Strings{"aaaa bbbbbbbbbbbbbb "});
    EXPECT_EQ(Lines("aaaa bbbbbbbbbbbbbb", 181), (Strings{"aaaa ", "bbbbbbbbbbbbbb "}));
}

TEST(QuestTextTest, LinesStackByTheirOwnHeightsAndTheLayoutIsBounded) {
    platform::RecordingCanvas canvas;
    const QuestTextLayout layout = LayoutQuestText("a|b", 600, canvas);
    ASSERT_EQ(layout.lines.size(), 1u); // "|" in the first word joins it
    const QuestTextLayout two = LayoutQuestText("a |b", 600, canvas);
    ASSERT_EQ(two.lines.size(), 2u);
    EXPECT_EQ(two.lines[0].top, 30 + 16);
    EXPECT_EQ(two.lines[1].top, 30 + 32);
    EXPECT_EQ(two.height, 30 + 32 + 40);

    std::string words;
    for (int k = 0; k < 20000; ++k)
        words += "ww ";
    const QuestTextLayout huge = LayoutQuestText(words, 100, canvas);
    EXPECT_EQ(huge.lines.size(), kMaxQuestLines);
}

namespace {

// The wrap written plainly: every possible end of a line measured in turn, up to the first
// too wide. The layout must break every text as it does.
std::vector<std::string> LinesMeasuringEveryEnd(std::string text, int imageWidth,
                                                const MarkedLineMeasure& measure) {
    std::vector<std::string> lines;
    text += ' ';
    const int limit = imageWidth - 60;
    while (!text.empty()) {
        std::size_t i = 0, breakAt = 0, length = 0;
        bool accepted = false;
        for (;;) {
            while (i < text.size() && text[i] != ' ' && text[i] != '|')
                ++i;
            if (text[i] == '|') {
                text.erase(i, 1);
                if (!accepted)
                    continue;
                length = breakAt;
                break;
            }
            const bool last = i + 1 >= text.size();
            if (!last && measure(std::string_view(text).substr(0, i + 1)).width + 30 < limit) {
                breakAt = ++i;
                accepted = true;
                continue;
            }
            // The last word stays on the line while the line shows whole.
            const bool shows =
                i == 0 || 30 + measure(std::string_view(text).substr(0, i)).width <= imageWidth;
            length = last && shows ? text.size() : accepted ? breakAt : 1;
            break;
        }
        lines.push_back(text.substr(0, length));
        text.erase(0, length);
    }
    return lines;
}

// A measure with kerning: bytes 4 to 10 pixels wide, symbol runs wider, and some pairs of
// neighbours 2 pixels closer, so that no line is the sum of its words.
LineExtent KernedWidth(std::string_view line) {
    LineExtent extent{0, 16};
    for (const MarkedPiece& piece : SplitMarkedLine(line)) {
        for (std::size_t i = 0; i < piece.text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(piece.text[i]);
            extent.width += 4 + byte % 7 + (piece.symbol ? 3 : 0);
            if (i > 0 && (piece.text[i - 1] + byte) % 3 == 0)
                extent.width -= 2;
        }
    }
    return extent;
}

} // namespace

// Only the ends near the limit are measured; every text, markup and marks included, still
// breaks where measuring every end breaks it.
TEST(QuestTextTest, TheWrapMeasuresFewEndsAndBreaksAsMeasuringEveryEndDoes) {
    const char* const parts[] = {"a", "bb", "AV",       "wide",   "Wonderful", " ",    " ",
                                 " ", "|",  "<sym>",    "</sym>", "<x>",       "</x>", "<",
                                 ">", "To", "\xEF\xF0", "qq q",   "\xC0"};
    unsigned seed = 7;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int count = static_cast<int>(next() % 60);
        for (int i = 0; i < count; ++i)
            text += parts[next() % std::size(parts)];
        const int width = 60 + static_cast<int>(next() % 300);
        std::vector<std::string> lines;
        for (const QuestLine& line : LayoutQuestText(text, width, KernedWidth).lines)
            lines.push_back(line.text);
        EXPECT_EQ(lines, LinesMeasuringEveryEnd(text, width, KernedWidth))
            << "'" << text << "' at " << width;
    }

    // A long plain statement: a few measures a line, however many words a line holds.
    std::string words;
    for (int k = 0; k < 300; ++k)
        words += k % 5 == 0 ? "longer " : "aa ";
    int measured = 0;
    const QuestTextLayout layout = LayoutQuestText(words, 600, [&](std::string_view line) {
        ++measured;
        return KernedWidth(line);
    });
    EXPECT_EQ(layout.lines.size(), LinesMeasuringEveryEnd(words, 600, KernedWidth).size());
    EXPECT_LE(measured, 4 * static_cast<int>(layout.lines.size()));
}
