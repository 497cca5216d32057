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

bool PackageBuilder::build(const QString& archivePath, const QMap<QString, Tree>& topFolders)
{
    QTemporaryDir staging;
    if (!staging.isValid())
        return false;
    for (auto it = topFolders.cbegin(); it != topFolders.cend(); ++it) {
        if (!QDir().mkpath(staging.path() + QLatin1Char('/') + it.key()) ||
            !writeTree(staging.path() + QLatin1Char('/') + it.key(), it.value()))
            return false;
    }
    return archive(archivePath, staging.path(), topFolders.keys());
}

bool PackageBuilder::archive(const QString& archivePath, const QString& folder, const QStringList& entries)
{
    const QString absoluteArchive = QFileInfo(archivePath).absoluteFilePath();
    // `7z a` adds to an existing archive.
    QFile::remove(absoluteArchive);
    QDir().mkpath(QFileInfo(absoluteArchive).path());

    QProcess sevenZip;
    sevenZip.setWorkingDirectory(folder);
    sevenZip.setProcessChannelMode(QProcess::MergedChannels);
    sevenZip.start(QStringLiteral("7z"), QStringList{QStringLiteral("a"), QStringLiteral("-bd"),
                                                     QStringLiteral("-y"), absoluteArchive} +
                                             entries);
    sevenZip.closeWriteChannel();
    const bool finished = sevenZip.waitForFinished(-1);
    if (!finished || sevenZip.exitStatus() != QProcess::NormalExit || sevenZip.exitCode() != 0) {
        qWarning("7z a failed (%s): %s", qPrintable(sevenZip.errorString()), sevenZip.readAll().constData());
        return false;
    }
    return true;
}
