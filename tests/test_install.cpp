// The install run on real files with the real `7z`: what lands in the install
// folder, the shortcuts and the uninstall entry, the progress values and
// links in the extracted folder; failing packages; the file copy beneath it.

#include "BuildConfig.h"
#include "core/ChannelManager.h"
#include "install/InstallThread.h"
#include "install/Shortcuts.h"
#include "install/UninstallRegistry.h"
#include "platform/FileCopy.h"
#include "platform/Registry.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

namespace {

const QString kX64 = QStringLiteral("Vantrel_x64Minimal");
const QString kWord = greenTheme ? QStringLiteral("quorbel") : QStringLiteral("corvane");

// Every file below dir, hidden ones included, as sorted relative paths.
QStringList filesBelow(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Starts the thread and waits for it to end: the progress values, and -1 for
// success or the failure code (-100 unless exactly one came before the end).
std::pair<QVector<double>, int> runInstall(InstallThread& thread, const InstallRequest& request)
{
    QVector<double> progress;
    QVector<int> endings;
    bool finished = false;
    QObject context; // the signals queued to this thread, as the window receives them
    QObject::connect(&thread, &InstallThread::installProgress, &context,
                     [&](double per) { progress << per; });
    QObject::connect(&thread, &InstallThread::installSuccess, &context, [&] { endings << -1; });
    QObject::connect(&thread, &InstallThread::installFailed, &context, [&](int code) { endings << code; });
    // Queued last: everything emitted has arrived once this has.
    QObject::connect(&thread, &QThread::finished, &context, [&] { finished = true; });
    thread.install(request);
    (void)QTest::qWaitFor([&] { return finished; }, 120000);
    return {progress, finished && endings.size() == 1 ? endings.first() : -100};
}

// Files below dir apart from the download and install folders.
QStringList outside(const QString& dir)
{
    return filesBelow(dir).filter(QRegularExpression(QStringLiteral("^(?!download/|Apps/)")));
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QTranslator m_translator;

private slots:
    void initTestCase()
    {
        QVERIFY(m_translator.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_zh.qm")));
        QCoreApplication::installTranslator(&m_translator);
    }

    void fullRun()
    {
        const QTemporaryDir work;
        const QString w = work.path(), package = w + "/download/corvaneSetupx64_min.7z";
        const QString installDir = w + "/Apps/" + kWord + "MasterRecovery", installerDir = w + "/installer";
        const PackageBuilder::Tree product = PackageBuilder::sampleProduct();
        QVERIFY(
            PackageBuilder::build(package, {{kX64, product}, {"Vantrel_x86Minimal", {{"x86.txt", "x"}}}}));
        QVERIFY(PackageBuilder::writeTree(installerDir, {{"helper.dll", "helper"},
                                                         {"nerixSetupOnline.exe", "installer"},
                                                         {"corvaneMasterInstaller.exe_data/x.bin", "x"},
                                                         {"lang/en.qm", "qm"}}));
        // No Uninstall.list: the user's file stays, the package's names replace theirs.
        QVERIFY(PackageBuilder::writeTree(installDir, {{"old/mine.txt", "mine"}, {"config.ini", "mine"}}));
        // Links an extractor may leave: only the one to a file inside the product is followed.
        const QString extracted = QFileInfo(package).path() + '/' + kX64;
        QVERIFY(QDir().mkpath(extracted) && QFile::link("..", extracted + "/up") &&
                QFile::link(package, extracted + "/secret.txt") &&
                QFile::link("README.txt", extracted + "/readme-link.txt"));
        // A fresh account has neither folder.
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QDir(desktop).removeRecursively();
        QDir(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation)).removeRecursively();

        InstallThread thread;
        InstallRequest request{installDir, package, true,
                               ChannelManager::parse(QStringLiteral("promo_spring#qotab-a1b2c3d4e5f60718")),
                               installerDir};
        const auto [progress, result] = runInstall(thread, request);
        QCOMPARE(result, -1);

        // Depth-first, folders first, case-sensitive names; hidden files and installer names left out.
        const QStringList pass1 =
            QString::fromUtf8(
                "docs/a/b/c/d/e/f/g/h/Ünïcödé 说明 (1).txt|plugins/imageformats/jpeg.plugin|"
                "plugins/platforms/offscreen.plugin|plugins/Zeta.plugin|plugins/alpha.plugin|"
                "tools/convert.dat|Qt5Morvex.dll|README.txt|config.ini|corvaneMasterRecovery.exe|"
                "corvaneMasterUninst.exe|quorbelMasterRecovery.exe|quorbelMasterUninst.exe|"
                "readme-link.txt")
                .split('|');
        const QStringList pass2 = {"lang/en.qm", "helper.dll"};
        QStringList expected = pass1 + pass2 + QStringList{"Uninstall", "Uninstall.list", "old/mine.txt"};
        expected.sort();
        QCOMPARE(filesBelow(installDir), expected);
        // The followed link (last) is a copy of what it named.
        for (const QString& file : pass1.mid(0, 6) + pass1.mid(7))
            QCOMPARE(readAll(installDir + '/' + file), product.value(file, product.value("README.txt")));
        QVERIFY(!QFileInfo(installDir + "/readme-link.txt").isSymLink());
        QVERIFY(QFileInfo(installDir + '/' + kWord + "MasterRecovery.exe").isExecutable());
        // The installer's own folder is copied, never emptied.
        QCOMPARE(filesBelow(installerDir).size(), 4);

        const QString native = QDir::toNativeSeparators(installDir);
        QCOMPARE(readAll(installDir + "/Uninstall"), QString("rd/s/q \"" + native + "\"").toUtf8());
        const QByteArray signature =
            QCryptographicHash::hash("qalto58204913_qotab_PirvOKa=", QCryptographicHash::Md5).toHex();
        QCOMPARE(readAll(installDir + "/Qt5Morvex.dll"), "spring," + signature + ",a1b2c3d4e5f60718");
        QString manifest;
        for (const QString& file : pass1 + pass2)
            manifest += installDir + '/' + file + ',';
        manifest += installDir + "/Uninstall.list," + installDir + "/Uninstall," + native + "/Qt5Morvex.dll,";
        QCOMPARE(readAll(installDir + "/Uninstall.list"), manifest.toUtf8());

        const QString name = productDisplayName();
        const QString menu =
            QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + '/' + name;
        const QString productExe = native + '/' + kWord + "MasterRecovery.exe";
        const QString uninstallerExe = native + '/' + kWord + "MasterUninst.exe";
        QCOMPARE(QFileInfo(desktop + '/' + name + ".lnk").symLinkTarget(), productExe);
        QCOMPARE(QFileInfo(menu + '/' + name + ".lnk").symLinkTarget(), productExe);
        QCOMPARE(QFileInfo(menu + QString::fromUtf8("/卸载") + name + ".lnk").symLinkTarget(),
                 uninstallerExe);
        const Registry::Key key = Registry::uninstallKey(Registry::Hive::LocalMachine, name);
        QStringList values;
        for (const char* value :
             {"DisplayIcon", "DisplayName", "DisplayVersion", "Publisher", "UninstallString"})
            values << Registry::readString(key, value);
        QCOMPARE(values, QStringList({productExe, name, "1.2.1", name, quotedCommand(uninstallerExe)}));
        // Skipped files still count: pass 1 copies 14 of 16 files, pass 2 copies 2 of 4.
        QCOMPARE(progress.size(), 1 + 14 + 2);
        QCOMPARE(progress.at(14), 14.0 / 16.0 * 70.0);
        QCOMPARE(progress.last(), 85.0);

        // The extracted files were moved away; a second run extracts them again
        // and replaces what the manifest lists (which files: test_reinstallplan),
        // the shortcuts included, but never a file of the user's: the log says
        // which link is missing and why.
        QVERIFY(PackageBuilder::writeTree(
            installDir, {{"gone/listed.dat", "x"},
                         {"Uninstall.list", (manifest + installDir + "/gone/listed.dat,").toUtf8()}}));
        QVERIFY(QFile::remove(desktop + '/' + name + ".lnk") &&
                PackageBuilder::writeTree(desktop, {{name + ".lnk", "mine"}}));
        QTest::ignoreMessage(QtDebugMsg,
                             QRegularExpression("^shortcut failed \".*/" + QRegularExpression::escape(name) +
                                                "\\.lnk\" \".+\"$"));
        QCOMPARE(runInstall(thread, request).second, -1);
        QCOMPARE(filesBelow(installDir), expected);
        QVERIFY(!QFileInfo::exists(installDir + "/gone"));
        QCOMPARE(QFileInfo(menu + '/' + name + ".lnk").symLinkTarget(), productExe);
        QCOMPARE(readAll(desktop + '/' + name + ".lnk"), QByteArray("mine"));
    }

    // Failing packages end in their code; nothing outside the extraction and
    // install folders is written or removed, and the install folder is left
    // as it was, its space given back. A full volume needs root to mount.
    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("missing package") << "missing" << 1;
        QTest::newRow("32-bit run, 64-bit folder only") << "x86" << 3;
        // 7z would wait for a password on its input.
        QTest::newRow("encrypted") << "encrypted" << 3;
        // The other files extract; 7z reports the damaged one in its exit code.
        QTest::newRow("one file fails its CRC") << "crc" << 3;
        QTest::newRow("7z not on the path") << "no7z" << 3;
        // README.txt is moved by pass 1 and found again beside the installer.
        QTest::newRow("file in both folders") << "both" << 4;
        // Were the empty folder taken as the working directory, it would be emptied.
        QTest::newRow("no install folder") << "noInstallDir" << 4;
        QTest::newRow("full volume") << "full" << 4;
    }

    void failures()
    {
        if (greenTheme)
            QSKIP("the edition changes no failure path");
        QFETCH(QString, kind);
        QFETCH(int, code);
        const QTemporaryDir dir;
        const QString work = dir.path(), package = work + "/download/corvanetemp.7z";
        const QString volume = work + "/Apps", installDir = volume + "/corvane";
        const QByteArray at = QFile::encodeName(volume);
        if (kind == "full" &&
            (!QDir().mkpath(volume) || ::mount("nerix", at.constData(), "tmpfs", 0, "size=256k")))
            QSKIP("a small volume needs root to mount");
        const auto unmount = qScopeGuard([&] { ::umount2(at.constData(), MNT_DETACH); });
        const auto freeBytes = [&] {
            return kind == "full" ? QStorageInfo(volume).bytesAvailable() : 0;
        };
        QVERIFY(PackageBuilder::writeTree(work + "/installer", {{"helper.dll", "h"}}));
        QVERIFY(PackageBuilder::writeTree(installDir, {{"old/stale.txt", "stale"}}));
        PackageBuilder::Tree tree = PackageBuilder::sampleProduct();
        if (kind == "full")
            tree["big.dat"] = QByteArray(1 << 20, 'b');
        // Stored, so that a byte of a file's data can be damaged.
        QVERIFY(kind == "missing" ||
                PackageBuilder::build(package, {{kX64, tree}}, {kind == "encrypted" ? "-psecret" : "-mx0"}));
        if (kind == "crc") {
            QByteArray bytes = readAll(package);
            bytes[bytes.indexOf("tool data")] = 'T';
            QVERIFY(PackageBuilder::writeTree(work + "/download", {{"corvanetemp.7z", bytes}}));
        }
        if (kind == "both")
            QVERIFY(PackageBuilder::writeTree(work + "/installer", {{"README.txt", "clash"}}));
        const QStringList before = outside(work);
        const qint64 free = freeBytes();

        InstallThread thread;
        const InstallRequest request{kind == "noInstallDir" ? QString() : installDir, package, kind != "x86",
                                     ChannelFields(), work + "/installer"};
        const QByteArray path = qgetenv("PATH");
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(work);
        qputenv("PATH", kind == "no7z" ? work.toUtf8() : path);
        const auto [progress, result] = runInstall(thread, request);
        qputenv("PATH", path);
        QDir::setCurrent(cwd);

        QCOMPARE(result, code);
        QCOMPARE(outside(work), before);
        QCOMPARE(filesBelow(installDir), QStringList{"old/stale.txt"});
        QCOMPARE(freeBytes(), free);
        if (kind != "both" && kind != "full")
            QCOMPARE(progress, QVector<double>{0.0}); // the folder untouched
        if (kind == "full") {
            QCOMPARE(::mount("nerix", at.constData(), "tmpfs", MS_REMOUNT, "size=4m"), 0);
            QCOMPARE(runInstall(thread, request).second, -1);
        }
    }

    // Moving an extracted file into place: never over an existing file; across
    // volumes (/dev/shm is a tmpfs) a copy, the source kept; a copy cut off by a
    // full disk (here the file size limit) leaves no file posing as complete.
    void moveOrCopy_data()
    {
        QTest::addColumn<QString>("to"); // "here" or "shm", and the name; "a" exists here
        QTest::addColumn<QString>("outcome");
        for (const char* row : {"moved here/b moved", "never-replaces here/a refused",
                                "across-volumes shm/a copied", "disk-full shm/full refused"}) {
            const QStringList words = QString(row).split(' ');
            QTest::newRow(qPrintable(words[0])) << words[1] << words[2];
        }
    }
    void moveOrCopy()
    {
        QFETCH(QString, to);
        QFETCH(QString, outcome);
        const QTemporaryDir work, shm("/dev/shm/nerix-XXXXXX");
        const bool otherVolume = to.startsWith("shm");
        const QByteArray content(3 << 20, 'n');
        const QString from = work.path() + "/from/a",
                      target = (otherVolume ? shm : work).filePath("to/" + to.section(QLatin1Char('/'), 1));
        QVERIFY(PackageBuilder::writeTree(work.path(), {{"from/a", content}, {"to/a", "old"}}) &&
                QDir().mkpath(shm.filePath("to")));
        rlimit limit, full{1 << 20, RLIM_INFINITY};
        getrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, SIG_IGN); // a failed write instead of the end of the process
        if (to.endsWith("full"))
            setrlimit(RLIMIT_FSIZE, &full);
        QCOMPARE(FileCopy::moveOrCopyNew(from, target), outcome != "refused");
        setrlimit(RLIMIT_FSIZE, &limit);
        QCOMPARE(readAll(target), outcome != "refused" ? content : otherVolume ? "" : "old");
        QCOMPARE(QFile::exists(target), outcome != "refused" || !otherVolume);
        QCOMPARE(QFile::exists(from), outcome != "moved");
    }
};

NERIX_TEST_MAIN(TestInstall)
#include "test_install.moc"
