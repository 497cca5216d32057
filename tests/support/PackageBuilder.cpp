#include "support/PackageBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtGlobal>

namespace {

QByteArray script(const char* body)
{
    return QByteArray("#!/bin/sh\n") + body + '\n';
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

} // namespace

PackageBuilder::Tree PackageBuilder::sampleProduct()
{
    Tree tree;
    tree[QStringLiteral("corvaneMasterRecovery.exe")] = script("echo corvane product");
    tree[QStringLiteral("corvaneMasterUninst.exe")] = script("echo corvane uninstaller");
    tree[QStringLiteral("quorbelMasterRecovery.exe")] = script("echo quorbel product");
    tree[QStringLiteral("quorbelMasterUninst.exe")] = script("echo quorbel uninstaller");
    tree[QStringLiteral("Qt5Morvex.dll")] = "shipped placeholder";
    tree[QStringLiteral("README.txt")] = "Sample product\n";
    tree[QStringLiteral("config.ini")] = "[main]\nlanguage=auto\n";
    tree[QStringLiteral(".hidden")] = "not installed";
    tree[QStringLiteral("plugins/imageformats/jpeg.plugin")] = QByteArray(300, 'j');
    tree[QStringLiteral("plugins/platforms/offscreen.plugin")] = QByteArray(200, 'p');
    tree[QStringLiteral("plugins/Zeta.plugin")] = "upper case sorts first";
    tree[QStringLiteral("plugins/alpha.plugin")] = "lower case sorts last";
    tree[QStringLiteral("tools/old_nerixSetupOnline.exe.bak")] = "never copied";
    tree[QStringLiteral("tools/convert.dat")] = "tool data";
    return tree;
}

bool PackageBuilder::writeTree(const QString& dir, const Tree& files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = dir + QLatin1Char('/') + it.key();
        if (!QDir().mkpath(QFileInfo(path).path()))
            return false;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(it.value()) != it.value().size())
            return false;
        file.close();
        if (it.key().endsWith(QLatin1String(".exe")) &&
            !file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther))
            return false;
    }
    return true;
}

bool PackageBuilder::build(const QString& archivePath, const QMap<QString, Tree>& topFolders,
                           const QStringList& switches)
{
    QTemporaryDir staging;
    if (!staging.isValid())
        return false;
    for (auto it = topFolders.cbegin(); it != topFolders.cend(); ++it) {
        if (!QDir().mkpath(staging.path() + QLatin1Char('/') + it.key()) ||
            !writeTree(staging.path() + QLatin1Char('/') + it.key(), it.value()))
            return false;
    }
    return archive(archivePath, staging.path(), topFolders.keys(), switches);
}

bool PackageBuilder::archive(const QString& archivePath, const QString& folder, const QStringList& entries,
                             const QStringList& switches)
{
    const QString absoluteArchive = QFileInfo(archivePath).absoluteFilePath();
    // `7z a` adds to an existing archive.
    QFile::remove(absoluteArchive);
    QDir().mkpath(QFileInfo(absoluteArchive).path());
    return sevenZip(folder, QStringList{QStringLiteral("a"), QStringLiteral("-bd"), QStringLiteral("-y")} +
                                switches + QStringList{absoluteArchive} + entries);
}

bool PackageBuilder::sevenZip(const QString& folder, const QStringList& arguments)
{
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(folder);
    sevenZip.setProcessChannelMode(QProcess::MergedChannels);
    sevenZip.start(QStringLiteral("7z"), arguments);
    sevenZip.closeWriteChannel();
    const bool finished = sevenZip.waitForFinished(-1);
    if (!finished || sevenZip.exitStatus() != QProcess::NormalExit || sevenZip.exitCode() != 0) {
        qWarning("7z failed (%s): %s", qPrintable(sevenZip.errorString()), sevenZip.readAll().constData());
        return false;
    }
    return true;
}

bool PackageBuilder::archiveRenamed(const QString& archivePath, const QString& folder, const QString& entry,
                                    const QString& from, const QString& to)
{
    if (from.size() != to.size() || !archive(archivePath, folder, {entry}, {QStringLiteral("-mhc=off")}))
        return false;
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    const int at = bytes.indexOf(utf16(from));
    if (at < 0)
        return false;
    bytes.replace(at, utf16(to).size(), utf16(to));
    const int headerAt = 32 + int(le64(bytes, 12));
    const int headerSize = int(le64(bytes, 20));
    putLe32(bytes, 28, crc32(bytes.constData() + headerAt, headerSize));
    putLe32(bytes, 8, crc32(bytes.constData() + 12, 20));
    return file.seek(0) && file.write(bytes) == bytes.size();
}
