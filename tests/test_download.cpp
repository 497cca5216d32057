#include "download/DownloadManager.h"
#include "download/TaskThread.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <cmath>

// The package download against the real release server on 127.0.0.1.
class TestDownload : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    ReleaseServer m_server;
    ReleaseServer m_tlsServer;
    QByteArray m_package;

    QString url(const QString& path) const { return m_server.baseUrl() + path; }
    QString packageUrl() const { return url(QStringLiteral("/upload/pc/package.7z")); }

    static QString finalPath(const TaskThread& thread)
    {
        return thread.downloadManager()->downloadFolder() + '/' + QLatin1String(TaskThread::packageTempName);
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

    // What the window may see: first >= 1, each next >= 1 point above, all finite, at most 100.
    static bool obeysThrottle(const QList<double>& progress)
    {
        double last = 0.0;
        for (double per : progress) {
            if (!std::isfinite(per) || per - last < 1.0 || per > 100.0)
                return false;
            last = per;
        }
        return true;
    }

    // One download through the thread, as the window runs it: the code of
    // updateFailed, or 1 for a single success with the file under its final name.
    int run(TaskThread& thread, const QString& from, QList<double>* progress = nullptr)
    {
        QSignalSpy progressSpy(&thread, &TaskThread::updateProgress);
        QSignalSpy success(&thread, &TaskThread::updateSuccess);
        QSignalSpy failed(&thread, &TaskThread::updateFailed);
        thread.setUrl(from);
        thread.start();
        if (!QTest::qWaitFor([&] { return success.count() + failed.count() > 0 && thread.isFinished(); },
                             60000))
            return -1000;
        if (progress)
            *progress = values(progressSpy);
        if (!success.isEmpty())
            return success.count() == 1 && failed.isEmpty() && success.first().at(0) == finalPath(thread)
                       ? 1
                       : -2000;
        return failed.count() == 1 ? failed.first().at(0).toInt() : -3000;
    }

private slots:
    void initTestCase()
    {
        m_package.resize(3 * 1024 * 1024 + 123);
        QRandomGenerator generator(4711);
        for (char& byte : m_package)
            byte = char(generator.generate());
        QVERIFY(QDir(m_root.path()).mkpath(QStringLiteral("upload/pc")));
        QFile file(m_root.filePath(QStringLiteral("upload/pc/package.7z")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(m_package) == m_package.size());
        file.close();

        ReleaseServer::Options options;
        options.root = m_root.path();
        QVERIFY(m_server.start(options));
        options.tls = true;
        QVERIFY(m_tlsServer.start(options));
    }

    void successes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("direct") << "/upload/pc/package.7z";
        QTest::newRow("two redirects") << "/test/redirect?to=/test/redirect%3Fto%3D/upload/pc/package.7z";
        QTest::newRow("no length") << "/test/nolength?file=/upload/pc/package.7z";
    }

    void successes()
    {
        QFETCH(QString, path);
        TaskThread thread;
        QSignalSpy prefiltered(thread.downloadManager(), &DownloadManager::downProgress);
        QList<double> progress;
        QCOMPARE(run(thread, url(path), &progress), 1);
        QCOMPARE(contents(finalPath(thread)), m_package);
        QVERIFY(!QFile::exists(finalPath(thread) + QStringLiteral("_tmp")));
        QVERIFY2(obeysThrottle(progress) && !progress.isEmpty() && progress.last() >= 99.0,
                 qPrintable(QTest::toString(progress)));
        if (path.contains(QLatin1String("nolength")))
            QCOMPARE(progress, QList<double>{100.0}); // nothing until the end
        // Only values the window will see cross from the worker thread.
        QCOMPARE(values(prefiltered), progress);
    }

    void failures_data()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString closedUrl =
            QStringLiteral("http://127.0.0.1:%1/upload/pc/package.7z").arg(closed.serverPort());
        closed.close();
        QTest::addColumn<QString>("failingUrl");
        QTest::newRow("missing file") << url(QStringLiteral("/upload/pc/none.7z"));
        QTest::newRow("refused") << closedUrl;
        QTest::newRow("self-signed tls") << m_tlsServer.baseUrl() + QStringLiteral("/upload/pc/package.7z");
        QTest::newRow("stall") << url(QStringLiteral("/test/stall?bytes=1"));
        QTest::newRow("longer length claimed") << url(
            QStringLiteral("/test/lie?file=/upload/pc/package.7z&claimed=%1").arg(m_package.size() + 5000));
        QTest::newRow("endless redirects") << url(QStringLiteral("/test/redirect-loop"));
        QTest::newRow("redirect off http") << url(QStringLiteral("/test/redirect?to=file:///etc/hostname"));
    }

    // Every failure is code 0 with nothing under the final name, even a file
    // that was there before; the "_tmp" file stays until the next attempt,
    // which starts its progress from 0 again and succeeds.
    void failures()
    {
        QFETCH(QString, failingUrl);
        TaskThread thread;
        thread.downloadManager()->setStallSeconds(2);
        const QString final = finalPath(thread);
        QFile stale(final);
        QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("left by an earlier run") > 0);
        stale.close();

        QList<double> progress;
        QCOMPARE(run(thread, failingUrl, &progress), 0);
        QVERIFY2(obeysThrottle(progress), qPrintable(QTest::toString(progress)));
        QVERIFY(!QFile::exists(final));
        QVERIFY(QFile::exists(final + QStringLiteral("_tmp")));

        // Still reported though the failed run may have got within a point of 100.
        QCOMPARE(run(thread, packageUrl(), &progress), 1);
        QCOMPARE(contents(final), m_package);
        QVERIFY(!QFile::exists(final + QStringLiteral("_tmp")));
        QVERIFY(!progress.isEmpty() && progress.last() >= 99.0);
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

    // A download folder that is a file fails at once, before any connection;
    // a finished file that cannot take its name is a failure, not success.
    void unwritableTargets()
    {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        DownloadManager manager;
        const QString folder = manager.downloadFolder();
        QSignalSpy failed(&manager, &DownloadManager::downLoadErr);
        QSignalSpy ok(&manager, &DownloadManager::downLoadOK);

        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        manager.downloadFile(QStringLiteral("http://127.0.0.1:%1/x").arg(listener.serverPort()),
                             QStringLiteral("corvanetemp.7z"));
        QCOMPARE(failed.count(), 1);
        QVERIFY(!listener.waitForNewConnection(0));
        QVERIFY(QFile::remove(folder));

        const QString final = folder + QStringLiteral("/corvanetemp.7z");
        QVERIFY(QDir().mkpath(final + QStringLiteral("/occupied")));
        manager.downloadFile(packageUrl(), QStringLiteral("corvanetemp.7z"));
        QCOMPARE(failed.count(), 2);
        QCOMPARE(ok.count(), 0);
        QCOMPARE(contents(final + QStringLiteral("_tmp")), m_package);
    }

    // Closing the window mid-download, or right after start: cancelAndWait
    // returns once the worker has ended, with no success and nothing under
    // the final name; a retry afterwards works.
    void cancel_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("waitForData");
        QTest::newRow("trickle") << "/test/trickle?bytes=100000&chunk=2000&delay_ms=200" << true;
        QTest::newRow("silent server") << "/test/stall?bytes=2000" << true;
        QTest::newRow("racing start") << "/test/stall?bytes=10" << false;
    }

    void cancel()
    {
        QFETCH(QString, path);
        QFETCH(bool, waitForData);
        TaskThread thread;
        QSignalSpy received(thread.downloadManager(), &DownloadManager::downProgress);
        QSignalSpy success(&thread, &TaskThread::updateSuccess);
        QSignalSpy failed(&thread, &TaskThread::updateFailed);
        thread.setUrl(url(path));
        thread.start();
        if (waitForData)
            QVERIFY(received.wait(30000));
        thread.cancelAndWait();
        QVERIFY(thread.isFinished());
        if (waitForData) {
            QTRY_COMPARE(failed.count(), 1);
            QCOMPARE(failed.first().at(0).toInt(), 0);
        }
        QCoreApplication::processEvents();
        QCOMPARE(success.count(), 0);
        QVERIFY(!QFile::exists(finalPath(thread)));

        QCOMPARE(run(thread, packageUrl()), 1);
        QCOMPARE(contents(finalPath(thread)), m_package);
    }
};

NERIX_TEST_MAIN(TestDownload)
#include "test_download.moc"
