#include "platform/DiskSpace.h"
#include "support/TestEnvironment.h"

#include <QStorageInfo>

class TestDiskSpace : public QObject
{
    Q_OBJECT

private slots:
    void volumeOfPaths()
    {
        QTemporaryDir dir;
        const QString key = DiskSpace::driveKey(dir.path());
        QCOMPARE(key, QStorageInfo(dir.path()).rootPath());
        QVERIFY(DiskSpace::driveRoots().contains(key));
        QCOMPARE(DiskSpace::driveKey(dir.filePath(QStringLiteral("not/yet/there"))), key);
        QVERIFY(DiskSpace::freeBytes(dir.path()) > 0);
        QVERIFY(DiskSpace::freeBytes(dir.filePath(QStringLiteral("not/yet/there"))) > 0);

        const QString parent = DiskSpace::defaultInstallParent();
        QCOMPARE(parent, QDir::homePath() + QStringLiteral("/Applications"));
        QVERIFY(!DiskSpace::driveKey(parent).isEmpty());

        QCOMPARE(DiskSpace::driveKey(QString()), QString());
        QCOMPARE(DiskSpace::freeBytes(QString()), quint64(0));
    }

    void freeBytesSeam()
    {
        DiskSpace::setFreeBytesProvider(
            [](const QString& path) { return quint64(path == QLatin1String("/x")); });
        QCOMPARE(DiskSpace::freeBytes(QStringLiteral("/x")), quint64(1));
        QCOMPARE(DiskSpace::freeBytes(QDir::tempPath()), quint64(0));
        DiskSpace::setFreeBytesProvider({});
        QVERIFY(DiskSpace::freeBytes(QDir::tempPath()) > 0);
    }

    // Free space is looked up per drive letter; a share has no letter.
    void windowsKeyRule()
    {
        QCOMPARE(DiskSpace::windowsDriveKey(QStringLiteral("D:/")), QStringLiteral("D"));
        QCOMPARE(DiskSpace::windowsDriveKey(QStringLiteral("D:/Apps")), QStringLiteral("D"));
        QCOMPARE(DiskSpace::windowsDriveKey(QStringLiteral("//server/share")), QStringLiteral("/"));
    }
};

NERIX_TEST_MAIN(TestDiskSpace)
#include "test_diskspace.moc"
