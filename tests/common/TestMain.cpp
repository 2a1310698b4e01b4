#include <QApplication>

#include <gtest/gtest.h>

// Every test executable runs with a QApplication (offscreen under ctest), as the program does.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
