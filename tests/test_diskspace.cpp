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
        const QString temp = QDir::tempPath();
        DiskSpace::setFreeBytesProvider([](const QString& path) { return path.size() + quint64(209715199); });
        QCOMPARE(DiskSpace::freeBytes(QStringLiteral("/x")), quint64(209715201));
        DiskSpace::setFreeBytesProvider({});
        QVERIFY(DiskSpace::freeBytes(temp) > 0 &&
                DiskSpace::freeBytes(temp) != quint64(209715199) + temp.size());
    }

    void windowsKeyRule_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("key");
        QTest::newRow("root") << "D:/"
                              << "D";
        QTest::newRow("folder") << "D:/Apps"
                                << "D";
        QTest::newRow("lower case") << "e:/Users/x"
                                    << "e";
        QTest::newRow("network share") << "//server/share"
                                       << "/";
    }

    void windowsKeyRule()
    {
        QFETCH(QString, path);
        QTEST(DiskSpace::windowsDriveKey(path), "key");
    }
};

NERIX_TEST_MAIN(TestDiskSpace)
#include "test_diskspace.moc"
