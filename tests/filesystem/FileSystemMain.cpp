#include "PrivateMount.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdio>

QString g_smallFileSystem;

// The namespace is entered before Qt or the test framework can start a thread.
int main(int argc, char** argv)
{
    QString error;
    g_smallFileSystem = PrivateMount::Enter(256 * 1024, error);
    if (g_smallFileSystem.isEmpty()) {
        std::fprintf(stderr,
            "FAILED: the file system tests need a user and mount namespace (%s). Run them where "
            "unprivileged user namespaces are allowed (sysctl kernel.unprivileged_userns_clone=1).\n",
            qPrintable(error));
        return 1;
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
