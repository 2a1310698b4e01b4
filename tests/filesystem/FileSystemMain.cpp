#include "PrivateMount.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdio>

QString gSmallFileSystem;

// The namespace is entered before Qt or the test framework can start a thread.
int main(int argc, char** argv)
{
    QString error;
    gSmallFileSystem = PrivateMount::enter(256 * 1024, error);
    if (gSmallFileSystem.isEmpty()) {
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
