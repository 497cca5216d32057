#include "download/DownloadManager.h"
#include "download/TaskThread.h"
#include "support/PackageBuilder.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <cmath>

// The package download against the real release server on 127.0.0.1. The
// suite's core trusts two keys of its own: every package here is signed.
class TestDownload : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    ReleaseServer m_server, m_tls;
    QByteArray m_package, m_newVersion;
    const QString m_path = QStringLiteral("/upload/pc/package.7z");
    const QString m_folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString m_final = m_folder + QStringLiteral("/corvanetemp.7z");

    QString url(const QString& path) const { return m_server.baseUrl() + path; }

    // One download through the thread, as the window runs it: the code of
    // updateFailed, or 1 for a single success with the file under its final name.
    // What the window may see: finite, rising by at least one point, at most
    // 100 and, while the length is known, by no more than one 100 KiB block.
    int run(TaskThread& thread, const QString& from, bool steady = true)
    {
        QSignalSpy progress(&thread, &TaskThread::updateProgress);
        QSignalSpy success(&thread, &TaskThread::updateSuccess);
        QSignalSpy failed(&thread, &TaskThread::updateFailed);
        thread.findChild<DownloadManager*>()->setFirstRetryWaitMs(10);
        thread.download({from});
        if (!QTest::qWaitFor([&] { return success.count() + failed.count() > 0 && thread.isFinished(); },
                             60000))
            return -1000;
        double last = 0.0;
        for (int i = 0; i < progress.size(); ++i) {
            const double per = progress.at(i).at(0).toDouble();
            if (!std::isfinite(per) || per - last < 1.0 || per > 100.0 || (steady && per - last > 4.5))
                return -4000 - i;
            last = per;
        }
        if (success.isEmpty())
            return failed.count() == 1 ? failed.first().at(0).toInt() : -3000;
        return success.count() == 1 && failed.isEmpty() && success.first().at(0) == m_final && last >= 99
                   ? 1
                   : -2000;
    }

private slots:
    void initTestCase()
    {
        m_package.resize(3 * 1024 * 1024 + 123);
        QRandomGenerator::global()->generate(m_package.begin(), m_package.end());
        m_newVersion = m_package.mid(7) + "version 2"; // every byte moved
        QVERIFY(PackageBuilder::writeTree(m_root.path(), {{m_path.mid(1), m_package},
                                                          {"upload/pc/package-v2.7z", m_newVersion},
                                                          {"upload/pc/replaced.7z", m_package}}));
        for (const char* name : {"package.7z", "package-v2.7z"})
            QVERIFY(PackageBuilder::sign(m_root.filePath(QStringLiteral("upload/pc/") + name)));
        // Replaced while it was fetched, signature and all.
        QVERIFY(QFile::copy(m_root.filePath("upload/pc/package-v2.7z.minisig"),
                            m_root.filePath("upload/pc/replaced.7z.minisig")));
        // The same files over plain HTTP and over TLS.
        QVERIFY(m_server.start({m_root.path()}) && m_tls.start({m_root.path(), {0}, true}));
    }

    // ranges: the Range header of each request to the path, when given. The
    // file comes last in a query, so "<url>.minisig" names its signature. The
    // signature rows serve one small package under /sig/ with a signature made
    // for it, or spoilt after it was made; the verdicts themselves are
    // test_package_signature's.
    void download_data()
    {
        const qint64 cut = m_package.size() * 4 / 10;
        const auto at40 = [&](const QString& how, const QString& file) {
            return url(QStringLiteral("/test/flaky?cut=%1&cuts=1%2&file=%3").arg(cut).arg(how, file));
        };
        const QStringList once{"", QStringLiteral("bytes=%1-\"").arg(cut)};
        QTest::addColumn<QString>("from");
        QTest::addColumn<QByteArray>("result");  // empty: the download fails
        QTest::addColumn<QStringList>("ranges"); // each request's Range, '"' if If-Range has an ETag
        QTest::addColumn<QString>("verdict");    // the signature's, in the log; "verified" alone installs
        auto row = [](const char* name, const QString& from, const QByteArray& result = {},
                      const QStringList& ranges = {}, const QString& verdict = {}) {
            QTest::newRow(name) << from << result << ranges << verdict;
        };
        row("direct", url(m_path), m_package);
        row("no length", url("/test/nolength?file=" + m_path), m_package);
        row("closed at 40 %", at40("", m_path), m_package, once);
        row("stalled at 40 %", at40("&how=stall", m_path), m_package, once);
        row("503 to the range", at40("&busy=1", m_path), m_package, once + once.mid(1));
        row("range ignored", at40("&ranges=ignore", m_path), m_package, once);
        row("new version", at40("&then=/upload/pc/package-v2.7z", "/upload/pc/replaced.7z"), m_newVersion,
            once);
        row("missing file", url("/upload/pc/none.7z"));
        row("untrusted tls", m_tls.baseUrl() + m_path);
        row("https to http", m_tls.baseUrl() + "/test/redirect?to=" + url(m_path));
        row("length claimed, no validator",
            url(QStringLiteral("/test/lie?file=%1&claimed=%2").arg(m_path).arg(m_package.size() + 5000)));
        row("endless redirects", url("/test/redirect-loop"));
        row("redirect off http", url("/test/redirect?to=file:///etc/hostname"));

        const QByteArray small = m_package.left(200 * 1024);
        const QString verified = QStringLiteral("signature verified");
        // how: 'p' prehashed, 'l' legacy, 'c' prehashed and then a byte changed,
        // 'o' with an oversized trusted comment, '-' not signed.
        const auto signedRow = [&](const char* name, char how, const QString& verdict,
                                   const QString& via = {}) {
            const QString path = QStringLiteral("sig/%1.7z").arg(QString(name).replace(' ', '-'));
            const QByteArray changed = small.left(5000) + char(~small[5000]) + small.mid(5001);
            QVERIFY(PackageBuilder::writeTree(m_root.path(), {{path, small}}));
            QVERIFY(how == '-' || PackageBuilder::sign(m_root.filePath(path),
                                                       how == 'l'   ? QStringList{"-l"}
                                                       : how == 'o' ? QStringList{"-t", QString(4000, 'x')}
                                                                    : QStringList()));
            QVERIFY(how != 'c' || PackageBuilder::writeTree(m_root.path(), {{path, changed}}));
            row(name, url(via + '/' + path), verdict == verified ? small : QByteArray(), {}, verdict);
        };
        signedRow("legacy", 'l', verified);
        signedRow("through a redirect", 'p', verified, QStringLiteral("/test/redirect?to="));
        signedRow("changed byte", 'c', QStringLiteral("the package is not the one signed"));
        signedRow("oversized", 'o', QStringLiteral("larger than 4096 bytes"));
        signedRow("missing signature", '-', QStringLiteral("status 404"));
    }

    // A broken-off transfer resumes inside the one call, If-Range naming the
    // first answer's ETag. A failure is code 0 with nothing under the final
    // name, even a file from before; the "_tmp" file stays until the next
    // run, whose progress starts from 0 again. A package whose signature
    // fails is a failure with a code of its own: nothing of it is left to
    // extract, and the log says why.
    void download()
    {
        QFETCH(QString, from);
        QFETCH(QByteArray, result);
        QFETCH(QStringList, ranges);
        QFETCH(QString, verdict);
        const bool rejected = !verdict.isEmpty() && result.isEmpty();
        if (!verdict.isEmpty())
            QTest::ignoreMessage(QtDebugMsg,
                                 QRegularExpression("^load .*" + QRegularExpression::escape(verdict)));
        TaskThread thread;
        thread.findChild<DownloadManager*>()->setStallSeconds(1);
        if (QByteArray(QTest::currentDataTag()) != "untrusted tls")
            thread.findChild<DownloadManager*>()->setCaFile(m_tls.certificatePath());
        QVERIFY(PackageBuilder::writeTree(m_folder, {{"corvanetemp.7z", "x"}})); // left by an earlier run

        QCOMPARE(run(thread, from, verdict.isEmpty() && !from.contains("nolength")),
                 rejected ? int(TaskThread::Failure::SignatureRejected) : int(!result.isEmpty()));
        QCOMPARE(readAll(m_final), result);
        QCOMPARE(QFile::exists(m_final + "_tmp"), result.isEmpty() && !rejected);
        QStringList seen;
        for (const QJsonObject& request : m_server.requests())
            if (m_server.baseUrl() + request.value("path").toString() == from)
                seen << request.value("range").toString() + request.value("ifRange").toString().left(1);
        QVERIFY2(ranges.isEmpty() || seen == ranges, qPrintable(seen.join(',')));
        if (result.isEmpty()) {
            QCOMPARE(run(thread, url(m_path)), 1);
            QCOMPARE(readAll(m_final), m_package);
        }
    }

    // The folder is named after the executable and may hold another
    // program's data: only the installer's own leftovers go. A download
    // folder that is a file fails at once, before any connection; a finished
    // file that cannot take its name is a failure, not success.
    void downloadFolder()
    {
        const QDir dir(m_folder);
        for (const char* name : {"corvanetemp.7z", "corvanetemp.7z_tmp/x", "Vantrel_x86Minimal/b",
                                 "foreign.txt", "foreign/data"})
            QVERIFY(PackageBuilder::writeTree(m_folder, {{name, "x"}}));
        QVERIFY(QFile::link(dir.filePath("foreign"), dir.filePath("Vantrel_x64Minimal")));
        TaskThread thread;
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 QStringList({"foreign", "foreign.txt"}));
        QVERIFY(QFile::exists(dir.filePath("foreign/data")));

        const int requests = m_server.requests().size();
        QFile asFile(m_folder);
        QVERIFY(QDir(m_folder).removeRecursively() && asFile.open(QIODevice::WriteOnly));
        QCOMPARE(run(thread, url(m_path)), 0);
        QVERIFY(m_server.requests().size() == requests && QFile::remove(m_folder));

        QVERIFY(QDir().mkpath(m_final + "/occupied"));
        QCOMPARE(run(thread, url(m_path)), 0);
        QCOMPARE(readAll(m_final + "_tmp"), m_package);
    }

    // Closing the window right after start, or while waiting to resume:
    // cancelAndWait returns within two seconds, once the worker has ended,
    // with no success and nothing under the final name.
    void cancel()
    {
        TaskThread thread;
        thread.findChild<DownloadManager*>()->setFirstRetryWaitMs(60000);
        QSignalSpy success(&thread, &TaskThread::updateSuccess);
        QSignalSpy waiting(thread.findChild<DownloadManager*>(), &DownloadManager::waitingToResume);
        for (bool racing : {true, false}) {
            thread.download(
                {url(QStringLiteral("/test/flaky?file=%1&cut=1000&racing=%2").arg(m_path).arg(racing))});
            QVERIFY(racing || waiting.wait(30000));
            const QDeadlineTimer twoSeconds(2000);
            thread.cancelAndWait();
            QVERIFY(!twoSeconds.hasExpired());
        }
        QCoreApplication::processEvents();
        QVERIFY(success.isEmpty() && !QFile::exists(m_final));
    }
};

NERIX_TEST_MAIN(TestDownload)
#include "test_download.moc"
