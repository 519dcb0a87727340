// Object statements made ready for the diagram interpreter.

#include "animation/StatementRewrite.h"

#include <gtest/gtest.h>

namespace animation {
namespace {

TEST(RewriteTest, VariablesBecomeWholeNumbers) {
    const struct {
        long double value;
        const char* text;
    } cases[] = {
        {2.9996L, "3"}, {2.5L, "2"},  {-2.5L, "-2"}, {-3, "-3"},      {-2.9996L, "-3"},
        {0.0004L, "0"}, {-0.4L, "0"}, {120, "120"},  {1e20L, "1E20"}, {-7.0009L, "-7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WholeNumberText(c.value), c.text) << static_cast<double>(c.value);
}

TEST(RewriteTest, OnlyParametersThatNameVariablesAreReplaced) {
    VariableTable table;
    table.SetValue("x", "2.9996");
    table.SetValue("y", "-2.5");
    table.SetValue("A", "9");
    const struct {
        const char* statement;
        const char* rewritten;
    } cases[] = {
        {"LINE(0,0,x,y)", "LINE(0,0,3,-2)"},
        {"CIRCLE(x,y,5);", "CIRCLE(3,-2,5)"},
        {"ARROW(10,10,40,1.5)", "ARROW(10,10,40,1.5)"},
        {"LINE(1,2,3,x", "LINE(1,2,3,3)"},
        {"LINE(1,2,unknown,4)", "LINE(1,2,0,4)"},
        // Texts in double quotes stay whole, commas included; anything else is a name.
        {"TEXT(x,10,\"A\")", "TEXT(3,10,\"A\")"},
        {"TEXT(x,10,\"A, B (x)\")", "TEXT(3,10,\"A, B (x)\")"},
        {"TEXT(x,10,'A')", "TEXT(3,10,0)"},
        {"TEXT(x,10, \"A\")", "TEXT(3,10,0)"},
        // Parameters that name nothing go on as they are, for the interpreter to refuse.
        {"LINE(1,,x,4)", "LINE(1,,3,4)"},
        {"LINE(1, ,x,4)", "LINE(1, ,3,4)"},
        {"LINE()", "LINE()"},
        {"SHARNIR", "SHARNIR"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RewriteStatement(c.statement, table).Value(), c.rewritten) << c.statement;
}

} // namespace
} // namespace animation
