// Faults of the machine on real, deliberately small or read-only file
// systems: a disk that fills up during the download or the copy, an install
// folder that cannot be written, and one on another volume than the package.
// Needs to mount a tmpfs (root).
#include "download/TaskThread.h"
#include "support/InstallRun.h"
#include "support/PackageBuilder.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <memory>

class TestMachineFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_work;
    QString m_mount;

    // A tmpfs with the given mount options at dir.
    bool mount(const QString& dir, const QString& options)
    {
        QDir().mkpath(dir);
        m_mount = dir;
        return QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", dir}) == 0;
    }

private slots:
    void init() { m_work = std::make_unique<QTemporaryDir>(); }

    void cleanup()
    {
        if (!m_mount.isEmpty())
            QProcess::execute("umount", {m_mount});
        m_mount.clear();
        m_work.reset();
    }

    void diskFullDuringDownload()
    {
        const QString data = m_work->path() + QStringLiteral("/small-data");
        if (!mount(data, QStringLiteral("size=1m")))
            QSKIP("cannot mount a tmpfs here (needs root and a sandbox that allows mounts)");
        QVERIFY(
            PackageBuilder::writeTree(m_work->path() + "/server", {{"big.7z", QByteArray(3 << 20, 'x')}}));
        ReleaseServer server;
        QVERIFY(server.start({m_work->path() + "/server"}));
        const QByteArray oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.toUtf8());
        TaskThread task;
        qputenv("XDG_DATA_HOME", oldData);
        const QString package = task.downloadManager()->downloadFolder() + QStringLiteral("/corvanetemp.7z");
        QVERIFY2(package.startsWith(data), qPrintable(package));

        QSignalSpy success(&task, &TaskThread::updateSuccess);
        QSignalSpy failed(&task, &TaskThread::updateFailed);
        task.setUrl(server.baseUrl() + QStringLiteral("/big.7z"));
        task.start();
        QVERIFY(failed.wait(60000) && task.wait(30000));
        QCOMPARE(failed.first().at(0).toInt(), 0);
        QCOMPARE(success.count(), 0);
        QVERIFY(!QFile::exists(package));
        // Room again (the half-written file is cleared first): the retry works.
        QCOMPARE(QProcess::execute("mount", {"-o", "remount,size=8m", data}), 0);
        task.start();
        QVERIFY(success.wait(60000));
        QCOMPARE(QFileInfo(package).size(), qint64(3 << 20));
    }

    void installFolderOnItsOwnVolume_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("code");
        QTest::newRow("disk fills during the copy") << "size=1m" << 4;
        QTest::newRow("read-only volume") << "size=8m,ro" << 4;
        // Extracted files cannot be moved there: they are copied.
        QTest::newRow("another volume") << "size=8m" << -1;
    }

    void installFolderOnItsOwnVolume()
    {
        QFETCH(QString, options);
        QFETCH(int, code);
        const QString package = m_work->path() + QStringLiteral("/download/corvanetemp.7z");
        const PackageBuilder::Tree product = {{"a-small.txt", "small"},
                                              {"b-large.bin", QByteArray(3 << 20, 'x')}};
        QVERIFY(PackageBuilder::build(package, {{"Vantrel_x64Minimal", product}}));
        QVERIFY(PackageBuilder::writeTree(m_work->path() + "/installer", {{"helper.dll", "h"}}));
        if (!mount(m_work->path() + QStringLiteral("/volume"), options))
            QSKIP("cannot mount a tmpfs here (needs root and a sandbox that allows mounts)");

        InstallThread thread;
        thread.installDir = m_work->path() + QStringLiteral("/volume/corvaneMasterRecovery");
        thread.packagePath = package;
        thread.setInstallerDir(m_work->path() + "/installer");
        const QString installDir = thread.installDir;
        QCOMPARE(runInstall(thread).result(), code);
        const QFileInfo large(installDir + QStringLiteral("/b-large.bin"));
        if (code == -1) {
            QCOMPARE(readAll(large.filePath()), product.value("b-large.bin"));
            // A copy leaves the extracted file where it was.
            QVERIFY(QFileInfo::exists(m_work->path() + "/download/Vantrel_x64Minimal/b-large.bin"));
        } else {
            // A failed copy leaves no file posing as complete.
            QVERIFY(!large.exists() || large.size() == 0);
        }
    }
};

NERIX_TEST_MAIN(TestMachineFaults)
#include "test_machine_faults.moc"
