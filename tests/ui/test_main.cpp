// Test runner for everything that needs a QApplication: runs offscreen and in
// Qt's test mode, so settings and data go to a throw-away place.
#include <gtest/gtest.h>
#include <QApplication>
#include <QStandardPaths>

// Qt, fontconfig and the platform plugins keep caches until the process ends;
// under AddressSanitizer those would be reported as leaks that are not ours.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
