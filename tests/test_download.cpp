#include "download/DownloadManager.h"
#include "download/TaskThread.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <cmath>

// The package download against the real release server on 127.0.0.1.
class TestDownload : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    ReleaseServer m_server;
    ReleaseServer m_tlsServer;
    QByteArray m_package;
    quint16 m_closedPort = 0;

    QString url(const QString& path) const { return m_server.baseUrl() + path; }

    static QString finalPath(const TaskThread& thread)
    {
        return thread.downloadManager()->downloadFolder() + QLatin1Char('/') +
               QLatin1String(TaskThread::packageTempName);
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QList<double> values(const QSignalSpy& spy)
    {
        QList<double> out;
        for (const QList<QVariant>& args : spy)
            out << args.at(0).toDouble();
        return out;
    }

    // What the window may see: first >= 1, each next >= 1 point above, all finite.
    static bool obeysThrottle(const QList<double>& progress)
    {
        double last = 0.0;
        for (double per : progress) {
            if (!std::isfinite(per) || per - last < 1.0 || per > 100.0)
                return false;
            last = per;
        }
        return progress.size() <= 100;
    }

    // Runs one download through the thread, as the window does; returns the
    // code of updateFailed, or 1 on success.
    int run(TaskThread& thread, const QString& packageUrl, QList<double>* progress = nullptr)
    {
        QSignalSpy progressSpy(&thread, &TaskThread::updateProgress);
        QSignalSpy success(&thread, &TaskThread::updateSuccess);
        QSignalSpy failed(&thread, &TaskThread::updateFailed);
        thread.setUrl(packageUrl);
        thread.start();
        if (!QTest::qWaitFor([&] { return success.count() + failed.count() > 0 && thread.isFinished(); },
                             60000))
            return -1000;
        if (progress)
            *progress = values(progressSpy);
        if (!success.isEmpty()) {
            const QString path = success.first().at(0).toString();
            return success.count() == 1 && failed.isEmpty() && path == finalPath(thread) ? 1 : -2000;
        }
        return failed.count() == 1 ? failed.first().at(0).toInt() : -3000;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_package.resize(3 * 1024 * 1024 + 123);
        QRandomGenerator generator(4711);
        for (char& byte : m_package)
            byte = char(generator.generate());
        QDir(m_root.path()).mkpath(QStringLiteral("upload/pc"));
        QFile file(m_root.filePath(QStringLiteral("upload/pc/package.7z")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(m_package), qint64(m_package.size()));
        file.close();

        ReleaseServer::Options options;
        options.root = m_root.path();
        QVERIFY(m_server.start(options));
        options.tls = true;
        QVERIFY(m_tlsServer.start(options));

        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        m_closedPort = probe.serverPort();
    }

    void packageArrivesByteExact()
    {
        TaskThread thread;
        QSignalSpy prefiltered(thread.downloadManager(), &DownloadManager::downProgress);
        QList<double> progress;
        QCOMPARE(run(thread, url(QStringLiteral("/upload/pc/package.7z")), &progress), 1);

        QCOMPARE(contents(finalPath(thread)), m_package);
        QVERIFY(!QFile::exists(finalPath(thread) + QStringLiteral("_tmp")));
        QVERIFY2(obeysThrottle(progress), qPrintable(QTest::toString(progress)));
        QVERIFY(!progress.isEmpty());
        QVERIFY(progress.last() >= 99.0);
        // Only values the window will see cross from the worker thread.
        QCOMPARE(values(prefiltered), progress);
    }

    void successes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("lengthKnown");
        QTest::newRow("redirect") << "/test/redirect?to=/upload/pc/package.7z" << true;
        QTest::newRow("no length") << "/test/nolength?file=/upload/pc/package.7z" << false;
        QTest::newRow("two redirects")
            << "/test/redirect?to=/test/redirect%3Fto%3D/upload/pc/package.7z" << true;
    }

    void successes()
    {
        QFETCH(QString, path);
        QFETCH(bool, lengthKnown);
        TaskThread thread;
        QList<double> progress;
        QCOMPARE(run(thread, url(path), &progress), 1);
        QCOMPARE(contents(finalPath(thread)), m_package);
        QVERIFY2(obeysThrottle(progress), qPrintable(QTest::toString(progress)));
        QVERIFY(!progress.isEmpty());
        if (lengthKnown)
            QVERIFY(progress.last() >= 99.0);
        else
            QCOMPARE(progress, QList<double>{100.0}); // nothing until the end
    }

    void failures_data()
    {
        const QString size = QString::number(m_package.size());
        QTest::addColumn<QString>("packageUrl");
        QTest::newRow("404") << url(QStringLiteral("/test/status/404"));
        QTest::newRow("500") << url(QStringLiteral("/test/status/500"));
        QTest::newRow("missing file") << url(QStringLiteral("/upload/pc/none.7z"));
        QTest::newRow("refused")
            << QStringLiteral("http://127.0.0.1:%1/upload/pc/package.7z").arg(m_closedPort);
        QTest::newRow("self-signed tls") << m_tlsServer.baseUrl() + QStringLiteral("/upload/pc/package.7z");
        QTest::newRow("stall") << url(QStringLiteral("/test/stall?bytes=1"));
        QTest::newRow("longer length claimed") << url(
            QStringLiteral("/test/lie?file=/upload/pc/package.7z&claimed=%1").arg(m_package.size() + 5000));
        QTest::newRow("reset mid-body")
            << url(QStringLiteral("/test/reset?file=/upload/pc/package.7z&after=200000"));
        QTest::newRow("endless redirects") << url(QStringLiteral("/test/redirect-loop"));
        QTest::newRow("redirect to 404") << url(QStringLiteral("/test/redirect?to=/test/status/404"));
        QTest::newRow("redirect off http") << url(QStringLiteral("/test/redirect?to=file:///etc/hostname"));
    }

    // Every failure is code 0 with nothing under the final name, even a file
    // that was there before; the "_tmp" file stays until the next attempt,
    // which starts its progress from 0 again and succeeds.
    void failures()
    {
        QFETCH(QString, packageUrl);
        TaskThread thread;
        thread.downloadManager()->setStallSeconds(2);
        const QString final = finalPath(thread);
        {
            QFile stale(final);
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write("left by an earlier run");
        }

        QList<double> progress;
        QCOMPARE(run(thread, packageUrl, &progress), 0);
        QVERIFY2(obeysThrottle(progress), qPrintable(QTest::toString(progress)));
        QVERIFY(!QFile::exists(final));
        QVERIFY(QFile::exists(final + QStringLiteral("_tmp")));

        QList<double> retry;
        QCOMPARE(run(thread, url(QStringLiteral("/upload/pc/package.7z")), &retry), 1);
        QCOMPARE(contents(final), m_package);
        QVERIFY(!QFile::exists(final + QStringLiteral("_tmp")));
        // Still reported though the failed run may have got within a point of 100.
        QVERIFY(!retry.isEmpty());
        QVERIFY(retry.last() >= 99.0);
    }

    void constructionEmptiesFolder()
    {
        DownloadManager first;
        const QDir dir(first.downloadFolder());
        QVERIFY(dir.mkpath(QStringLiteral("nested/deeper")));
        QFile file(dir.filePath(QStringLiteral("corvanetemp.7z")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        DownloadManager second;
        QCOMPARE(second.downloadFolder(), first.downloadFolder());
        QVERIFY(dir.exists());
        QVERIFY(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    }

    // A temporary file that cannot be created fails at once, before any
    // connection is made.
    void unwritableFolderFailsWithoutTransfer()
    {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        DownloadManager manager;
        const QString folder = manager.downloadFolder();
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        QSignalSpy failed(&manager, &DownloadManager::downLoadErr);
        QSignalSpy ok(&manager, &DownloadManager::downLoadOK);
        manager.downloadFile(QStringLiteral("http://127.0.0.1:%1/x").arg(listener.serverPort()),
                             QStringLiteral("corvanetemp.7z"));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(ok.count(), 0);
        QVERIFY(!listener.waitForNewConnection(200));
        QVERIFY(QFile::remove(folder));
    }

    // The finished file cannot take its name: that is a failure, not success.
    void failedRenameIsFailure()
    {
        DownloadManager manager;
        const QString final = manager.downloadFolder() + QStringLiteral("/corvanetemp.7z");
        QVERIFY(QDir().mkpath(final + QStringLiteral("/occupied")));
        QSignalSpy failed(&manager, &DownloadManager::downLoadErr);
        QSignalSpy ok(&manager, &DownloadManager::downLoadOK);
        manager.downloadFile(url(QStringLiteral("/upload/pc/package.7z")), QStringLiteral("corvanetemp.7z"));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(ok.count(), 0);
        QCOMPARE(contents(final + QStringLiteral("_tmp")), m_package);
    }

    // Closing the window mid-download: cancelAndWait returns once the worker
    // has ended, with no success and nothing under the final name; a retry
    // afterwards works.
    void cancel_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("trickle") << "/test/trickle?bytes=100000&chunk=2000&delay_ms=200";
        QTest::newRow("silent server") << "/test/stall?bytes=2000";
    }

    void cancel()
    {
        QFETCH(QString, path);
        TaskThread thread;
        QSignalSpy received(thread.downloadManager(), &DownloadManager::downProgress);
        QSignalSpy success(&thread, &TaskThread::updateSuccess);
        QSignalSpy failed(&thread, &TaskThread::updateFailed);
        thread.setUrl(url(path));
        thread.start();
        QVERIFY(received.wait(30000));

        QElapsedTimer timer;
        timer.start();
        thread.cancelAndWait();
        qInfo("cancel took %lld ms", timer.elapsed());
        QVERIFY(thread.isFinished());
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(failed.first().at(0).toInt(), 0);
        QCOMPARE(success.count(), 0);
        QVERIFY(!QFile::exists(finalPath(thread)));

        QCOMPARE(run(thread, url(QStringLiteral("/upload/pc/package.7z"))), 1);
        QCOMPARE(contents(finalPath(thread)), m_package);
    }

    // Cancel right after start, before run() may even have begun.
    void cancelRacingStart()
    {
        TaskThread thread;
        QSignalSpy success(&thread, &TaskThread::updateSuccess);
        thread.setUrl(url(QStringLiteral("/test/stall?bytes=10")));
        thread.start();
        thread.cancelAndWait();
        QVERIFY(thread.isFinished());
        QCoreApplication::processEvents();
        QCOMPARE(success.count(), 0);
    }

    void cleanupTestCase()
    {
        m_server.stop();
        m_tlsServer.stop();
    }
};

NERIX_TEST_MAIN(TestDownload)
#include "test_download.moc"
