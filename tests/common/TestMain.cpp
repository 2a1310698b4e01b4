#include <QApplication>

#include <gtest/gtest.h>

// Every test executable runs with a QApplication, as the program does: offscreen unless a
// platform is chosen (scripts/screenshot-settings.sh chooses a virtual X display).
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
