// The volume scan and the free-space model the folder page asks.
#include "nerixSetupOnline/FreeSpaceModel.h"
#include "platform/DiskSpace.h"
#include "support/TestEnvironment.h"

#include <QSemaphore>

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

    // A drive that does not answer (a disconnected network drive) holds up
    // neither the caller nor the model's end.
    void slowDriveHoldsNothingUp()
    {
        const auto answer = std::make_shared<QSemaphore>();
        DiskSpace::setFreeBytesProvider([answer](const QString&) {
            if (QThread::currentThread() != qApp->thread())
                answer->acquire();
            return quint64(300) << 20;
        });
        FreeSpaceModel model;
        QSignalSpy known(&model, &FreeSpaceModel::known);
        const QString key = DiskSpace::driveKey(QDir::tempPath());
        model.query(QDir::tempPath());
        QVERIFY(!model.isKnown(key));
        answer->release();
        QVERIFY(known.wait());
        QCOMPARE(model.freeText(key), QStringLiteral("0.29GB"));

        auto gone = std::make_unique<FreeSpaceModel>();
        gone->query(QDir::tempPath());
        gone.reset();
        answer->release();
        DiskSpace::setFreeBytesProvider({});
    }
};

NERIX_TEST_MAIN(TestDiskSpace)
#include "test_disk_space.moc"
