#include "engine/MarkerPairs.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

namespace {

// The removal of marker pairs done literally, one search per pair and pass.
bool RemoveLiterally(std::string& text) {
    bool changed = false;
    for (bool found = true; found;) {
        found = false;
        for (std::string_view pair : {"!@", "!#", "@!", "@#", "#!", "#@"}) {
            const std::size_t pos = text.find(pair);
            if (pos != std::string::npos) {
                text.erase(pos, 1);
                found = changed = true;
            }
        }
    }
    return changed;
}

} // namespace

TEST(MarkerPairs, AgreesWithTheLiteralRemoval) {
    std::mt19937 random(7);
    const std::string alphabet = "!@#!@#x";
    for (int i = 0; i < 30000; ++i) {
        std::string text(random() % 20, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        std::string fast = text;
        std::string literal = text;
        EXPECT_EQ(RemoveMarkerPairs(fast), RemoveLiterally(literal)) << text;
        EXPECT_EQ(fast, literal) << text;
    }
}

TEST(MarkerPairs, LongRunsOfMarkersAreQuick) {
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "!@#x@#!";
    EXPECT_TRUE(RemoveMarkerPairs(text));
    EXPECT_FALSE(RemoveMarkerPairs(text));
}
