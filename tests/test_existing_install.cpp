// An earlier installation found at start-up, and the uninstaller run on Yes.
#include "app/ExistingInstall.h"
#include "install/UninstallRegistry.h"
#include "support/ModalAnswer.h"
#include "support/TestEnvironment.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace {

// An uninstaller that proves it ran to its end before the caller went on.
QString writeUninstaller(const QString& folder, const QString& marker)
{
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/corvaneMasterUninst.exe");
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return QString();
    script.write("#!/bin/sh\nsleep 1\necho finished > \"" + marker.toUtf8() + "\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
    return path;
}

} // namespace

class TestExistingInstall : public QObject
{
    Q_OBJECT

    QTranslator m_zh;
    QTranslator m_en;

private slots:
    void initTestCase()
    {
        QVERIFY(m_zh.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_zh.qm")));
        QVERIFY(m_en.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_en.qm")));
    }

    void cleanup()
    {
        QCoreApplication::removeTranslator(&m_zh);
        QCoreApplication::removeTranslator(&m_en);
    }

    void foundOnlyInTheSameLanguage()
    {
        QCoreApplication::installTranslator(&m_zh);
        QCOMPARE(checkAlreadyInstall(), QString());
        const QString name = QCoreApplication::translate("InstallThread", "language7");
        QCOMPARE(name, QStringLiteral("Corvane"));
        writeUninstallEntry(name, QStringLiteral("/opt/c/corvaneMasterRecovery.exe"),
                            QStringLiteral("/opt/c/corvaneMasterUninst.exe"));
        QCOMPARE(checkAlreadyInstall(), QStringLiteral("/opt/c/corvaneMasterUninst.exe"));

        QCoreApplication::removeTranslator(&m_zh);
        QCoreApplication::installTranslator(&m_en);
        QCOMPARE(checkAlreadyInstall(), QString());
    }

    void yesRunsTheUninstallerAndWaits_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << QStringLiteral("apps");
        QTest::newRow("with spaces") << QStringLiteral("my apps/Corvane Recovery");
    }
    void yesRunsTheUninstallerAndWaits()
    {
        QFETCH(QString, folder);
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("ran"));
        const QString uninstaller = writeUninstaller(dir.filePath(folder), marker);
        QVERIFY(!uninstaller.isEmpty());

        QCoreApplication::installTranslator(&m_zh);
        QString title, question, yes, no;
        answerNextModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            title = box->windowTitle();
            question = box->text();
            yes = box->button(QMessageBox::Yes)->text();
            no = box->button(QMessageBox::No)->text();
            box->button(QMessageBox::Yes)->click();
        });
        offerUninstall(uninstaller);
        QCOMPARE(title, QString::fromUtf8("提示"));
        QCOMPARE(question, QString::fromUtf8("检测到已安装了程序，是否要卸载已安装的程序？"));
        QCOMPARE(yes, QString::fromUtf8("是"));
        QCOMPARE(no, QString::fromUtf8("否"));
        QVERIFY(QFile::exists(marker));
    }

    void noLeavesItAlone()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("ran"));
        const QString uninstaller = writeUninstaller(dir.filePath(QStringLiteral("apps")), marker);
        answerNextModal(
            [](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::No)->click(); });
        offerUninstall(uninstaller);
        QVERIFY(!QFile::exists(marker));
    }

    void missingUninstallerDoesNotBlock()
    {
        runUninstaller(QStringLiteral("/nonexistent/folder/corvaneMasterUninst.exe"));
    }
};

NERIX_TEST_MAIN(TestExistingInstall)
#include "test_existing_install.moc"
