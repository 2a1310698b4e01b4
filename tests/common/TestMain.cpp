#include <QCoreApplication>

#include <gtest/gtest.h>

// The engine's and the platform's tests run with a plain application, as the headless program does.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
