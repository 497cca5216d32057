// Hostile and unusual packages, made at test time with the real `7z`: each
// ends in the right code or in success, and nothing is written outside the
// extraction and install folders.

#include "install/InstallThread.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

#include <QDirIterator>

namespace {

const QString kX64 = QStringLiteral("Vantrel_x64Minimal");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

quint32 crc32(const char* data, int size)
{
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putLe32(QByteArray& bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

quint64 le64(const QByteArray& bytes, int at)
{
    quint64 value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

QByteArray utf16(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

// Archives staging/from (a file of that relative path) with a plain header,
// then renames the stored entry to `to` (same length) and fixes both header
// checksums: a package no honest archiver would write.
bool archiveRenamed(const QString& archive, const QString& staging, const QString& from, const QString& to)
{
    if (from.size() != to.size())
        return false;
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(staging);
    sevenZip.start(QStringLiteral("7z"), {"a", "-bd", "-y", "-mhc=off", archive, kX64});
    if (!sevenZip.waitForFinished(-1) || sevenZip.exitCode() != 0)
        return false;
    QByteArray bytes = readAll(archive);
    const int at = bytes.indexOf(utf16(from));
    if (at < 0)
        return false;
    bytes.replace(at, utf16(to).size(), utf16(to));
    const int headerAt = 32 + int(le64(bytes, 12));
    const int headerSize = int(le64(bytes, 20));
    putLe32(bytes, 28, crc32(bytes.constData() + headerAt, headerSize));
    putLe32(bytes, 8, crc32(bytes.constData() + 12, 20));
    QFile file(archive);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Every entry below root (links not followed) except those below the
// folders the run may write to.
QStringList entriesOutside(const QString& root, const QStringList& allowed)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        bool inside = false;
        for (const QString& folder : allowed)
            inside |= path == folder || path.startsWith(folder + QLatin1Char('/'));
        if (!inside)
            entries << path;
    }
    entries.sort();
    return entries;
}

} // namespace

class TestBadPackages : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void escapingEntries_data();
    void escapingEntries();
    void unusualShapes_data();
    void unusualShapes();

private:
    // Runs the thread to its end; -1 for success, else the failure code.
    int install();

    QTemporaryDir* m_work = nullptr;
    QString m_download;
    QString m_package;
    QString m_installDir;
    QString m_staging;
    QStringList m_manifest;
};

void TestBadPackages::init()
{
    m_work = new QTemporaryDir;
    QVERIFY(m_work->isValid());
    m_download = m_work->path() + QStringLiteral("/download");
    m_package = m_download + QStringLiteral("/corvanetemp.7z");
    m_installDir = m_work->path() + QStringLiteral("/Apps/corvaneMasterRecovery");
    m_staging = m_work->path() + QStringLiteral("/staging");
    QVERIFY(QDir().mkpath(m_download));
    QVERIFY(PackageBuilder::writeTree(m_work->path() + QStringLiteral("/installer"), {{"helper.dll", "h"}}));
    QVERIFY(PackageBuilder::writeTree(m_work->path() + QStringLiteral("/outside"), {{"keep.txt", "keep"}}));
}

void TestBadPackages::cleanup()
{
    delete m_work;
    m_work = nullptr;
}

int TestBadPackages::install()
{
    InstallThread thread;
    thread.installDir = m_installDir;
    thread.packagePath = m_package;
    thread.setInstallerDir(m_work->path() + QStringLiteral("/installer"));
    int result = 0;
    int endings = 0;
    bool done = false;
    QObject context;
    connect(&thread, &InstallThread::installSuccess, &context, [&] { result = -1, ++endings; });
    connect(&thread, &InstallThread::installFailed, &context, [&](int code) { result = code, ++endings; });
    connect(&thread, &QThread::finished, &context, [&] { done = true; });
    thread.start();
    [&] {
        QTRY_VERIFY_WITH_TIMEOUT(done, 240000);
    }();
    m_manifest.clear();
    if (QFile::exists(m_installDir + QStringLiteral("/Uninstall.list")))
        m_manifest = QString::fromUtf8(readAll(m_installDir + QStringLiteral("/Uninstall.list")))
                         .split(QLatin1Char(','), Qt::SkipEmptyParts);
    return endings == 1 ? result : -100;
}

void TestBadPackages::escapingEntries_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("parent folder entry") << "dotdot";
    QTest::newRow("absolute entry") << "absolute";
    QTest::newRow("file through a link to outside") << "linkThrough";
}

void TestBadPackages::escapingEntries()
{
    QFETCH(QString, kind);

    const QString outside = m_work->path() + QStringLiteral("/outside");
    QVERIFY(PackageBuilder::writeTree(m_staging + '/' + kX64, {{"ok.txt", "ok"}}));
    QString planted;
    if (kind == "dotdot") {
        // Two levels up from the product folder: the folder holding download/.
        QVERIFY(PackageBuilder::writeTree(m_staging + '/' + kX64, {{"XX/XX/XX/planted.txt", "x"}}));
        QVERIFY(archiveRenamed(m_package, m_staging, kX64 + "/XX/XX/XX/planted.txt",
                               kX64 + "/../../../planted.txt"));
        planted = m_work->path() + QStringLiteral("/planted.txt");
    } else if (kind == "absolute") {
        planted = outside + QStringLiteral("/planted.txt");
        const QString relative = QLatin1Char('_') + planted.mid(1);
        QVERIFY(PackageBuilder::writeTree(m_staging + '/' + kX64, {{relative, "x"}}));
        // Leading slashes fill the name to the stored length.
        QVERIFY(archiveRenamed(m_package, m_staging, kX64 + '/' + relative,
                               QString(kX64.size() + 2, QLatin1Char('/')) + planted.mid(1)));
    } else {
        // First the link, then a file stored under the link's name.
        QVERIFY(QFile::link(outside, m_staging + '/' + kX64 + "/door"));
        QVERIFY(PackageBuilder::archive(m_package, m_staging, {kX64}));
        const QString second = m_work->path() + QStringLiteral("/staging2");
        QVERIFY(PackageBuilder::writeTree(second + '/' + kX64, {{"door/planted.txt", "x"}}));
        QProcess sevenZip;
        sevenZip.setWorkingDirectory(second);
        sevenZip.start(QStringLiteral("7z"), {"a", "-bd", "-y", m_package, kX64 + "/door/planted.txt"});
        QVERIFY(sevenZip.waitForFinished(-1));
        QCOMPARE(sevenZip.exitCode(), 0);
        planted = outside + QStringLiteral("/planted.txt");
    }
    const QStringList allowed = {m_download, m_work->path() + QStringLiteral("/Apps")};
    const QStringList before = entriesOutside(m_work->path(), allowed);

    const int result = install();
    QVERIFY2(result == -1 || result == 3, qPrintable(QString::number(result)));
    QVERIFY(!QFileInfo::exists(planted));
    QCOMPARE(entriesOutside(m_work->path(), allowed), before);
    QCOMPARE(readAll(outside + QStringLiteral("/keep.txt")), QByteArray("keep"));
    for (const QString& entry : qAsConst(m_manifest))
        QVERIFY2(entry.startsWith(m_installDir), qPrintable(entry));
}

void TestBadPackages::unusualShapes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("code");
    QTest::newRow("wrong top folder") << "wrongTop" << 3;
    QTest::newRow("very deep tree") << "deep" << -1;
    QTest::newRow("10000 tiny files") << "many" << -1;
    QTest::newRow("blanks and non-ASCII in names") << "names" << -1;
}

void TestBadPackages::unusualShapes()
{
    QFETCH(QString, kind);
    QFETCH(int, code);

    PackageBuilder::Tree tree;
    QString top = kX64;
    if (kind == "wrongTop") {
        top = QStringLiteral("Vantrel_x64");
        tree = PackageBuilder::sampleProduct();
    } else if (kind == "deep") {
        QString path;
        for (int i = 0; i < 300; ++i)
            path += QStringLiteral("d%1/").arg(i % 10);
        tree[path + QStringLiteral("bottom.txt")] = "deep";
    } else if (kind == "many") {
        for (int i = 0; i < 10000; ++i)
            tree[QStringLiteral("f%1/%2.txt").arg(i / 1000).arg(i)] = QByteArray::number(i);
    } else {
        tree[QString::fromUtf8("Mein Ordner/Ünïcödé 文件 name (1).txt")] = "wide";
        tree[QString::fromUtf8(" leading and trailing blank ")] = "blank";
        tree[QString::fromUtf8("Привет мир/ç'est \"quoted\" & more.dat")] = "punct";
    }
    QVERIFY(PackageBuilder::build(m_package, {{top, tree}}));
    const QStringList allowed = {m_download, m_work->path() + QStringLiteral("/Apps")};
    const QStringList before = entriesOutside(m_work->path(), allowed);

    QCOMPARE(install(), code);
    QCOMPARE(entriesOutside(m_work->path(), allowed), before);
    if (code != -1) {
        QVERIFY(m_manifest.isEmpty());
        return;
    }
    // Every file arrives byte-exact under its own name, and the manifest
    // names each one once, then the installer's file and the three written.
    for (auto it = tree.cbegin(); it != tree.cend(); ++it)
        QCOMPARE(readAll(m_installDir + '/' + it.key()), it.value());
    QCOMPARE(m_manifest.size(), tree.size() + 1 + 3);
    QCOMPARE(m_manifest.count(m_installDir + "/helper.dll"), 1);
    if (kind == "names") {
        QVERIFY(
            m_manifest.contains(m_installDir + QString::fromUtf8("/Mein Ordner/Ünïcödé 文件 name (1).txt")));
    }
}

NERIX_TEST_MAIN(TestBadPackages)
#include "test_bad_packages.moc"
