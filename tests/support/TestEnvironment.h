#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// Gives a test process (and every installer it starts) a private home:
// HOME, the XDG folders and TMPDIR all point into one temporary folder, so
// nothing touches the real desktop, registry file, cache or data folder and
// test binaries can run in parallel.
class TestEnvironment
{
public:
    // Call first thing in main, before the application object exists.
    static void setUp();

    static QString home();

    // A further private home for a child process; lives as long as the dir.
    static QProcessEnvironment environmentFor(const QTemporaryDir& dir);
};

// Like QTEST_MAIN, with the private home, resources and libcurl set up.
#define NERIX_TEST_MAIN(TestObject)                                                                          \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        TestEnvironment::setUp();                                                                            \
        enableHighDpi();                                                                                     \
        QApplication app(argc, argv);                                                                        \
        initNerixResources();                                                                                \
        DownloadManager::globalInit();                                                                       \
        TestObject tc;                                                                                       \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

#include "app/Resources.h"
#include "app/Startup.h"
#include "download/DownloadManager.h"
#include "support/Helpers.h"

#include <QApplication>
#include <QtTest>
