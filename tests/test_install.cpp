// The install run end to end on real files with the real `7z`: what lands in
// the install folder, the shortcuts and the uninstall entry, the progress
// values, every failure code, links in a package and cancellation.

#include "BuildConfig.h"
#include "app/ChannelManager.h"
#include "install/InstallThread.h"
#include "install/Shortcuts.h"
#include "install/UninstallRegistry.h"
#include "platform/Registry.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTranslator>
#include <memory>

namespace {

const QString kX64 = QStringLiteral("Vantrel_x64Minimal");
const QString kWord = greenTheme ? QStringLiteral("quorbel") : QStringLiteral("corvane");
const QString kProductExe = kWord + QStringLiteral("MasterRecovery.exe");
const QString kUninstallerExe = kWord + QStringLiteral("MasterUninst.exe");

struct Outcome
{
    QVector<double> progress;
    int successes = 0;
    QVector<int> failures;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every entry below dir, hidden ones included, as sorted relative paths.
QStringList filesBelow(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

// 7-Zip processes whose parent is this test process.
int sevenZipChildren()
{
    int count = 0;
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray stat = readAll(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        const int close = stat.lastIndexOf(')'); // pid (comm) state ppid ...
        const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
        count += close > 0 && rest.size() > 1 && rest.at(1) == self && stat.contains("(7z)");
    }
    return count;
}

QString link(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + '/' +
           productDisplayName() + '/' + name + productDisplayName() + ".lnk";
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { m_work.reset(); }

    void fullRun();
    void progressValues();
    void failures_data();
    void failures();
    void linksInPackage();
    void cancelDuringExtraction_data();
    void cancelDuringExtraction();
    void uninstallEntryFollowsLanguage();
    void samplePackageRoundTrip();

private:
    void prepare(InstallThread& thread);
    Outcome run(InstallThread& thread);
    // `7z a` of the product folder under staging, with extra switches.
    bool archiveStaging(const QStringList& switches);

    std::unique_ptr<QTemporaryDir> m_work;
    QString m_package;
    QString m_installDir;
    QString m_installerDir;
    QTranslator m_translator;
};

void TestInstall::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("7z")).isEmpty(),
             "the tests need the 7z program");
    QVERIFY(m_translator.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_zh.qm")));
    QCoreApplication::installTranslator(&m_translator);
}

void TestInstall::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    m_package = m_work->path() + QStringLiteral("/download/corvaneSetupx64_min.7z");
    m_installDir = m_work->path() + QStringLiteral("/Apps/") + kWord + QStringLiteral("MasterRecovery");
    m_installerDir = m_work->path() + QStringLiteral("/installer");
    QVERIFY(PackageBuilder::writeTree(m_installerDir, {{QStringLiteral("helper.dll"), "helper"}}));
}

void TestInstall::prepare(InstallThread& thread)
{
    thread.installDir = m_installDir;
    thread.packagePath = m_package;
    thread.setInstallerDir(m_installerDir);
}

Outcome TestInstall::run(InstallThread& thread)
{
    // Queued into this thread: everything emitted has arrived once finished has.
    Outcome outcome;
    bool done = false;
    QObject context;
    connect(&thread, &InstallThread::installProgress, &context, [&](double per) { outcome.progress << per; });
    connect(&thread, &InstallThread::installSuccess, &context, [&] { ++outcome.successes; });
    connect(&thread, &InstallThread::installFailed, &context, [&](int code) { outcome.failures << code; });
    connect(&thread, &QThread::finished, &context, [&] { done = true; });
    thread.start();
    [&] {
        QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
    }();
    return outcome;
}

bool TestInstall::archiveStaging(const QStringList& switches)
{
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(m_work->path() + "/staging");
    QDir().mkpath(QFileInfo(m_package).path());
    sevenZip.start("7z", QStringList{"a", "-bd"} + switches + QStringList{m_package, kX64});
    return sevenZip.waitForFinished(-1) && sevenZip.exitCode() == 0;
}

void TestInstall::fullRun()
{
    const PackageBuilder::Tree product = PackageBuilder::sampleProduct();
    QVERIFY(
        PackageBuilder::build(m_package, {{kX64, product}, {"Vantrel_x86Minimal", {{"x86-only.txt", "x"}}}}));
    QVERIFY(PackageBuilder::writeTree(m_installerDir, {{"nerixSetupOnline.exe", "installer"},
                                                       {"corvaneMasterInstaller.exe_data/x.bin", "x"},
                                                       {"lang/en.qm", "qm"}}));
    ChannelManager::instance()->parseChannel(QStringLiteral("promo_spring#qotab-a1b2c3d4e5f60718"));

    InstallThread thread;
    prepare(thread);
    Outcome outcome = run(thread);
    QCOMPARE(outcome.failures, QVector<int>());
    QCOMPARE(outcome.successes, 1);

    // Depth-first, folders first, case-sensitive names; hidden files and installer names left out.
    const QStringList pass1 = {"plugins/imageformats/jpeg.plugin",
                               "plugins/platforms/offscreen.plugin",
                               "plugins/Zeta.plugin",
                               "plugins/alpha.plugin",
                               "tools/convert.dat",
                               "Qt5Morvex.dll",
                               "README.txt",
                               "config.ini",
                               "corvaneMasterRecovery.exe",
                               "corvaneMasterUninst.exe",
                               "quorbelMasterRecovery.exe",
                               "quorbelMasterUninst.exe"};
    const QStringList pass2 = {"lang/en.qm", "helper.dll"};
    QStringList expectedFiles = pass1 + pass2 + QStringList{"Uninstall", "Uninstall.list"};
    expectedFiles.sort();
    QCOMPARE(filesBelow(m_installDir), expectedFiles);
    for (const QString& file : pass1.mid(0, 5) + pass1.mid(6))
        QCOMPARE(readAll(m_installDir + '/' + file), product.value(file));
    QCOMPARE(readAll(m_installDir + "/helper.dll"), QByteArray("helper"));
    QVERIFY(QFileInfo(m_installDir + '/' + kProductExe).isExecutable());

    const QString native = QDir::toNativeSeparators(m_installDir);
    QCOMPARE(thread.installDir, native);
    QCOMPARE(readAll(m_installDir + "/Uninstall"), QString("rd/s/q \"" + native + "\"").toUtf8());
    const QByteArray signature =
        QCryptographicHash::hash("qalto58204913_qotab_PirvOKa=", QCryptographicHash::Md5).toHex();
    QCOMPARE(readAll(m_installDir + "/Qt5Morvex.dll"),
             QByteArray("spring," + signature + ",a1b2c3d4e5f60718"));
    QByteArray manifest;
    for (const QString& file : pass1 + pass2)
        manifest += QString(m_installDir + '/' + file + ',').toUtf8();
    manifest +=
        QString(m_installDir + "/Uninstall.list," + m_installDir + "/Uninstall," + native + "/Qt5Morvex.dll,")
            .toUtf8();
    QCOMPARE(readAll(m_installDir + "/Uninstall.list"), manifest);

    const QString name = productDisplayName();
    const QString productExe = native + '/' + kProductExe;
    const QString uninstallerExe = native + '/' + kUninstallerExe;
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QVERIFY(desktop.startsWith(TestEnvironment::home()));
    QCOMPARE(QFileInfo(desktop + '/' + name + ".lnk").symLinkTarget(), productExe);
    QCOMPARE(QFileInfo(link(QString())).symLinkTarget(), productExe);
    QCOMPARE(QFileInfo(link(QString::fromUtf8("卸载"))).symLinkTarget(), uninstallerExe);
    const QString key = Registry::uninstallKey(name);
    const std::pair<const char*, QString> values[] = {{"DisplayIcon", productExe},
                                                      {"DisplayName", name},
                                                      {"DisplayVersion", "1.2.1"},
                                                      {"Publisher", name},
                                                      {"UninstallString", uninstallerExe}};
    for (const auto& [value, expected] : values)
        QCOMPARE(Registry::readString(key, value), expected);

    // Skipped files still count: pass 1 copies 12 of 13 files, pass 2 copies 2 of 4.
    QCOMPARE(outcome.progress.size(), 1 + 12 + 2);
    QCOMPARE(outcome.progress.at(12), 12.0 / 13.0 * 70.0);
    QCOMPARE(outcome.progress.last(), 85.0);

    // A second run replaces everything, the shortcuts included.
    thread.installDir = m_installDir;
    QCOMPARE(run(thread).successes, 1);
    QCOMPARE(QFileInfo(link(QString())).symLinkTarget(), productExe);
}

void TestInstall::progressValues()
{
    PackageBuilder::Tree product;
    for (int i = 0; i < 40; ++i)
        product[QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0'))] = QByteArray::number(i);
    PackageBuilder::Tree installer{{"nerixSetupOnline.exe", "running installer"}};
    for (int i = 0; i < 8; ++i)
        installer[QStringLiteral("d/i%1").arg(i)] = "i";
    QVERIFY(PackageBuilder::build(m_package, {{kX64, product}}));
    QVERIFY(PackageBuilder::writeTree(m_installerDir, installer));

    InstallThread thread;
    prepare(thread);
    const Outcome outcome = run(thread);
    QCOMPARE(outcome.successes, 1);
    QVector<double> expected = {0.0};
    for (int i = 1; i <= 40; ++i)
        expected << 1.75 * i;
    for (int i = 1; i <= 9; ++i)
        expected << 70.0 + 3.0 * i;
    QCOMPARE(outcome.progress, expected);
}

void TestInstall::failures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("progressCount");
    QTest::newRow("missing package") << "missing" << 1 << 1;
    QTest::newRow("32-bit run, 64-bit folder only") << "x86" << 3 << 1;
    QTest::newRow("truncated") << "truncated" << 3 << 1;
    // 7z would wait for a password on its input.
    QTest::newRow("encrypted") << "encrypted" << 3 << 1;
    QTest::newRow("7z not on the path") << "no7z" << 3 << 1;
    // README.txt is copied by pass 1 and found again beside the installer.
    QTest::newRow("file in both folders") << "both" << 4 << 1 + 12;
    QTest::newRow("no install folder") << "noInstallDir" << 4 << 1;
}

void TestInstall::failures()
{
    QFETCH(QString, kind);
    QFETCH(int, code);
    QFETCH(int, progressCount);

    const PackageBuilder::Tree product = PackageBuilder::sampleProduct();
    if (kind == "truncated" || kind == "encrypted") {
        QVERIFY(PackageBuilder::writeTree(m_work->path() + "/staging/" + kX64, product));
        QVERIFY(archiveStaging(kind == "encrypted" ? QStringList{"-psecret"} : QStringList()));
        if (kind == "truncated")
            QVERIFY(QFile::resize(m_package, QFileInfo(m_package).size() / 2));
    } else if (kind != "missing") {
        QVERIFY(PackageBuilder::build(m_package, {{kX64, product}}));
    }
    if (kind == "both")
        QVERIFY(PackageBuilder::writeTree(m_installerDir, {{"README.txt", "clash"}}));
    // Something of an earlier install that the run must clear.
    QVERIFY(PackageBuilder::writeTree(m_installDir, {{"old/stale.txt", "stale"}}));

    InstallThread thread;
    prepare(thread);
    thread.is64Bit = kind != "x86";
    const QByteArray path = qgetenv("PATH");
    const QString cwd = QDir::currentPath();
    if (kind == "noInstallDir") {
        // Were the empty folder taken as the working directory, this would go.
        QDir::setCurrent(m_work->path());
        thread.installDir.clear();
    }
    if (kind == "no7z")
        qputenv("PATH", m_work->path().toUtf8());
    const Outcome outcome = run(thread);
    qputenv("PATH", path);
    QDir::setCurrent(cwd);

    QCOMPARE(outcome.failures, QVector<int>{code});
    QCOMPARE(outcome.successes, 0);
    QCOMPARE(outcome.progress.size(), progressCount);
    QVERIFY(!QFile::exists(m_installDir + "/Uninstall.list"));
    if (kind == "noInstallDir") {
        QVERIFY(QFile::exists(m_package));
        QVERIFY(QFile::exists(m_installDir + "/old/stale.txt"));
    } else if (kind == "both") {
        QCOMPARE(readAll(m_installDir + "/README.txt"), product.value("README.txt"));
        QVERIFY(!QFile::exists(m_installDir + "/helper.dll"));
    } else {
        QCOMPARE(filesBelow(m_installDir), QStringList());
        QVERIFY(QFileInfo(m_installDir).isDir());
    }
}

void TestInstall::linksInPackage()
{
    // This 7z neutralises links that leave the archive, others recreate
    // them; the run must cope with what an extractor leaves beside the package.
    const QString staging = m_work->path() + "/staging";
    QVERIFY(PackageBuilder::writeTree(staging + '/' + kX64, PackageBuilder::sampleProduct()));
    QVERIFY(QFile::link("README.txt", staging + '/' + kX64 + "/readme-link.txt"));
    QVERIFY(PackageBuilder::archive(m_package, staging, {kX64}));
    QVERIFY(PackageBuilder::writeTree(m_work->path() + "/outside", {{"secret.txt", "secret"}}));
    const QString extracted = QFileInfo(m_package).path() + '/' + kX64;
    QVERIFY(QDir().mkpath(extracted + "/plugins"));
    QVERIFY(QFile::link("..", extracted + "/plugins/up"));
    QVERIFY(QFile::link(m_work->path(), extracted + "/work"));
    QVERIFY(QFile::link(m_work->path() + "/outside/secret.txt", extracted + "/secret.txt"));
    QVERIFY(QFile::link("../../../outside/secret.txt", extracted + "/plugins/relative-secret.txt"));
    QVERIFY(QFileInfo(extracted + "/plugins/relative-secret.txt").isFile());

    InstallThread thread;
    prepare(thread);
    const Outcome outcome = run(thread);
    QCOMPARE(outcome.failures, QVector<int>());
    QCOMPARE(outcome.successes, 1);

    const QStringList files = filesBelow(m_installDir);
    QVERIFY(files.contains("plugins/imageformats/jpeg.plugin"));
    QCOMPARE(files.filter("secret").size() + files.filter("up/").size() + files.filter("work/").size(), 0);
    QVERIFY(!QFileInfo(m_installDir + "/readme-link.txt").isSymLink());
    QCOMPARE(readAll(m_installDir + "/readme-link.txt"), QByteArray("Sample product\n"));
    QVERIFY(!readAll(m_installDir + "/Uninstall.list").contains("secret"));
    // 16 listed in pass 1; the two links to outside and one installer name are skipped but counted.
    QCOMPARE(outcome.progress.at(outcome.progress.size() - 2), 13.0 / 16.0 * 70.0);
}

void TestInstall::cancelDuringExtraction_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("cancelAndWait") << false;
    QTest::newRow("destructor") << true;
}

void TestInstall::cancelDuringExtraction()
{
    QFETCH(bool, destroy);
    // PPMd takes as long to unpack random data as to pack it: a few seconds of 7z work from a small file.
    QByteArray payload(6 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(payload.data()), payload.size() / 4);
    QVERIFY(PackageBuilder::writeTree(m_work->path() + "/staging/" + kX64, {{"payload.bin", payload}}));
    QVERIFY(archiveStaging({"-m0=PPMd", "-mx9"}));

    auto thread = std::make_unique<InstallThread>();
    prepare(*thread);
    Outcome outcome;
    auto context = std::make_unique<QObject>();
    connect(thread.get(), &InstallThread::installSuccess, context.get(), [&] { ++outcome.successes; });
    connect(thread.get(), &InstallThread::installFailed, context.get(),
            [&](int failed) { outcome.failures << failed; });
    thread->start();
    QTRY_VERIFY_WITH_TIMEOUT(sevenZipChildren() == 1, 30000);

    if (destroy) {
        thread.reset();
    } else {
        thread->cancelAndWait();
        QVERIFY(thread->isFinished());
    }
    QCOMPARE(sevenZipChildren(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(outcome.successes, 0);
    QCOMPARE(outcome.failures, QVector<int>());
    QVERIFY(!QFile::exists(m_installDir + "/payload.bin"));
    context.reset();

    if (thread) {
        // A cancelled thread runs in full when started again.
        QCOMPARE(run(*thread).successes, 1);
        QCOMPARE(QFileInfo(m_installDir + "/payload.bin").size(), qint64(payload.size()));
    }
}

void TestInstall::uninstallEntryFollowsLanguage()
{
    // Written under the install run's name, read back under the one the existing-install check asks for.
    const QString chinese = greenTheme ? QStringLiteral("Quorbel") : QStringLiteral("Corvane");
    const auto uninstaller = [] {
        const QString name = greenTheme ? QObject::tr("language6") : QObject::tr("language7");
        return Registry::readString(Registry::uninstallKey(name), "UninstallString");
    };
    QCOMPARE(productDisplayName(), chinese);
    writeUninstallEntry(productDisplayName(), "/opt/zh/" + kProductExe, "/opt/zh/" + kUninstallerExe);
    writeUninstallEntry(productDisplayName(), "/opt/zh 2/" + kProductExe, "/opt/zh 2/" + kUninstallerExe);
    QCOMPARE(uninstaller(), "/opt/zh 2/" + kUninstallerExe);

    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_en.qm")));
    QCoreApplication::installTranslator(&english);
    QCOMPARE(productDisplayName(), greenTheme ? QStringLiteral("Corvanix2") : QStringLiteral("Corvanix"));
    QCOMPARE(uninstaller(), QString());
    writeUninstallEntry(productDisplayName(), "/opt/en/" + kProductExe, "/opt/en/" + kUninstallerExe);
    QCOMPARE(uninstaller(), "/opt/en/" + kUninstallerExe);
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(uninstaller(), "/opt/zh 2/" + kUninstallerExe);
}

// The generated sample package installs, its product runs through the desktop
// shortcut, and its uninstaller, found through the uninstall entry, takes
// everything away again.
void TestInstall::samplePackageRoundTrip()
{
    const QString download = QFileInfo(m_package).path();
    const auto runs = [](const QString& program, const QStringList& arguments = {}) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    };
    QVERIFY(runs("python3", {TestEnvironment::sourceDir() + "/tools/make_sample_packages.py", download}));
    InstallThread thread;
    prepare(thread);
    thread.packagePath = download + "/" + kWord + "Setupx64_min.7z";
    thread.installDir = m_installDir =
        m_work->path() + "/My Apps/" + kWord + "MasterRecovery"; // a blank, as users pick
    QCOMPARE(run(thread).successes, 1);

    const QString desktopLink = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + '/' +
                                productDisplayName() + ".lnk";
    QVERIFY(runs(desktopLink));
    QVERIFY(readAll(TestEnvironment::home() + "/.local/state/" + kWord + "-launched.log")
                .contains(m_installDir.toUtf8()));
    const QString key = Registry::uninstallKey(productDisplayName());
    QVERIFY(runs(Registry::readString(key, "UninstallString")));
    QVERIFY(!QFileInfo::exists(m_installDir));
    QVERIFY(!QFileInfo(desktopLink).isSymLink());
    QVERIFY(!QFileInfo::exists(QFileInfo(link(QString())).path()));
    QVERIFY(!QFileInfo::exists(Registry::backingFile(key)));
}

NERIX_TEST_MAIN(TestInstall)
#include "test_install.moc"
