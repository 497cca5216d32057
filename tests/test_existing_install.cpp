// An earlier installation found at start-up, and the uninstaller run on Yes.
#include "app/ExistingInstall.h"
#include "install/UninstallRegistry.h"
#include "support/ModalAnswer.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

class TestExistingInstall : public QObject
{
    Q_OBJECT

private slots:
    // The key is the translated product name.
    void foundOnlyInTheSameLanguage()
    {
        QTranslator zh;
        QTranslator en;
        QVERIFY(zh.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_zh.qm")));
        QVERIFY(en.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_en.qm")));
        QCoreApplication::installTranslator(&zh);
        writeUninstallEntry(QStringLiteral("Corvane"), QStringLiteral("/opt/c/corvaneMasterRecovery.exe"),
                            QStringLiteral("/opt/c/corvaneMasterUninst.exe"));
        QCOMPARE(checkAlreadyInstall(), QStringLiteral("/opt/c/corvaneMasterUninst.exe"));
        QCoreApplication::installTranslator(&en);
        QCOMPARE(checkAlreadyInstall(), QString());
    }

    void answer_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("button");
        QTest::newRow("yes, folder with spaces")
            << QStringLiteral("my apps/Corvane Recovery") << int(QMessageBox::Yes);
        QTest::newRow("no") << QStringLiteral("apps") << int(QMessageBox::No);
    }

    void answer()
    {
        QFETCH(QString, folder);
        QFETCH(int, button);
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("ran"));
        // It asks on the console before it finishes: the marker proves it ran to its end.
        QVERIFY(PackageBuilder::writeTree(
            dir.filePath(folder), {{"corvaneMasterUninst.exe", "#!/bin/sh\nread answer\necho finished > \"" +
                                                                   marker.toUtf8() + "\"\n"}}));
        const QString uninstaller = dir.filePath(folder) + "/corvaneMasterUninst.exe";
        answerNextBox(QMessageBox::StandardButton(button));
        offerUninstall(uninstaller);
        QCOMPARE(QFile::exists(marker), button == QMessageBox::Yes);
        runUninstaller(QStringLiteral("/nonexistent/folder/corvaneMasterUninst.exe"));
    }
};

NERIX_TEST_MAIN(TestExistingInstall)
#include "test_existing_install.moc"
