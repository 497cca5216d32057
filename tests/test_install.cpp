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
const QString kX86 = QStringLiteral("Vantrel_x86Minimal");
const QString kProductExe =
    greenTheme ? QStringLiteral("quorbelMasterRecovery.exe") : QStringLiteral("corvaneMasterRecovery.exe");
const QString kUninstallerExe =
    greenTheme ? QStringLiteral("quorbelMasterUninst.exe") : QStringLiteral("corvaneMasterUninst.exe");

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
    const QString self = QString::number(QCoreApplication::applicationPid());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        const QByteArray stat = readAll(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        // pid (comm) state ppid ...
        const int close = stat.lastIndexOf(')');
        const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
        if (close > 0 && rest.size() > 1 && rest.at(1) == self.toLatin1() && stat.contains("(7z)"))
            ++count;
    }
    return count;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

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
    void run(InstallThread& thread, Outcome& outcome);
    void prepare(InstallThread& thread);

    QTemporaryDir* m_work = nullptr;
    QString m_package;
    QString m_installDir;
    QString m_installerDir;
    QTranslator m_translator;
};

void TestInstall::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("7z")).isEmpty(),
             "the tests need the 7z program");
    m_translator.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_zh.qm"));
    QCoreApplication::installTranslator(&m_translator);
}

void TestInstall::init()
{
    m_work = new QTemporaryDir;
    QVERIFY(m_work->isValid());
    m_package = m_work->path() + QStringLiteral("/download/corvaneSetupx64_min.7z");
    m_installDir = m_work->path() + QStringLiteral("/Apps/") + kProductExe.left(kProductExe.size() - 4);
    m_installerDir = m_work->path() + QStringLiteral("/installer");
    QDir().mkpath(m_installerDir);
}

void TestInstall::cleanup()
{
    delete m_work;
    m_work = nullptr;
}

void TestInstall::prepare(InstallThread& thread)
{
    thread.installDir = m_installDir;
    thread.packagePath = m_package;
    thread.setInstallerDir(m_installerDir);
}

void TestInstall::run(InstallThread& thread, Outcome& outcome)
{
    // Queued into this thread: everything emitted has arrived once finished has.
    bool done = false;
    QObject context;
    connect(&thread, &InstallThread::installProgress, &context, [&](double per) { outcome.progress << per; });
    connect(&thread, &InstallThread::installSuccess, &context, [&] { ++outcome.successes; });
    connect(&thread, &InstallThread::installFailed, &context, [&](int code) { outcome.failures << code; });
    connect(&thread, &QThread::finished, &context, [&] { done = true; });
    thread.start();
    QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
}

void TestInstall::fullRun()
{
    PackageBuilder::Tree product = PackageBuilder::sampleProduct();
    PackageBuilder::Tree x86;
    x86[QStringLiteral("x86-only.txt")] = "wrong folder";
    QVERIFY(PackageBuilder::build(m_package, {{kX64, product}, {kX86, x86}}));
    QVERIFY(PackageBuilder::writeTree(m_installerDir,
                                      {{QStringLiteral("nerixSetupOnline.exe"), "installer"},
                                       {QStringLiteral("helper.dll"), "helper"},
                                       {QStringLiteral("corvaneMasterInstaller.exe_data/x.bin"), "x"},
                                       {QStringLiteral("lang/en.qm"), "qm"}}));
    ChannelManager::instance()->parseChannel(QStringLiteral("promo_spring#qotab-a1b2c3d4e5f60718"));

    InstallThread thread;
    prepare(thread);
    Outcome outcome;
    run(thread, outcome);
    QCOMPARE(outcome.failures, QVector<int>());
    QCOMPARE(outcome.successes, 1);

    // Depth-first, folders first, case-sensitive names; hidden files and
    // installer names left out.
    const QStringList pass1 = {
        QStringLiteral("plugins/imageformats/jpeg.plugin"),
        QStringLiteral("plugins/platforms/offscreen.plugin"),
        QStringLiteral("plugins/Zeta.plugin"),
        QStringLiteral("plugins/alpha.plugin"),
        QStringLiteral("tools/convert.dat"),
        QStringLiteral("Qt5Morvex.dll"),
        QStringLiteral("README.txt"),
        QStringLiteral("config.ini"),
        QStringLiteral("corvaneMasterRecovery.exe"),
        QStringLiteral("corvaneMasterUninst.exe"),
        QStringLiteral("quorbelMasterRecovery.exe"),
        QStringLiteral("quorbelMasterUninst.exe"),
    };
    const QStringList pass2 = {QStringLiteral("lang/en.qm"), QStringLiteral("helper.dll")};
    QStringList expectedFiles =
        pass1 + pass2 + QStringList{QStringLiteral("Uninstall"), QStringLiteral("Uninstall.list")};
    expectedFiles.sort();
    QCOMPARE(filesBelow(m_installDir), expectedFiles);
    for (const QString& file : pass1) {
        if (file != QLatin1String("Qt5Morvex.dll"))
            QCOMPARE(readAll(m_installDir + QLatin1Char('/') + file), product.value(file));
    }
    QVERIFY(QFileInfo(m_installDir + QLatin1Char('/') + kProductExe).isExecutable());
    QCOMPARE(readAll(m_installDir + QStringLiteral("/lang/en.qm")), QByteArray("qm"));

    const QString native = QDir::toNativeSeparators(m_installDir);
    QCOMPARE(thread.installDir, native);
    QCOMPARE(readAll(m_installDir + QStringLiteral("/Uninstall")),
             QString("rd/s/q \"" + native + "\"").toUtf8());
    const QByteArray signature =
        QCryptographicHash::hash("qalto58204913_qotab_PirvOKa=", QCryptographicHash::Md5).toHex();
    QCOMPARE(readAll(m_installDir + QStringLiteral("/Qt5Morvex.dll")),
             QByteArray("spring," + signature + ",a1b2c3d4e5f60718"));

    QByteArray manifest;
    for (const QString& file : pass1 + pass2)
        manifest += QString(m_installDir + QLatin1Char('/') + file).toUtf8() + ',';
    manifest +=
        QString(m_installDir + "/Uninstall.list," + m_installDir + "/Uninstall," + native + "/Qt5Morvex.dll,")
            .toUtf8();
    QCOMPARE(readAll(m_installDir + QStringLiteral("/Uninstall.list")), manifest);

    const QString name = productDisplayName();
    const QString productExe = native + QLatin1Char('/') + kProductExe;
    const QString uninstallerExe = native + QLatin1Char('/') + kUninstallerExe;
    const QString menu = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + '/' + name;
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QVERIFY(desktop.startsWith(TestEnvironment::home()));
    QCOMPARE(QFileInfo(desktop + '/' + name + ".lnk").symLinkTarget(), productExe);
    QCOMPARE(QFileInfo(menu + '/' + name + ".lnk").symLinkTarget(), productExe);
    QCOMPARE(QFileInfo(menu + '/' + QCoreApplication::translate("InstallThread", "language8") + name + ".lnk")
                 .symLinkTarget(),
             uninstallerExe);

    const QString key = Registry::uninstallKey(name);
    QCOMPARE(Registry::backingFile(key),
             TestEnvironment::home() +
                 "/.config/registry/HKEY_LOCAL_MACHINE/Software/WOW6432Node/Microsoft/Windows/CurrentVersion/"
                 "Uninstall/" +
                 name + ".ini");
    QStringList values;
    for (const QByteArray& line : readAll(Registry::backingFile(key)).split('\n')) {
        if (line.contains('='))
            values << QString::fromUtf8(line.left(line.indexOf('=')));
    }
    QCOMPARE(values,
             QStringList({"DisplayIcon", "DisplayName", "DisplayVersion", "Publisher", "UninstallString"}));
    QCOMPARE(Registry::readString(key, "DisplayIcon"), productExe);
    QCOMPARE(Registry::readString(key, "DisplayName"), name);
    QCOMPARE(Registry::readString(key, "DisplayVersion"), QStringLiteral("1.2.1"));
    QCOMPARE(Registry::readString(key, "Publisher"), name);
    QCOMPARE(Registry::readString(key, "UninstallString"), uninstallerExe);

    // Pass 1 copies 12 of 13 files, pass 2 copies 2 of 4.
    QCOMPARE(outcome.progress.size(), 1 + 12 + 2);
    QCOMPARE(outcome.progress.first(), 0.0);
    QCOMPARE(outcome.progress.at(12), 12.0 / 13.0 * 70.0);
    QCOMPARE(outcome.progress.last(), 85.0);

    // A second run replaces everything, the shortcuts included.
    outcome = Outcome();
    thread.installDir = m_installDir;
    run(thread, outcome);
    QCOMPARE(outcome.successes, 1);
    QCOMPARE(QFileInfo(menu + '/' + name + ".lnk").symLinkTarget(), productExe);
}

void TestInstall::progressValues()
{
    PackageBuilder::Tree product;
    for (int i = 0; i < 40; ++i)
        product[QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0'))] = QByteArray::number(i);
    PackageBuilder::Tree installer;
    for (int i = 0; i < 9; ++i)
        installer[QStringLiteral("d/i%1").arg(i)] = "i";
    installer[QStringLiteral("nerixSetupOnline.exe")] = "running installer";
    QVERIFY(PackageBuilder::build(m_package, {{kX64, product}}));
    QVERIFY(PackageBuilder::writeTree(m_installerDir, installer));

    InstallThread thread;
    prepare(thread);
    Outcome outcome;
    run(thread, outcome);
    QCOMPARE(outcome.successes, 1);
    QVector<double> expected = {0.0};
    for (int i = 1; i <= 40; ++i)
        expected << 1.75 * i;
    for (int i = 1; i <= 9; ++i)
        expected << 70.0 + 3.0 * i;
    QCOMPARE(outcome.progress, expected);
    QCOMPARE(outcome.progress.at(40), 70.0);
    QCOMPARE(outcome.progress.last(), 97.0);
}

void TestInstall::failures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("progressCount");

    QTest::newRow("missing package") << "missing" << 1 << 1;
    QTest::newRow("32-bit run, 64-bit folder only") << "x86" << 3 << 1;
    QTest::newRow("empty file") << "empty" << 3 << 1;
    QTest::newRow("not a 7z") << "text" << 3 << 1;
    QTest::newRow("truncated") << "truncated" << 3 << 1;
    QTest::newRow("encrypted") << "encrypted" << 3 << 1;
    QTest::newRow("empty product folder") << "emptyFolder" << 3 << 1;
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
    QVERIFY(PackageBuilder::writeTree(m_installerDir, {{QStringLiteral("helper.dll"), "h"}}));
    if (kind == "x86" || kind == "no7z" || kind == "both" || kind == "noInstallDir")
        QVERIFY(PackageBuilder::build(m_package, {{kX64, product}}));
    if (kind == "both")
        QVERIFY(PackageBuilder::writeTree(m_installerDir, {{QStringLiteral("README.txt"), "clash"}}));
    if (kind == "emptyFolder") {
        QVERIFY(QDir().mkpath(m_work->path() + "/staging/" + kX64));
        QVERIFY(PackageBuilder::archive(m_package, m_work->path() + "/staging", {kX64}));
    }
    if (kind == "empty" || kind == "text" || kind == "truncated" || kind == "encrypted") {
        QByteArray bytes;
        if (kind == "text")
            bytes = "<html>not found</html>\n";
        if (kind == "truncated" || kind == "encrypted") {
            QVERIFY(PackageBuilder::writeTree(m_work->path() + "/staging/" + kX64, product));
            QStringList arguments = {"a", "-bd", m_work->path() + "/whole.7z", kX64};
            if (kind == "encrypted")
                arguments << "-psecret";
            QProcess sevenZip;
            sevenZip.setWorkingDirectory(m_work->path() + "/staging");
            sevenZip.start("7z", arguments);
            QVERIFY(sevenZip.waitForFinished(-1));
            QCOMPARE(sevenZip.exitCode(), 0);
            bytes = readAll(m_work->path() + "/whole.7z");
            if (kind == "truncated")
                bytes.truncate(bytes.size() / 2);
        }
        QVERIFY(PackageBuilder::writeTree(QFileInfo(m_package).path(),
                                          {{QFileInfo(m_package).fileName(), bytes}}));
    }
    // Something of an earlier install that the run must clear.
    QVERIFY(PackageBuilder::writeTree(m_installDir, {{QStringLiteral("old/stale.txt"), "stale"}}));

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
    Outcome outcome;
    run(thread, outcome);
    qputenv("PATH", path);
    QDir::setCurrent(cwd);

    QCOMPARE(outcome.failures, QVector<int>{code});
    QCOMPARE(outcome.successes, 0);
    QCOMPARE(outcome.progress.size(), progressCount);
    QCOMPARE(outcome.progress.first(), 0.0);
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
    QVERIFY(PackageBuilder::writeTree(m_installerDir, {{QStringLiteral("helper.dll"), "h"}}));
    const QString extracted = QFileInfo(m_package).path() + '/' + kX64;
    QVERIFY(QDir().mkpath(extracted + "/plugins"));
    QVERIFY(QFile::link("..", extracted + "/plugins/up"));
    QVERIFY(QFile::link(m_work->path(), extracted + "/work"));
    QVERIFY(QFile::link(m_work->path() + "/outside/secret.txt", extracted + "/secret.txt"));
    QVERIFY(QFile::link("../../../outside/secret.txt", extracted + "/plugins/relative-secret.txt"));
    QVERIFY(QFileInfo(extracted + "/plugins/relative-secret.txt").isFile());

    InstallThread thread;
    prepare(thread);
    Outcome outcome;
    run(thread, outcome);
    QCOMPARE(outcome.failures, QVector<int>());
    QCOMPARE(outcome.successes, 1);

    const QStringList files = filesBelow(m_installDir);
    QVERIFY(!files.contains("secret.txt"));
    QVERIFY(!files.contains("plugins/relative-secret.txt"));
    QVERIFY(!files.filter("up/").size());
    QVERIFY(!files.filter("work/").size());
    QVERIFY(files.contains("plugins/imageformats/jpeg.plugin"));
    const QFileInfo inside(m_installDir + "/readme-link.txt");
    QVERIFY(!inside.isSymLink());
    QCOMPARE(readAll(inside.filePath()), QByteArray("Sample product\n"));
    QVERIFY(!readAll(m_installDir + "/Uninstall.list").contains("secret"));
    // Skipped links still count: 16 listed in pass 1, two links to outside
    // and one installer name skipped.
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

    // PPMd takes as long to unpack random data as to pack it: a few seconds
    // of 7z work from a small file.
    const QString staging = m_work->path() + "/staging";
    QVERIFY(PackageBuilder::writeTree(staging + '/' + kX64, {{"payload.bin", randomBytes(6 * 1024 * 1024)}}));
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(staging);
    sevenZip.start("7z", {"a", "-bd", "-m0=PPMd", "-mx9", m_package, kX64});
    QVERIFY(sevenZip.waitForFinished(-1));
    QCOMPARE(sevenZip.exitCode(), 0);
    QVERIFY(PackageBuilder::writeTree(m_installerDir, {{QStringLiteral("helper.dll"), "h"}}));

    auto* thread = new InstallThread;
    prepare(*thread);
    Outcome outcome;
    auto context = std::make_unique<QObject>();
    connect(thread, &InstallThread::installSuccess, context.get(), [&] { ++outcome.successes; });
    connect(thread, &InstallThread::installFailed, context.get(),
            [&](int failed) { outcome.failures << failed; });
    thread->start();
    QTRY_VERIFY_WITH_TIMEOUT(sevenZipChildren() == 1, 30000);

    if (destroy) {
        delete thread;
        thread = nullptr;
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
        outcome = Outcome();
        run(*thread, outcome);
        QCOMPARE(outcome.successes, 1);
        QCOMPARE(QFileInfo(m_installDir + "/payload.bin").size(), qint64(6 * 1024 * 1024));
        delete thread;
    }
}

void TestInstall::uninstallEntryFollowsLanguage()
{
    const char* key = greenTheme ? "language6" : "language7";
    const QString chinese = greenTheme ? QStringLiteral("Quorbel") : QStringLiteral("Corvane");
    const QString english = greenTheme ? QStringLiteral("Corvanix2") : QStringLiteral("Corvanix");

    QCOMPARE(productDisplayName(), chinese);
    writeUninstallEntry(productDisplayName(), "/opt/zh/" + kProductExe, "/opt/zh/" + kUninstallerExe);
    writeUninstallEntry(productDisplayName(), "/opt/zh 2/" + kProductExe, "/opt/zh 2/" + kUninstallerExe);
    QVERIFY(
        Registry::backingFile(Registry::uninstallKey(chinese)).endsWith("/Uninstall/" + chinese + ".ini"));
    QCOMPARE(Registry::readString(Registry::uninstallKey(QObject::tr(key)), "UninstallString"),
             "/opt/zh 2/" + kUninstallerExe);

    QTranslator englishTranslator;
    QVERIFY(englishTranslator.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_en.qm")));
    QCoreApplication::installTranslator(&englishTranslator);
    QCOMPARE(productDisplayName(), english);
    QCOMPARE(Registry::readString(Registry::uninstallKey(QObject::tr(key)), "UninstallString"), QString());
    writeUninstallEntry(productDisplayName(), "/opt/en/" + kProductExe, "/opt/en/" + kUninstallerExe);
    QCOMPARE(Registry::readString(Registry::uninstallKey(QObject::tr(key)), "UninstallString"),
             "/opt/en/" + kUninstallerExe);
    QCOMPARE(Registry::readString(Registry::uninstallKey(QObject::tr(key)), "Missing"), QString());
    QCoreApplication::removeTranslator(&englishTranslator);

    QCOMPARE(Registry::readString(Registry::uninstallKey(QObject::tr(key)), "UninstallString"),
             "/opt/zh 2/" + kUninstallerExe);
}

void TestInstall::samplePackageRoundTrip()
{
    // The generated sample package installs, its product runs through the
    // desktop shortcut and its uninstaller, found through the uninstall
    // entry, takes everything away again.
    const QString download = QFileInfo(m_package).path();
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    generator.start("python3", {TestEnvironment::sourceDir() + "/tools/make_sample_packages.py", download});
    QVERIFY(generator.waitForFinished(-1));
    QCOMPARE(generator.exitCode(), 0);
    const QString word = greenTheme ? QStringLiteral("quorbel") : QStringLiteral("corvane");
    QVERIFY(QFile::exists(download + "/" + word + "Setupx64_min_test.7z") || greenTheme);
    QVERIFY(
        PackageBuilder::writeTree(m_installerDir, {{QStringLiteral("nerixSetupOnline.exe"), "installer"}}));

    InstallThread thread;
    prepare(thread);
    thread.packagePath = download + "/" + word + "Setupx64_min.7z";
    // A folder with a blank, as users pick them.
    m_installDir = m_work->path() + "/My Apps/" + word + "MasterRecovery";
    thread.installDir = m_installDir;
    Outcome outcome;
    run(thread, outcome);
    QCOMPARE(outcome.successes, 1);
    QCOMPARE(readAll(m_installDir + "/edition.txt").startsWith(greenTheme ? "Quorbel" : "Corvane"), true);

    const QString name = productDisplayName();
    const QString desktopLink =
        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + '/' + name + ".lnk";
    const QString stateLog = TestEnvironment::home() + "/.local/state/" + word + "-launched.log";
    QFile::remove(stateLog);
    QProcess product;
    product.start(desktopLink, QStringList());
    QVERIFY(product.waitForFinished(-1));
    QCOMPARE(product.exitCode(), 0);
    QVERIFY(readAll(stateLog).contains(m_installDir.toUtf8()));

    const QString key = Registry::uninstallKey(name);
    const QString uninstaller = Registry::readString(key, "UninstallString");
    QCOMPARE(uninstaller, m_installDir + "/" + kUninstallerExe);
    QProcess uninstall;
    uninstall.setProgram(uninstaller);
    uninstall.start();
    QVERIFY(uninstall.waitForFinished(-1));
    QCOMPARE(uninstall.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(m_installDir));
    QVERIFY(!QFileInfo(desktopLink).isSymLink());
    QVERIFY(!QFileInfo::exists(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + '/' +
                               name));
    QVERIFY(!QFileInfo::exists(Registry::backingFile(key)));
    QCOMPARE(Registry::readString(key, "UninstallString"), QString());
}

NERIX_TEST_MAIN(TestInstall)
#include "test_install.moc"
