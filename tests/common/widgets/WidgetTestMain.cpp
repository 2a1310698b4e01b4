#include <QApplication>

#include <gtest/gtest.h>

// The window tests run with a QApplication, as the desktop program does: offscreen unless a
// platform is chosen (scripts/screenshot-settings.sh chooses a virtual X display).
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
