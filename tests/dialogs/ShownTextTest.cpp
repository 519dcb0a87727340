#include "dialogs/ShownText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(ShownTextTest, LinesAreBrokenAlikeAndBoundedInCountAndLength) {
    using namespace shown_text;
    const std::string longLine(kMaxLineBytes, 'w');
    struct Case {
        std::string text, shown;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"one\r\ntwo\rthree\nfour\n", "one\ntwo\nthree\nfour\n"},
        {longLine + "x\nnext", longLine + "...\nnext"},
        {longLine, longLine},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShownText(c.text), c.shown) << c.text;

    std::string many;
    for (std::size_t i = 0; i < kMaxLines + 1; ++i)
        many += "line\n";
    const std::string shown = ShownText(many);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), static_cast<long>(kMaxLines));
    EXPECT_EQ(shown.substr(shown.size() - 4), "\n...");

    const std::string huge(16 * 1024 * 1024, 'M');
    EXPECT_LE(ShownText(huge).size(), kMaxLineBytes + 3);
}
