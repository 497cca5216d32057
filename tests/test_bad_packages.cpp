// Failing, hostile and unusual packages, made at test time with the real
// `7z`: each ends in the right code or in success, leaves the install folder
// as it should, and nothing is written or removed outside the extraction and
// install folders.

#include "support/InstallRun.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

#include <QRegularExpression>
#include <memory>

class TestBadPackages : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_work;

    // Files below the work folder apart from the download and install folders.
    QStringList outside() const
    {
        return filesBelow(m_work->path()).filter(QRegularExpression(QStringLiteral("^(?!download/|Apps/)")));
    }

private slots:
    void init() { m_work = std::make_unique<QTemporaryDir>(); }
    void cleanup() { m_work.reset(); }

    void packages_data()
    {
        QTest::addColumn<QString>("kind");
        // -1 success; 0 success or 3, as the extractor drops or refuses the entry
        QTest::addColumn<int>("code");
        QTest::newRow("missing package") << "missing" << 1;
        QTest::newRow("32-bit run, 64-bit folder only") << "x86" << 3;
        QTest::newRow("truncated") << "truncated" << 3;
        // 7z would wait for a password on its input.
        QTest::newRow("encrypted") << "encrypted" << 3;
        // The other files extract; 7z reports the damaged one in its exit code.
        QTest::newRow("one file fails its CRC") << "crc" << 3;
        QTest::newRow("7z not on the path") << "no7z" << 3;
        // README.txt is moved by pass 1 and found again beside the installer.
        QTest::newRow("file in both folders") << "both" << 4;
        // Were the empty folder taken as the working directory, it would be emptied.
        QTest::newRow("no install folder") << "noInstallDir" << 4;
        QTest::newRow("parent folder entry") << "dotdot" << 0;
        // One descriptor kept open per file would run out here.
        QTest::newRow("10000 tiny files") << "many" << -1;
        QTest::newRow("blanks and non-ASCII in names") << "names" << -1;
    }

    void packages()
    {
        QFETCH(QString, kind);
        QFETCH(int, code);
        const QString work = m_work->path(), top = QStringLiteral("Vantrel_x64Minimal");
        const QString package = work + "/download/corvanetemp.7z", installDir = work + "/Apps/corvane";
        QVERIFY(PackageBuilder::writeTree(work + "/installer", {{"helper.dll", "h"}}));
        // Something of an earlier install that the run must clear.
        QVERIFY(PackageBuilder::writeTree(installDir, {{"old/stale.txt", "stale"}}));
        PackageBuilder::Tree tree = PackageBuilder::sampleProduct();
        if (kind == "many") {
            tree.clear();
            for (int i = 0; i < 10000; ++i)
                tree[QStringLiteral("f%1/%2.txt").arg(i / 1000).arg(i)] = QByteArray::number(i);
        } else if (kind == "names") {
            tree = {{QString::fromUtf8("Mein Ordner/Ünïcödé 文件 name (1).txt"), "wide"},
                    {QString::fromUtf8(" leading and trailing blank "), "blank"},
                    {QString::fromUtf8("Привет мир/ç'est \"quoted\" & more.dat"), "punct"}};
        }
        if (kind == "dotdot") {
            // Two levels up from the product folder: the work folder itself.
            QVERIFY(PackageBuilder::writeTree(work + "/staging",
                                              {{"planted.txt", "x"}, {"in/" + top + "/a", "a"}}));
            QVERIFY(PackageBuilder::archive(package, work + "/staging/in", {top + "/../../planted.txt"},
                                            {"-spf"}));
        } else if (kind != "missing") {
            // Stored, so that a byte of a file's data can be damaged.
            QVERIFY(
                PackageBuilder::build(package, {{top, tree}}, {kind == "encrypted" ? "-psecret" : "-mx0"}));
        }
        if (kind == "truncated")
            QVERIFY(QFile::resize(package, QFileInfo(package).size() / 2));
        if (kind == "crc") {
            QByteArray bytes = readAll(package);
            bytes[bytes.indexOf("tool data")] = 'T';
            QVERIFY(PackageBuilder::writeTree(work + "/download", {{"corvanetemp.7z", bytes}}));
        }
        if (kind == "both")
            QVERIFY(PackageBuilder::writeTree(work + "/installer", {{"README.txt", "clash"}}));
        const QStringList before = outside();

        InstallThread thread;
        thread.installDir = kind == "noInstallDir" ? QString() : installDir;
        thread.packagePath = package;
        thread.setInstallerDir(work + "/installer");
        thread.is64Bit = kind != "x86";
        const QByteArray path = qgetenv("PATH");
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(work);
        if (kind == "no7z")
            qputenv("PATH", work.toUtf8());
        const InstallOutcome outcome = runInstall(thread, 240000);
        qputenv("PATH", path);
        QDir::setCurrent(cwd);

        QCOMPARE(outside(), before);
        const QStringList manifest =
            QString::fromUtf8(readAll(installDir + "/Uninstall.list")).split(',', Qt::SkipEmptyParts);
        for (const QString& entry : manifest)
            QVERIFY2(entry.startsWith(installDir), qPrintable(entry));
        if (code == 0) {
            QVERIFY2(outcome.result() == -1 || outcome.result() == 3,
                     qPrintable(QString::number(outcome.result())));
            return;
        }
        QCOMPARE(outcome.result(), code);
        if (code == -1) {
            // Every file arrives byte-exact under its own name, and the manifest
            // names each one once, then the installer's file and the three written.
            const QSet<QString> listed(manifest.cbegin(), manifest.cend());
            QCOMPARE(manifest.size(), tree.size() + 1 + 3);
            QCOMPARE(listed.size(), manifest.size());
            for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
                QCOMPARE(readAll(installDir + '/' + it.key()), it.value());
                QVERIFY(listed.contains(installDir + '/' + it.key()));
            }
        } else if (kind == "noInstallDir") {
            QCOMPARE(filesBelow(installDir), QStringList{"old/stale.txt"});
        } else if (kind == "both") {
            // What came before stays, the clashing file as pass 1 left it.
            QCOMPARE(filesBelow(installDir).size(), 12);
            QCOMPARE(readAll(installDir + "/README.txt"), tree.value("README.txt"));
        } else {
            // Emptied and created again, and no progress beyond the start.
            QCOMPARE(filesBelow(installDir), QStringList());
            QCOMPARE(outcome.progress, QVector<double>{0.0});
        }
    }
};

NERIX_TEST_MAIN(TestBadPackages)
#include "test_bad_packages.moc"
