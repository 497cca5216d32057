#include "platform/DiskSpace.h"
#include "support/TestEnvironment.h"

#include <QStorageInfo>

class TestDiskSpace : public QObject
{
    Q_OBJECT

private slots:
    // Folders that do not exist yet are looked up on the volume they will be on.
    void volumeOfPaths()
    {
        QTemporaryDir dir;
        const QString key = DiskSpace::driveKey(dir.path());
        QCOMPARE(key, QStorageInfo(dir.path()).rootPath());
        QVERIFY(DiskSpace::driveRoots().contains(key));
        QCOMPARE(DiskSpace::driveKey(dir.filePath(QStringLiteral("not/yet/there"))), key);
        QVERIFY(DiskSpace::freeBytes(dir.filePath(QStringLiteral("not/yet/there"))) > 0);
        QCOMPARE(DiskSpace::defaultInstallParent(), QDir::homePath() + QStringLiteral("/Applications"));
        QCOMPARE(DiskSpace::driveKey(QString()), QString());
        QCOMPARE(DiskSpace::freeBytes(QString()), quint64(0));

        // The window tests replace the lookup; clearing it restores the real one.
        DiskSpace::setFreeBytesProvider([](const QString&) { return quint64(1); });
        QCOMPARE(DiskSpace::freeBytes(dir.path()), quint64(1));
        DiskSpace::setFreeBytesProvider({});
        QVERIFY(DiskSpace::freeBytes(dir.path()) > 1);
    }

    // Free space is looked up per drive letter; a share has no letter.
    void windowsKeyRule()
    {
        QCOMPARE(DiskSpace::windowsDriveKey(QStringLiteral("D:/Apps")), QStringLiteral("D"));
        QCOMPARE(DiskSpace::windowsDriveKey(QStringLiteral("//server/share")), QStringLiteral("/"));
    }
};

NERIX_TEST_MAIN(TestDiskSpace)
#include "test_diskspace.moc"
