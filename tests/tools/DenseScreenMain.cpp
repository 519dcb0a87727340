// main() of the tests on a screen of device pixel ratio 2: the offscreen platform scaled
// as a high-density screen is.

#include "platform/VektaApplication.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QT_SCALE_FACTOR", "2", 1);
    unsetenv("QT_SCREEN_SCALE_FACTORS");
    platform::VektaApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
