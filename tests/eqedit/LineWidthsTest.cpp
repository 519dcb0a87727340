#include "eqedit/LineWidths.h"
#include "FakeCanvas.h"
#include "eqedit/EditModel.h"
#include "eqedit/FormulaMeasure.h"
#include "platform/Beep.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace eqedit;

namespace {

// Glyphs of many widths: by character, size and face, so that a glyph measured in the
// wrong level or face, or counted twice, shows.
class VariedCanvas : public FakeCanvas {
public:
    int TextWidth(std::string_view text) override {
        int width = 0;
        for (char c : text)
            width += static_cast<unsigned char>(c) % 7 + GetFont().size / 3 +
                     (GetFont().name == "Symbol" ? 4 : 0);
        return width;
    }
};

// Formulas over the characters that matter: letters that change in "Symbol", the three
// level markers and the Greek prefix, runs of them in any order.
std::vector<std::string> Formulas() {
    std::vector<std::string> formulas = {"",       "~",     "~~x",       "~#a", "a~!b@c",
                                         "#~@w*f", "x#2@y", "~f!~w*~q#", "ab~", "!!##@@"};
    std::mt19937 random(7);
    const std::string alphabet = "afqwx1*~~#@!";
    for (int n = 0; n < 40; ++n) {
        std::string text;
        const auto length = random() % 24;
        for (unsigned i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        formulas.push_back(text);
    }
    return formulas;
}

// The width of text[from, to) walked on its own from the level in force at its first
// character, each glyph measured through the canvas: the plain measure.
int PlainWidth(platform::Canvas& canvas, const platform::Font& font, const std::string& text,
               int from, int to) {
    const std::string fragment =
        text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    return EqWidth(canvas, font, fragment, LevelAt(text, from + 1));
}

} // namespace

TEST(LineWidthsTest, EveryFragmentMeasuresAsTheGlyphsWalkedOnTheirOwn) {
    VariedCanvas canvas;
    platform::Font font;
    font.size = 14;
    GlyphWidths glyphs(canvas, font);
    for (const std::string& text : Formulas()) {
        const LineWidths widths(text, glyphs);
        const int length = static_cast<int>(text.size());
        for (int from = 0; from <= length; ++from) {
            for (int to = from; to <= length; ++to)
                ASSERT_EQ(widths.Width(from, to), PlainWidth(canvas, font, text, from, to))
                    << text << " [" << from << ", " << to << ")";
            // What fits a limit: the longest run from `from` no wider than it.
            for (int limit : {-1, 0, 9, 30, 1000}) {
                int fits = length - from;
                while (fits > 0 && PlainWidth(canvas, font, text, from, from + fits) > limit)
                    --fits;
                EXPECT_EQ(widths.FittingCount(from, length - from, limit), fits)
                    << text << " from " << from << " limit " << limit;
            }
        }
        EXPECT_EQ(widths.Width(-3, length + 5), widths.Width(0, length)); // clamped
    }
}

TEST(LineWidthsTest, ANewFontIsMeasuredAfresh) {
    VariedCanvas canvas;
    platform::Font font;
    font.size = 14;
    GlyphWidths glyphs(canvas, font);
    const int before = LineWidths("abc", glyphs).Width(0, 3);
    font.size = 20;
    glyphs.SetFont(font);
    EXPECT_EQ(LineWidths("abc", glyphs).Width(0, 3), EqWidth(canvas, font, "abc", stBaseline));
    EXPECT_GT(LineWidths("abc", glyphs).Width(0, 3), before);
}

// Random editing on glyphs of many widths: after every key and click the view is a part of
// the text that fits and the caret is where the plain measure puts it.
TEST(LineWidthsTest, EditingKeepsTheViewAndTheCaretWhereThePlainMeasurePutsThem) {
    platform::SetBeepHandler([] {});
    VariedCanvas canvas;
    EditModel model(canvas);
    model.SetSize(120, 27);
    std::mt19937 random(11);
    const std::string typed = "afw1*(~";
    const EditCommand commands[] = {
        EditCommand::Left,  EditCommand::Right,     EditCommand::Home,
        EditCommand::End,   EditCommand::LevelUp,   EditCommand::LevelDown,
        EditCommand::Greek, EditCommand::Backspace, EditCommand::Delete};
    for (int step = 0; step < 3000; ++step) {
        const auto choice = random() % 20;
        if (choice < 9)
            model.Apply(commands[choice]);
        else if (choice < 18)
            model.KeyPress(typed[random() % typed.size()]);
        else
            model.MouseDown(static_cast<int>(random() % 130));
        const std::string& text = model.Equation();
        const int start = model.FirstVisible() - 1;
        ASSERT_EQ(text.compare(static_cast<std::size_t>(start), model.VisibleText().size(),
                               model.VisibleText()),
                  0);
        const int shownEnd = start + static_cast<int>(model.VisibleText().size());
        EXPECT_LE(PlainWidth(canvas, model.Font(), text, start, shownEnd), model.UsableWidth());
        EXPECT_EQ(model.CaretX(),
                  PlainWidth(canvas, model.Font(), text, start, std::max(start, model.CaretPos())))
            << text << " step " << step;
        // Typing, Right and End bring the caret into view; a click may leave it at the very
        // end of what is shown.
        const bool typed = choice >= 9 && choice < 18;
        const bool moved = choice < 9 && (commands[choice] == EditCommand::Right ||
                                          commands[choice] == EditCommand::End);
        const bool caretBroughtIntoView = typed || moved;
        if (caretBroughtIntoView) {
            EXPECT_LT(model.CaretX(), model.CaretLimit()) << text << " step " << step;
        }
    }
    platform::SetBeepHandler(nullptr);
}
