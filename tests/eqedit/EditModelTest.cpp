#include "eqedit/EditModel.h"
#include "FakeCanvas.h"
#include "platform/Beep.h"

#include <gtest/gtest.h>

#include <string>

using namespace eqedit;

namespace {

// A 300-pixel field with the 14-point default font: glyphs 7 pixels wide (5 in the
// small levels), usable width 298, caret limit 296.
class EditModelTest : public ::testing::Test {
protected:
    EditModelTest() : model(canvas) {
        platform::SetBeepHandler([this] { ++beeps; });
        model.SetKeyPressHandler([this](char& key) { pressed += key; });
    }
    ~EditModelTest() override { platform::SetBeepHandler(nullptr); }

    void Type(const std::string& text) {
        for (char c : text)
            model.KeyPress(c);
    }
    void Keys(std::initializer_list<EditCommand> commands) {
        for (EditCommand command : commands)
            model.Apply(command);
    }
    // The invariant every operation keeps.
    void ExpectViewConsistent() {
        const std::string& text = model.Equation();
        ASSERT_GE(model.FirstVisible(), 1);
        EXPECT_EQ(text.compare(static_cast<std::size_t>(model.FirstVisible() - 1),
                               model.VisibleText().size(), model.VisibleText()),
                  0);
        const State first = model.GetFirstCaretState(model.VisibleText(), model.FirstVisible());
        EXPECT_LE(model.EqWidth(model.VisibleText(), first), model.UsableWidth());
        EXPECT_GE(model.CaretPos(), model.FirstVisible() - 1);
        EXPECT_LT(model.CaretX(), model.CaretLimit());
    }

    FakeCanvas canvas;
    EditModel model;
    int beeps = 0;
    std::string pressed;
};

} // namespace

TEST_F(EditModelTest, DefaultsOfAFreshEditor) {
    EXPECT_EQ(model.Equation(), "");
    EXPECT_EQ(model.CaretPos(), 0);
    EXPECT_EQ(model.FirstVisible(), 1);
    EXPECT_EQ(model.CaretWidth(), 2);
    EXPECT_EQ(model.Font().size, 14);
    EXPECT_EQ(model.Width(), 300);
    EXPECT_EQ(model.Height(), 27);
    EXPECT_EQ(model.UsableWidth(), 298);
    EXPECT_EQ(model.CaretLimit(), 296);
}

TEST_F(EditModelTest, UpAndDownStepThroughTheLevels) {
    model.KeyPress('a');
    model.Apply(EditCommand::LevelUp);
    EXPECT_FALSE(model.PassMarkers()); // Up does not leave it set
    model.KeyPress('2');
    model.Apply(EditCommand::LevelDown);
    EXPECT_TRUE(model.PassMarkers());
    model.KeyPress('b');
    EXPECT_EQ(model.Equation(), "a#2@b");
    EXPECT_EQ(model.CaretPos(), 5);
    EXPECT_EQ(model.CaretX(), 7 + 5 + 7);
    // The inserted markers went through the key press like typed characters.
    EXPECT_EQ(pressed, "a#2@b");

    // Up in the superscript and Down in the subscript do nothing.
    model.Apply(EditCommand::LevelUp);
    model.Apply(EditCommand::LevelUp);
    EXPECT_EQ(model.Equation(), "a#2@b#");
    model.Apply(EditCommand::LevelDown);
    model.Apply(EditCommand::LevelDown);
    model.Apply(EditCommand::LevelDown);
    EXPECT_EQ(model.Equation(), "a#2@b#@!");
    model.Apply(EditCommand::LevelUp);
    EXPECT_EQ(model.Equation(), "a#2@b#@!@");
    EXPECT_EQ(beeps, 0);
}

TEST_F(EditModelTest, TypedMarkersAreRefusedUnlessDownWasJustPressed) {
    Type("x#!@");
    EXPECT_EQ(model.Equation(), "x");
    EXPECT_EQ(pressed, "x"); // refused markers raise no key-press event
    model.Apply(EditCommand::LevelDown);
    model.KeyPress('1');
    EXPECT_EQ(model.Equation(), "x!1");
    model.Apply(EditCommand::LevelDown); // already in the subscript: nothing inserted ...
    EXPECT_EQ(model.Equation(), "x!1");
    model.KeyPress('#'); // ... but the next marker typed goes in as typed
    EXPECT_EQ(model.Equation(), "x!1#");
    model.KeyPress('#');
    EXPECT_EQ(model.Equation(), "x!1#");
}

// A subscript holds letters and digits; any other character typed in it goes in on the
// baseline, as answers are read. An exponent keeps what is typed until Down.
TEST_F(EditModelTest, ACharacterASubscriptCannotHoldEndsIt) {
    constexpr char kDown = '\x01', kUp = '\x02', kGreek = '\x03';
    const std::pair<std::string, std::string> cases[] = {
        {"v\x01"
         "C*2^0.5",
         "v!C@*2^0.5"},
        {"x\x01"
         "12-y+1",
         "x!12@-y+1"},
        {"a\x01"
         "max/2",
         "a!max@/2"},
        {"m\x01"
         "1\xB7g",
         "m!1@\xB7g"},
        {"v\x01"
         "C^2",
         "v!C@^2"},
        {"F\x01"
         "A)",
         "F!A@)"},
        {"F\x01"
         "A B",
         "F!A@ B"},
        {"a\x01\x03"
         "t*2",
         "a!~t@*2"},
        {"R\x01\xC0\xE1"
         "2",
         "R!\xC0\xE1"
         "2"},
        {"x\x01+", "x!@+"},
        {"x\x01\x02"
         "+",
         "x!@+"},
        {"x\x02"
         "a+b",
         "x#a+b"},
        {"x\x01#", "x!#"}, // a marker typed just after Down goes in as typed
    };
    for (const auto& [keys, equation] : cases) {
        model.SetEquation("");
        for (char key : keys) {
            if (key == kDown)
                model.Apply(EditCommand::LevelDown);
            else if (key == kUp)
                model.Apply(EditCommand::LevelUp);
            else if (key == kGreek)
                model.Apply(EditCommand::Greek);
            else
                model.KeyPress(key);
        }
        EXPECT_EQ(model.Equation(), equation) << keys;
        EXPECT_EQ(model.CaretPos(), static_cast<int>(equation.size())) << keys;
    }
}

TEST_F(EditModelTest, ControlCharactersInsertNothingButStillRaiseTheEvent) {
    Type("\r\x1b\b\t");
    EXPECT_EQ(model.Equation(), "");
    EXPECT_EQ(pressed, "\r\x1b\b\t");
    // Cyrillic letters of the code page are printable.
    Type("\xE0\xC1");
    EXPECT_EQ(model.Equation(), "\xE0\xC1");
}

TEST_F(EditModelTest, GreekLettersStayWholeForKeysThatMoveAndDelete) {
    model.Apply(EditCommand::Greek);
    EXPECT_TRUE(model.GreekPending());
    model.KeyPress('w');
    EXPECT_FALSE(model.GreekPending());
    EXPECT_EQ(model.Equation(), "~w");
    EXPECT_EQ(model.CaretPos(), 2);
    model.Apply(EditCommand::Backspace);
    EXPECT_EQ(model.Equation(), "");
    EXPECT_EQ(model.CaretPos(), 0);

    Type("a");
    model.Apply(EditCommand::Greek);
    Type("pb");
    EXPECT_EQ(model.Equation(), "a~pb");
    model.Apply(EditCommand::Left);
    model.Apply(EditCommand::Left); // from after p to before its prefix
    EXPECT_EQ(model.CaretPos(), 1);
    EXPECT_EQ(model.CaretX(), 7);
    model.Apply(EditCommand::Right); // over prefix and letter
    EXPECT_EQ(model.CaretPos(), 3);
    model.Apply(EditCommand::Left);
    model.Apply(EditCommand::Delete); // removes prefix and letter
    EXPECT_EQ(model.Equation(), "ab");
    EXPECT_EQ(model.CaretPos(), 1);
    EXPECT_EQ(beeps, 0);
}

TEST_F(EditModelTest, PendingGreekPrefixWaitsForTheNextPrintableKey) {
    Type("ab");
    model.Apply(EditCommand::Greek);
    model.Apply(EditCommand::Left);
    model.KeyPress('\r'); // not printable: the prefix stays pending
    model.KeyPress('w');
    EXPECT_EQ(model.Equation(), "a~wb");
    EXPECT_EQ(model.CaretPos(), 3);

    // A marker inserted by Up takes the prefix; the flag then reaches the next glyph.
    model.SetEquation("");
    model.Apply(EditCommand::Greek);
    model.Apply(EditCommand::LevelUp);
    model.KeyPress('p');
    EXPECT_EQ(model.Equation(), "~#p");
}

TEST_F(EditModelTest, KeysThatCannotActBeepAndChangeNothing) {
    model.Apply(EditCommand::Backspace);
    model.Apply(EditCommand::Left);
    model.Apply(EditCommand::Home);
    model.Apply(EditCommand::Delete);
    model.Apply(EditCommand::Right);
    model.Apply(EditCommand::End);
    EXPECT_EQ(beeps, 6);
    Type("ab");
    model.Apply(EditCommand::Delete);
    model.Apply(EditCommand::Right);
    model.Apply(EditCommand::End);
    EXPECT_EQ(beeps, 9);
    model.Apply(EditCommand::Home);
    model.Apply(EditCommand::Home);
    model.Apply(EditCommand::Backspace);
    model.Apply(EditCommand::Left);
    EXPECT_EQ(beeps, 12);
    EXPECT_EQ(model.Equation(), "ab");
    // A lone prefix at the end goes on its own.
    model.SetEquation("a~");
    model.Apply(EditCommand::Right);
    EXPECT_EQ(model.CaretPos(), 1);
    model.Apply(EditCommand::Delete);
    EXPECT_EQ(model.Equation(), "a");
}

TEST_F(EditModelTest, TypingPastTheRightEdgeScrollsAndHomeEndComeBack) {
    const std::string digits = "0123456789";
    for (int i = 0; i < 6; ++i) {
        Type(digits);
        ExpectViewConsistent();
    }
    EXPECT_EQ(model.CaretPos(), 60);
    EXPECT_GT(model.FirstVisible(), 1);
    // The view ends at the caret and the caret is left of the caret limit.
    EXPECT_EQ(model.VisibleText(), model.Equation().substr(model.FirstVisible() - 1));
    EXPECT_EQ(model.CaretX(), 7 * static_cast<int>(model.VisibleText().size()));

    model.Apply(EditCommand::Home);
    EXPECT_EQ(model.CaretPos(), 0);
    EXPECT_EQ(model.CaretX(), 0);
    EXPECT_EQ(model.FirstVisible(), 1);
    EXPECT_EQ(model.VisibleText(), model.Equation().substr(0, 42)); // 42 * 7 = 294
    ExpectViewConsistent();

    model.Apply(EditCommand::End);
    EXPECT_EQ(model.CaretPos(), 60);
    EXPECT_EQ(model.FirstVisible(), 60 - 42 + 1);
    EXPECT_EQ(model.CaretX(), 294);
    ExpectViewConsistent();
}

TEST_F(EditModelTest, RightAndLeftScrollByFiveCharacters) {
    model.SetEquation(std::string(60, 'a'));
    for (int i = 0; i < 42; ++i)
        model.Apply(EditCommand::Right);
    EXPECT_EQ(model.FirstVisible(), 1);
    EXPECT_EQ(model.CaretX(), 294);
    model.Apply(EditCommand::Right); // 301 would pass the caret limit
    EXPECT_EQ(model.FirstVisible(), 6);
    EXPECT_EQ(model.CaretX(), 7 * 38);
    ExpectViewConsistent();
    for (int i = 0; i < 38; ++i)
        model.Apply(EditCommand::Left);
    EXPECT_EQ(model.CaretPos(), 5);
    EXPECT_EQ(model.FirstVisible(), 6);
    model.Apply(EditCommand::Left); // left of the first shown character
    EXPECT_EQ(model.CaretPos(), 4);
    EXPECT_EQ(model.FirstVisible(), 1);
    EXPECT_EQ(model.CaretX(), 28);
    ExpectViewConsistent();
}

TEST_F(EditModelTest, ScrollingMeasuresFromTheLevelAtTheFirstShownCharacter) {
    // A long superscript run: once scrolled into it, glyphs measure 5 pixels, not 7.
    model.SetEquation("x#" + std::string(80, '2'));
    model.Apply(EditCommand::End);
    EXPECT_GT(model.FirstVisible(), 3);
    EXPECT_EQ(model.CaretX(), 5 * static_cast<int>(model.VisibleText().size()));
    EXPECT_GE(model.CaretX(), model.CaretLimit() - 5);
    ExpectViewConsistent();
}

TEST_F(EditModelTest, BackspaceScrollsBackAndAnEmptiedFieldStartsAfresh) {
    Type(std::string(43, 'a')); // one character more than the field holds
    const int first = model.FirstVisible();
    ASSERT_EQ(first, 2);
    // Walk the caret to the left edge of the view and delete everything after it.
    while (model.CaretPos() > first - 1)
        model.Apply(EditCommand::Left);
    ASSERT_EQ(model.FirstVisible(), first);
    while (model.CaretPos() < static_cast<int>(model.Equation().size()))
        model.Apply(EditCommand::Delete);
    EXPECT_EQ(model.VisibleText(), "");
    model.Apply(EditCommand::Backspace);
    EXPECT_LT(model.FirstVisible(), first);
    ExpectViewConsistent();
    while (!model.Equation().empty())
        model.Apply(EditCommand::Backspace);
    EXPECT_EQ(model.FirstVisible(), 1);
    // What is typed into the emptied field is shown.
    model.KeyPress('z');
    EXPECT_EQ(model.VisibleText(), "z");
    EXPECT_EQ(model.CaretX(), 7);
}

TEST_F(EditModelTest, ClickPutsTheCaretAtTheNearerPositionTiesToTheRight) {
    platform::Font font = model.Font();
    font.size = 16; // 8 pixels a glyph
    model.SetFont(font);
    model.SetEquation("abc");
    model.MouseDown(3);
    EXPECT_EQ(model.CaretPos(), 0);
    EXPECT_EQ(model.CaretX(), 0);
    model.MouseDown(4); // exactly half-way between 0 and 8
    EXPECT_EQ(model.CaretPos(), 1);
    EXPECT_EQ(model.CaretX(), 8);
    model.MouseDown(13);
    EXPECT_EQ(model.CaretPos(), 2);
    model.MouseDown(200); // right of the end
    EXPECT_EQ(model.CaretPos(), 3);
    EXPECT_EQ(model.CaretX(), 24);
    model.MouseDown(-5);
    EXPECT_EQ(model.CaretPos(), 0);

    // Reserved characters take no room: a click lands after them, by the right-hand rule.
    model.SetEquation("a#2");
    model.MouseDown(8);
    EXPECT_EQ(model.CaretPos(), 2);
    EXPECT_EQ(model.CaretX(), 8);
    model.MouseDown(11); // half-way between 8 and 14
    EXPECT_EQ(model.CaretPos(), 3);
    EXPECT_EQ(model.CaretX(), 8 + 6);
}

TEST_F(EditModelTest, ClickCountsPositionsFromTheFirstShownCharacter) {
    Type(std::string(50, 'a'));
    const int first = model.FirstVisible();
    model.MouseDown(10);
    EXPECT_EQ(model.CaretPos(), first - 1 + 1);
    EXPECT_EQ(model.CaretX(), 7);
    model.KeyPress('b');
    EXPECT_EQ(model.Equation()[static_cast<std::size_t>(first)], 'b');
    model.SetEquation("");
    model.MouseDown(10); // nothing shown: nothing happens
    EXPECT_EQ(model.CaretPos(), 0);
}

TEST_F(EditModelTest, ReplacingTheTextKeepsTheCaretInsideAndShowsItFromTheStart) {
    Type(std::string(60, 'a'));
    ASSERT_GT(model.FirstVisible(), 1);
    model.SetEquation("xy");
    EXPECT_EQ(model.CaretPos(), 2);
    EXPECT_EQ(model.FirstVisible(), 1);
    EXPECT_EQ(model.VisibleText(), "xy");
    EXPECT_EQ(model.CaretX(), 14);
    model.Apply(EditCommand::Backspace);
    EXPECT_EQ(model.Equation(), "x");

    model.SetEquation(std::string(100, 'b'));
    EXPECT_EQ(model.CaretPos(), 1);
    EXPECT_EQ(model.VisibleText().size(), 42u);
    ExpectViewConsistent();
    // The same text again changes nothing.
    model.Apply(EditCommand::End);
    const int first = model.FirstVisible();
    EXPECT_FALSE(model.SetEquation(model.Equation()));
    EXPECT_EQ(model.FirstVisible(), first);
}

TEST_F(EditModelTest, ResizingShowsAsMuchAsTheNewWidthHolds) {
    model.SetEquation(std::string(60, 'c'));
    EXPECT_EQ(model.VisibleText().size(), 42u);
    model.SetSize(450, 27);
    EXPECT_EQ(model.VisibleText().size(), 60u);
    model.SetSize(100, 27);
    EXPECT_EQ(model.VisibleText().size(), 14u); // 98 / 7
}

TEST_F(EditModelTest, NarrowFieldKeepsTheCaretInsideTheView) {
    model.SetSize(20, 27); // caret limit 16: two glyphs fit
    model.SetEquation("abcdefgh");
    for (int i = 0; i < 8; ++i) {
        model.Apply(EditCommand::Right);
        ExpectViewConsistent();
    }
    model.Apply(EditCommand::Home);
    Type("xyz");
    ExpectViewConsistent();
}

TEST_F(EditModelTest, DegenerateWidthsEndWithoutHanging) {
    model.SetSize(0, 27);
    Type("abc");
    model.Apply(EditCommand::Home);
    model.Apply(EditCommand::End);
    model.Apply(EditCommand::Right);
    model.Apply(EditCommand::Left);
    EXPECT_EQ(model.Equation(), "abc");
    EXPECT_EQ(model.VisibleText(), "");
}
