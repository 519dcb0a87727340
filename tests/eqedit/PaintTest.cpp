#include "FakeCanvas.h"
#include "eqedit/EditModel.h"

#include <gtest/gtest.h>

#include <string>

using namespace eqedit;

namespace {

// Painting with the fixed-width measure: 14 points are 7 by 21 pixels, the small levels
// (10 points) 5 by 15, so a subscript glyph goes 6 pixels down.
class PaintTest : public ::testing::Test {
protected:
    PaintTest() : model(measure) {}

    CaretShape PaintWithCaretAt(const std::string& text, int caretPos) {
        model.SetEquation(text);
        model.Apply(EditCommand::Home);
        for (int i = 0; i < caretPos; ++i)
            model.Apply(EditCommand::Right);
        bitmap.texts.clear();
        return model.Paint(bitmap);
    }

    FakeCanvas measure;
    FakeCanvas bitmap;
    EditModel model;
};

} // namespace

TEST_F(PaintTest, EmptyFormulaPaintsAWhiteFieldAndAFullHeightCaret) {
    const CaretShape caret = model.Paint(bitmap);
    ASSERT_EQ(bitmap.fills.size(), 1u);
    EXPECT_EQ(bitmap.fills[0].x2, 300);
    EXPECT_EQ(bitmap.fills[0].y2, 27);
    EXPECT_EQ(bitmap.BrushColor(), platform::kWhite);
    EXPECT_TRUE(bitmap.texts.empty());
    EXPECT_EQ(caret.x, 0);
    EXPECT_EQ(caret.y, 0);
    EXPECT_EQ(caret.width, 2);
    EXPECT_EQ(caret.height, 21);
}

TEST_F(PaintTest, LevelsSetSizeAndVerticalPlace) {
    PaintWithCaretAt("a#2@b!3", 0);
    ASSERT_EQ(bitmap.texts.size(), 4u);
    const auto& t = bitmap.texts;
    EXPECT_EQ(t[0].text, "a");
    EXPECT_EQ(t[0].font.size, 14);
    EXPECT_EQ(t[0].y, 0);
    EXPECT_EQ(t[1].text, "2");
    EXPECT_EQ(t[1].font.size, 10);
    EXPECT_EQ(t[1].x, 7);
    EXPECT_EQ(t[1].y, 0); // top-aligned
    EXPECT_EQ(t[2].text, "b");
    EXPECT_EQ(t[2].x, 12);
    EXPECT_EQ(t[2].font.size, 14);
    EXPECT_EQ(t[3].text, "3");
    EXPECT_EQ(t[3].x, 19);
    EXPECT_EQ(t[3].font.size, 10);
    EXPECT_EQ(t[3].y, 21 - 15); // bottom on the bottom of a baseline glyph
}

TEST_F(PaintTest, GreekLettersAreDrawnInSymbolAtTheSizeOfTheirLevel) {
    PaintWithCaretAt("~f!~w*", 0);
    ASSERT_EQ(bitmap.texts.size(), 3u);
    EXPECT_EQ(bitmap.texts[0].text, "j");
    EXPECT_EQ(bitmap.texts[0].font.name, "Symbol");
    EXPECT_EQ(bitmap.texts[1].text, "w");
    EXPECT_EQ(bitmap.texts[1].font.name, "Symbol");
    EXPECT_EQ(bitmap.texts[1].font.size, 10);
    EXPECT_EQ(bitmap.texts[1].y, 6);
    // The font name goes back after a Greek letter.
    EXPECT_EQ(bitmap.texts[2].font.name, "MS Sans Serif");
}

TEST_F(PaintTest, OnlyABaselineAsteriskIsLowered) {
    PaintWithCaretAt("2*3#*@~*!*", 0);
    ASSERT_EQ(bitmap.texts.size(), 6u);
    EXPECT_EQ(bitmap.texts[1].text, "*");
    EXPECT_EQ(bitmap.texts[1].y, 21 / 4);
    EXPECT_EQ(bitmap.texts[3].y, 0); // superscript
    EXPECT_EQ(bitmap.texts[4].y, 0); // Greek
    EXPECT_EQ(bitmap.texts[5].y, 6); // subscript: its own place, not lowered
}

TEST_F(PaintTest, CaretTakesTheLevelOfTheCharacterBeforeIt) {
    CaretShape caret = PaintWithCaretAt("a#2", 3);
    EXPECT_EQ(caret.x, 12);
    EXPECT_EQ(caret.y, 0);
    EXPECT_EQ(caret.height, 15);
    caret = PaintWithCaretAt("a!2", 3);
    EXPECT_EQ(caret.y, 6);
    EXPECT_EQ(caret.height, 15);
    caret = PaintWithCaretAt("a!2@b", 5);
    EXPECT_EQ(caret.y, 0);
    EXPECT_EQ(caret.height, 21);
    // After a marker at the end the caret already has the size of the new level.
    model.SetEquation("x");
    model.Apply(EditCommand::End);
    model.Apply(EditCommand::LevelUp);
    caret = model.Paint(bitmap);
    EXPECT_EQ(model.Equation(), "x#");
    EXPECT_EQ(caret.x, 7);
    EXPECT_EQ(caret.height, 15);
    // At the start of the view the caret has the full height.
    caret = PaintWithCaretAt("!2", 0);
    EXPECT_EQ(caret.height, 21);
}

TEST_F(PaintTest, ScrolledViewStartsAtTheLevelOfItsFirstCharacter) {
    model.SetEquation("x!" + std::string(80, '1'));
    model.Apply(EditCommand::End);
    bitmap.texts.clear();
    const CaretShape caret = model.Paint(bitmap);
    ASSERT_FALSE(bitmap.texts.empty());
    EXPECT_EQ(bitmap.texts.front().font.size, 10);
    EXPECT_EQ(bitmap.texts.front().y, 6);
    EXPECT_EQ(bitmap.texts.front().x, 0);
    EXPECT_EQ(caret.x, model.CaretX());
    EXPECT_EQ(caret.y, 6);
}
