// Reading an animation script: sections, control variables, window size and equations.

#include "animation/AnimationModel.h"
#include "animation/WindowGeometry.h"

#include <gtest/gtest.h>

#include <string>

namespace animation {
namespace {

std::string Value(AnimationModel& model, const char* name) {
    const VariableTable& table = model.Values;
    for (std::size_t i = 0; i < table.Count(); ++i)
        if (table.NameAt(i) == name)
            return table.ValueAt(i);
    return "(none)";
}

TEST(ScriptTest, SectionsAreReadInAnyOrderWithTheDefaultsUnderneath) {
    AnimationModel only;
    LoadAnimation(only, "<OBJ>LINE(0,0,x,y);;CIRCLE(1,2,3);tail</OBJ>");
    EXPECT_EQ(Value(only, "t"), "0");
    EXPECT_EQ(Value(only, "tend"), "5");
    EXPECT_EQ(only.Width, 520);
    EXPECT_EQ(only.Height, 270);
    EXPECT_EQ(only.ObjList, (std::vector<std::string>{"LINE(0,0,x,y)", "CIRCLE(1,2,3)"}));
    EXPECT_EQ(only.DrawList, only.ObjList);
    EXPECT_EQ(only.Equations.Count, 0u);

    AnimationModel model;
    LoadAnimation(model, "<LASTOBJ>TEXT(1,1,\"end\");</LASTOBJ>\n<FUN>x=t*10;</FUN>"
                         "<FIRSTOBJ>TEXT(1,1,\"go\");</FIRSTOBJ><OBJ>LINE(0,0,x,1);</OBJ>"
                         "<VAR>tend=10;t=2;CANVAS_WIDTH=600;g=1;</VAR>");
    EXPECT_EQ(Value(model, "tend"), "10");
    EXPECT_EQ(Value(model, "g"), "1");
    EXPECT_EQ(Value(model, "x"), "20");
    EXPECT_EQ(model.Width, 600);
    EXPECT_EQ(model.DrawList, (std::vector<std::string>{"LINE(0,0,x,1)", "TEXT(1,1,\"go\")"}));
    EXPECT_EQ(model.LastObjList, (std::vector<std::string>{"TEXT(1,1,\"end\")"}));
    // The initial values are the VAR values, before any equation ran.
    EXPECT_EQ(model.InitialValues.Count(), model.Values.Count() - 1);

    // A section without its closing tag is empty; nothing is trimmed from statements.
    AnimationModel open;
    LoadAnimation(open, "<VAR> t=1;tend=2;</VAR><FIRSTOBJ>LINE(1,1,2,2);<OBJ>\nA(1);</OBJ>");
    EXPECT_TRUE(open.FirstObjList.empty());
    EXPECT_EQ(open.ObjList, (std::vector<std::string>{"\nA(1)"}));
    EXPECT_EQ(Value(open, "t"), "1"); // " t" names t: the table drops blanks from names

    // A second load replaces the first whole.
    LoadAnimation(model, "<OBJ>A(1);</OBJ>");
    EXPECT_EQ(Value(model, "x"), "(none)");
    EXPECT_TRUE(model.LastObjList.empty());
    EXPECT_EQ(model.Width, 520);
}

TEST(ScriptTest, EquationsRunInOrderEachSeeingTheOnesAbove) {
    AnimationModel model;
    LoadAnimation(model, "<VAR>t=1;</VAR><FUN>x=t*10;y=x+5;</FUN>");
    EXPECT_EQ(Value(model, "y"), "15");

    LoadAnimation(model, "<VAR>t=1;</VAR><FUN>y=x+5;x=t*10;</FUN>");
    EXPECT_EQ(Value(model, "y"), "5"); // x was not there yet
    EvaluateFunctions(model);
    EXPECT_EQ(Value(model, "y"), "15"); // one step behind
}

TEST(ScriptTest, UnusableEquationsAndStatementsDoNotStopLoading) {
    AnimationModel model;
    LoadAnimation(model, "<VAR>nothing;t=0,5;</VAR><FUN>a=+1;b=(2;c=t*4;</FUN>");
    EXPECT_EQ(model.Equations.Count, 3u);
    EXPECT_EQ(model.Equations.Roots[0], nullptr);
    EXPECT_EQ(Value(model, "a"), "0");
    EXPECT_EQ(Value(model, "c"), "2"); // a decimal comma reads too
    ASSERT_EQ(model.Notes.size(), 2u);
    EXPECT_EQ(model.Notes[0].rfind("a=+1: ", 0), 0u) << model.Notes[0];

    // At most 100 equations are kept; the drop is noted once.
    std::string fun = "<FUN>";
    for (int i = 1; i <= 105; ++i)
        fun += "v" + std::to_string(i) + "=" + std::to_string(i) + ";";
    LoadAnimation(model, fun + "</FUN>");
    EXPECT_EQ(model.Equations.Count, kEquationCapacity);
    EXPECT_EQ(model.Equations.Names.size(), kEquationCapacity);
    EXPECT_EQ(Value(model, "v100"), "100");
    EXPECT_EQ(Value(model, "v101"), "(none)");
    ASSERT_EQ(model.Notes.size(), 1u);
    EXPECT_NE(model.Notes[0].find("5 of 105"), std::string::npos) << model.Notes[0];

    // The formulas together are bounded too, as each frame evaluates them all: a long one
    // is left out, and the ones after it that still fit are kept.
    std::string longFormula = "1";
    while (longFormula.size() < kMaxFormulaText - 10)
        longFormula += "+1";
    LoadAnimation(model, "<FUN>a=2;b=" + longFormula + ";c=" + longFormula + ";d=3;</FUN>");
    EXPECT_EQ(model.Equations.Count, 3u);
    EXPECT_EQ(Value(model, "a"), "2");
    EXPECT_EQ(Value(model, "c"), "(none)");
    EXPECT_EQ(Value(model, "d"), "3");
    ASSERT_EQ(model.Notes.size(), 1u);
    EXPECT_NE(model.Notes[0].find("1 of 4"), std::string::npos) << model.Notes[0];

    // A value text the engine cannot convert leaves the default window size.
    LoadAnimation(model, "<VAR>CANVAS_HEIGHT=1.2.3;</VAR>");
    EXPECT_EQ(model.Height, 270);
    EXPECT_EQ(model.Notes.size(), 1u);
}

// A malformed number stops the equations where it is read: the ones above it are
// stored, that one and the ones below it are not, and the message is noted.
TEST(ScriptTest, AMalformedNumberEndsTheEquationsThere) {
    AnimationModel model;
    LoadAnimation(model, "<VAR>t=2;bad=1.2.3;</VAR><FUN>a=t*10;b=bad+1;c=5;</FUN>");
    EXPECT_EQ(Value(model, "a"), "20");
    EXPECT_EQ(Value(model, "b"), "(none)");
    EXPECT_EQ(Value(model, "c"), "(none)");
    ASSERT_EQ(model.Notes.size(), 1u);
    EXPECT_NE(model.Notes[0].find("FUN"), std::string::npos) << model.Notes[0];
    EXPECT_NE(model.Notes[0].find("'1.2.3' is not a valid floating point value"), std::string::npos)
        << model.Notes[0];
}

TEST(ScriptTest, WindowSizeIsClampedToASaneRange) {
    const struct {
        const char* value;
        int side;
    } cases[] = {{"0", kMinWindowSide}, {"-300", kMinWindowSide}, {"1000000000", kMaxWindowSide},
                 {"640.9", 640},        {"abc", kMinWindowSide},  {"4000", 4000}};
    for (const auto& c : cases) {
        AnimationModel model;
        LoadAnimation(model, std::string("<VAR>CANVAS_WIDTH=") + c.value +
                                 ";CANVAS_HEIGHT=" + c.value + ";</VAR>");
        EXPECT_EQ(model.Width, c.side) << c.value;
        EXPECT_EQ(model.Height, c.side) << c.value;
    }
}

} // namespace
} // namespace animation
