// The install run end to end on real files with the real `7z`: what lands in
// the install folder, the shortcuts and the uninstall entry, the progress
// values and links in the extracted folder. Failing and hostile packages are
// in test_bad_packages.

#include "BuildConfig.h"
#include "app/ChannelManager.h"
#include "install/Shortcuts.h"
#include "platform/FileCopy.h"
#include "platform/Registry.h"
#include "support/InstallRun.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QStandardPaths>
#include <QTranslator>

namespace {

const QString kX64 = QStringLiteral("Vantrel_x64Minimal");
const QString kWord = greenTheme ? QStringLiteral("quorbel") : QStringLiteral("corvane");

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
        const QString package = work.path() + "/download/corvaneSetupx64_min.7z";
        const QString installDir = work.path() + "/Apps/" + kWord + "MasterRecovery";
        const QString installerDir = work.path() + "/installer";
        const PackageBuilder::Tree product = PackageBuilder::sampleProduct();
        QVERIFY(
            PackageBuilder::build(package, {{kX64, product}, {"Vantrel_x86Minimal", {{"x86.txt", "x"}}}}));
        QVERIFY(PackageBuilder::writeTree(installerDir, {{"helper.dll", "helper"},
                                                         {"nerixSetupOnline.exe", "installer"},
                                                         {"corvaneMasterInstaller.exe_data/x.bin", "x"},
                                                         {"lang/en.qm", "qm"}}));
        // Something of an earlier install that the run must clear.
        QVERIFY(PackageBuilder::writeTree(installDir, {{"old/stale.txt", "stale"}}));
        ChannelManager::instance()->parseChannel(QStringLiteral("promo_spring#qotab-a1b2c3d4e5f60718"));
        // Links an extractor may leave: only the one to a file inside the product is followed.
        const QString extracted = QFileInfo(package).path() + '/' + kX64;
        QVERIFY(QDir().mkpath(extracted) && QFile::link("..", extracted + "/up"));
        QVERIFY(QFile::link(package, extracted + "/secret.txt"));
        QVERIFY(QFile::link("README.txt", extracted + "/readme-link.txt"));
        // A fresh account has neither folder.
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QVERIFY(desktop.startsWith(TestEnvironment::home()));
        QDir(desktop).removeRecursively();
        QDir(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation)).removeRecursively();

        InstallThread thread;
        thread.installDir = installDir;
        thread.packagePath = package;
        thread.setInstallerDir(installerDir);
        const InstallOutcome outcome = runInstall(thread);
        QCOMPARE(outcome.result(), -1);

        // Depth-first, folders first, case-sensitive names; hidden files and installer names left out.
        const QStringList pass1 =
            QString("plugins/imageformats/jpeg.plugin plugins/platforms/offscreen.plugin "
                    "plugins/Zeta.plugin plugins/alpha.plugin tools/convert.dat Qt5Morvex.dll "
                    "README.txt config.ini corvaneMasterRecovery.exe corvaneMasterUninst.exe "
                    "quorbelMasterRecovery.exe quorbelMasterUninst.exe readme-link.txt")
                .split(' ');
        const QStringList pass2 = {"lang/en.qm", "helper.dll"};
        QStringList expected = pass1 + pass2 + QStringList{"Uninstall", "Uninstall.list"};
        expected.sort();
        QCOMPARE(filesBelow(installDir), expected);
        for (const QString& file : pass1.mid(0, 5) + pass1.mid(6, 6))
            QCOMPARE(readAll(installDir + '/' + file), product.value(file));
        QVERIFY(!QFileInfo(installDir + "/readme-link.txt").isSymLink());
        QCOMPARE(readAll(installDir + "/readme-link.txt"), product.value("README.txt"));
        QVERIFY(QFileInfo(installDir + '/' + kWord + "MasterRecovery.exe").isExecutable());
        // The installer's own folder is copied, never emptied.
        QCOMPARE(filesBelow(installerDir).size(), 4);

        const QString native = QDir::toNativeSeparators(installDir);
        QCOMPARE(thread.installDir, native);
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
        const QString key = Registry::uninstallKey(name);
        QStringList values;
        for (const char* value :
             {"DisplayIcon", "DisplayName", "DisplayVersion", "Publisher", "UninstallString"})
            values << Registry::readString(key, value);
        QCOMPARE(values, QStringList({productExe, name, "1.2.1", name, uninstallerExe}));
        // Skipped files still count: pass 1 copies 13 of 15 files, pass 2 copies 2 of 4.
        QCOMPARE(outcome.progress.size(), 1 + 13 + 2);
        QCOMPARE(outcome.progress.at(13), 13.0 / 15.0 * 70.0);
        QCOMPARE(outcome.progress.last(), 85.0);

        // The extracted files were moved away; a second run extracts them again
        // and replaces everything, the shortcuts included.
        thread.installDir = installDir;
        QCOMPARE(runInstall(thread).result(), -1);
        QCOMPARE(filesBelow(installDir), expected);
        QCOMPARE(QFileInfo(menu + '/' + name + ".lnk").symLinkTarget(), productExe);
    }

    void moveNeverReplaces()
    {
        const QTemporaryDir work;
        const QString dir = work.path();
        QVERIFY(PackageBuilder::writeTree(dir, {{"from/a", "new"}, {"to/a", "old"}}));
        QVERIFY(!FileCopy::moveOrCopyNew(dir + "/from/a", dir + "/to/a"));
        QCOMPARE(readAll(dir + "/to/a") + readAll(dir + "/from/a"), QByteArray("oldnew"));
        QVERIFY(FileCopy::moveOrCopyNew(dir + "/from/a", dir + "/to/b"));
        QCOMPARE(readAll(dir + "/to/b"), QByteArray("new"));
        QVERIFY(!QFileInfo::exists(dir + "/from/a"));
    }
};

NERIX_TEST_MAIN(TestInstall)
#include "test_install.moc"
