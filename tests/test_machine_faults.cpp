// Faults of the machine on real, deliberately small or read-only file
// systems: a disk that fills up during the download or the copy, and an
// install folder that cannot be written. Needs to mount a tmpfs (root).
#include "download/TaskThread.h"
#include "install/InstallThread.h"
#include "support/PackageBuilder.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <QRandomGenerator>

namespace {

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

bool runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

class TestMachineFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir* m_work = nullptr;
    QStringList m_mounts;

    // A tmpfs of the given size at dir; skips the test where that is not allowed.
    bool mountSmall(const QString& dir, const QString& options)
    {
        QDir().mkpath(dir);
        if (!runTool(QStringLiteral("mount"), {"-t", "tmpfs", "-o", options, "tmpfs", dir}))
            return false;
        m_mounts.prepend(dir);
        return true;
    }

    int install(const QString& installDir, const QString& package)
    {
        InstallThread thread;
        thread.installDir = installDir;
        thread.packagePath = package;
        thread.setInstallerDir(m_work->path() + QStringLiteral("/installer"));
        QSignalSpy success(&thread, &InstallThread::installSuccess);
        QSignalSpy failed(&thread, &InstallThread::installFailed);
        QSignalSpy finished(&thread, &QThread::finished);
        thread.start();
        if (!finished.wait(120000))
            return -2;
        QCoreApplication::processEvents();
        if (success.count() + failed.count() != 1)
            return -3;
        return success.count() ? -1 : failed.first().at(0).toInt();
    }

private slots:
    void init()
    {
        m_work = new QTemporaryDir;
        QVERIFY(m_work->isValid());
        QVERIFY(
            PackageBuilder::writeTree(m_work->path() + QStringLiteral("/installer"), {{"helper.dll", "h"}}));
    }

    void cleanup()
    {
        for (const QString& dir : qAsConst(m_mounts))
            runTool(QStringLiteral("umount"), {dir});
        m_mounts.clear();
        delete m_work;
        m_work = nullptr;
    }

    void diskFullDuringDownload()
    {
        const QString data = m_work->path() + QStringLiteral("/small-data");
        if (!mountSmall(data, QStringLiteral("size=1m")))
            QSKIP("cannot mount a tmpfs here (needs root and a sandbox that allows mounts)");
        QVERIFY(PackageBuilder::writeTree(m_work->path() + "/server", {{"big.7z", randomBytes(3 << 20)}}));
        ReleaseServer server;
        ReleaseServer::Options options;
        options.root = m_work->path() + QStringLiteral("/server");
        QVERIFY(server.start(options));

        const QByteArray oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.toUtf8());
        TaskThread task;
        qputenv("XDG_DATA_HOME", oldData);
        const QString folder = task.downloadManager()->downloadFolder();
        QVERIFY2(folder.startsWith(data), qPrintable(folder));

        QSignalSpy success(&task, &TaskThread::updateSuccess);
        QSignalSpy failed(&task, &TaskThread::updateFailed);
        task.setUrl(server.baseUrl() + QStringLiteral("/big.7z"));
        task.start();
        QVERIFY(failed.wait(60000));
        QVERIFY(task.wait(30000));
        QCOMPARE(failed.first().at(0).toInt(), 0);
        QCOMPARE(success.count(), 0);
        QVERIFY(!QFile::exists(folder + QStringLiteral("/corvanetemp.7z")));

        // Room again (the half-written file is cleared first): the retry works.
        QVERIFY(runTool(QStringLiteral("mount"), {"-o", "remount,size=8m", data}));
        task.setUrl(server.baseUrl() + QStringLiteral("/big.7z"));
        task.start();
        QVERIFY(success.wait(60000));
        QCOMPARE(QFileInfo(folder + QStringLiteral("/corvanetemp.7z")).size(), qint64(3 << 20));
    }

    void unwritableInstallFolder_data()
    {
        QTest::addColumn<QString>("options");
        QTest::newRow("disk fills during the copy") << "size=1m";
        QTest::newRow("read-only volume") << "size=8m,ro";
    }

    void unwritableInstallFolder()
    {
        QFETCH(QString, options);
        const QString package = m_work->path() + QStringLiteral("/download/corvanetemp.7z");
        PackageBuilder::Tree product;
        product[QStringLiteral("a-small.txt")] = "small";
        product[QStringLiteral("b-large.bin")] = randomBytes(3 << 20);
        QVERIFY(PackageBuilder::build(package, {{"Vantrel_x64Minimal", product}}));

        const QString volume = m_work->path() + QStringLiteral("/volume");
        if (!mountSmall(volume, options))
            QSKIP("cannot mount a tmpfs here (needs root and a sandbox that allows mounts)");
        const QString installDir = volume + QStringLiteral("/corvaneMasterRecovery");

        QCOMPARE(install(installDir, package), 4);
        QVERIFY(!QFile::exists(installDir + QStringLiteral("/Uninstall.list")));
        // A failed copy leaves no file posing as complete.
        const QFileInfo large(installDir + QStringLiteral("/b-large.bin"));
        QVERIFY(!large.exists() || large.size() == 0);
    }
};

NERIX_TEST_MAIN(TestMachineFaults)
#include "test_machine_faults.moc"
