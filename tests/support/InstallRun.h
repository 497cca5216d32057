#pragma once

#include "install/InstallThread.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>
#include <QVector>

// What one InstallThread run sent, its signals queued to this thread as the
// window receives them.
struct InstallOutcome
{
    QVector<double> progress;
    QVector<int> endings; // -1 for success, or the failure code
    bool finished = false;

    // The one ending, or -100 unless exactly one came before the thread ended.
    int result() const { return finished && endings.size() == 1 ? endings.first() : -100; }
};

// Starts the thread and waits for it to end.
inline InstallOutcome runInstall(InstallThread& thread, int timeoutMs = 120000)
{
    InstallOutcome outcome;
    QObject context;
    QObject::connect(&thread, &InstallThread::installProgress, &context,
                     [&](double per) { outcome.progress << per; });
    QObject::connect(&thread, &InstallThread::installSuccess, &context, [&] { outcome.endings << -1; });
    QObject::connect(&thread, &InstallThread::installFailed, &context,
                     [&](int code) { outcome.endings << code; });
    // Queued last: everything emitted has arrived once this has.
    QObject::connect(&thread, &QThread::finished, &context, [&] { outcome.finished = true; });
    thread.start();
    // A run that does not end within the time shows as result() -100.
    (void)QTest::qWaitFor([&] { return outcome.finished; }, timeoutMs);
    return outcome;
}

// Every file below dir, hidden ones included, as sorted relative paths.
inline QStringList filesBelow(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}
