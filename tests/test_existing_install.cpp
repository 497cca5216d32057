// An earlier installation found at start-up, and its uninstaller offered.
#include "core/ExistingInstall.h"
#include "install/UninstallRegistry.h"
#include "nerixSetupOnline/QuestionBox.h"
#include "platform/Registry.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

class TestExistingInstall : public QObject
{
    Q_OBJECT

private slots:
    // The key is the translated product name. Where the machine's list is
    // closed (no administrator rights) the entry is the user's, and found
    // there. Yes runs the uninstaller it names (from a folder with spaces)
    // to its end, No does not; a missing one is no crash.
    void foundOnlyInTheSameLanguageAndOffered()
    {
        const QString registry =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/registry";
        QTranslator zh, en;
        QVERIFY(zh.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_zh.qm")));
        QVERIFY(en.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_en.qm")));
        QTemporaryDir dir;
        const QString marker = dir.filePath("ran"),
                      uninstaller = "my apps/Corvane Recovery/corvaneMasterUninst.exe";
        // It asks on the console before it finishes: the marker proves it ran to its end.
        QVERIFY(PackageBuilder::writeTree(
            dir.path(),
            {{uninstaller, "#!/bin/sh\nread answer\necho finished > \"" + marker.toUtf8() + "\"\n"}}));
        for (bool machineClosed : {false, true}) {
            QDir(registry).removeRecursively();
            // A file where the machine's hive would be: no key can be made below it.
            if (machineClosed)
                QVERIFY(PackageBuilder::writeTree(registry, {{"HKEY_LOCAL_MACHINE", ""}}));
            QCoreApplication::installTranslator(&zh);
            writeUninstallEntry(QStringLiteral("Corvane"),
                                QStringLiteral("/opt/c d/corvaneMasterRecovery.exe"),
                                dir.filePath(uninstaller));
            const QString user = Registry::backingFile(
                Registry::uninstallKey(Registry::Hive::CurrentUser, QStringLiteral("Corvane")));
            QCOMPARE(QFileInfo::exists(user), machineClosed);
            const QString command = checkAlreadyInstall();
            QCOMPARE(command, '"' + dir.filePath(uninstaller) + '"');
            QCoreApplication::installTranslator(&en);
            QCOMPARE(checkAlreadyInstall(), QString());
            QCoreApplication::removeTranslator(&en);
            QCoreApplication::removeTranslator(&zh);
            answerNextBox(machineClosed ? QMessageBox::Yes : QMessageBox::No);
            offerUninstall(command);
            QCOMPARE(QFile::exists(marker), machineClosed);
        }
        runUninstaller(QStringLiteral("/nonexistent/folder/corvaneMasterUninst.exe"));
    }
};

NERIX_TEST_MAIN(TestExistingInstall)
#include "test_existing_install.moc"
