#pragma once

#include "install/InstallThread.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>
#include <QVector>

// What one InstallThread run sent, its signals queued to this thread as the
// window receives them.
struct InstallOutcome
{
    QVector<double> progress;
    int successes = 0;
    QVector<int> failures;
    bool finished = false;

    // -1 for success, the failure code, or -100 unless exactly one ending came.
    int result() const
    {
        if (!finished || successes + failures.size() != 1)
            return -100;
        return successes ? -1 : failures.first();
    }
};

// Starts the thread and waits for it to end.
inline InstallOutcome runInstall(InstallThread& thread, int timeoutMs = 120000)
{
    InstallOutcome outcome;
    QObject context;
    QObject::connect(&thread, &InstallThread::installProgress, &context,
                     [&](double per) { outcome.progress << per; });
    QObject::connect(&thread, &InstallThread::installSuccess, &context, [&] { ++outcome.successes; });
    QObject::connect(&thread, &InstallThread::installFailed, &context,
                     [&](int code) { outcome.failures << code; });
    // Queued last: everything emitted has arrived once this has.
    QObject::connect(&thread, &QThread::finished, &context, [&] { outcome.finished = true; });
    thread.start();
    // A run that does not end within the time shows as result() -100.
    (void)QTest::qWaitFor([&] { return outcome.finished; }, timeoutMs);
    return outcome;
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
