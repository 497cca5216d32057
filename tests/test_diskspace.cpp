#include "platform/DiskSpace.h"
#include "support/TestEnvironment.h"

class TestDiskSpace : public QObject
{
    Q_OBJECT

private slots:
    // The scan holds the volume of every folder, also those Qt leaves out of
    // its list (a tmpfs under /dev); a folder yet to be created counts on
    // the volume it will be on; no path is on no volume.
    void everyFolderIsOnAScannedVolume()
    {
        for (const QString& parent : {QDir::tempPath(), QStringLiteral("/dev/shm")}) {
            QTemporaryDir dir(parent + QStringLiteral("/nerix-XXXXXX"));
            const QString folder = dir.filePath(QStringLiteral("not/yet/there"));
            QVERIFY2(dir.isValid() && DiskSpace::driveRoots().contains(DiskSpace::driveKey(folder)),
                     qPrintable(folder));
            QVERIFY(DiskSpace::freeBytes(folder) > 0);
        }
        QCOMPARE(DiskSpace::driveKey(QString()), QString());
        QCOMPARE(DiskSpace::freeBytes(QString()), quint64(0));
    }
};

NERIX_TEST_MAIN(TestDiskSpace)
#include "test_diskspace.moc"
