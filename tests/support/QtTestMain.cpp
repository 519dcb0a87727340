// main() of the GUI test programs: widgets are real, drawn by the offscreen platform.
// Whatever a program would keep in the user's folders (settings, drafts) goes to a
// folder of the test run, removed at its end: tests never touch the real user's files.

#include "platform/VektaApplication.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char home[] = "/tmp/vekta-test-home-XXXXXX";
    if (mkdtemp(home) == nullptr)
        return 1;
    // HOME too: in test mode the settings and data go under ~/.qttest, which would
    // otherwise be shared by every run.
    for (const char* folder : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        setenv(folder, home, 1);
    QStandardPaths::setTestModeEnabled(true);
    int result = 0;
    {
        platform::VektaApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    QDir(QString::fromLocal8Bit(home)).removeRecursively();
    return result;
}
