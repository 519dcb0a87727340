// main() of the tests on two screens side by side: one of device pixel ratio 1, one of 2.

#include "platform/VektaApplication.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const std::string platform = std::string("offscreen:configfile=") + VEKTA_TWO_SCREENS;
    setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
    unsetenv("QT_SCALE_FACTOR");
    unsetenv("QT_SCREEN_SCALE_FACTORS");
    platform::VektaApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
