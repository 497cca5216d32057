#include "support/PackageBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

PackageBuilder::Tree PackageBuilder::sampleProduct()
{
    Tree tree;
    tree["corvaneMasterRecovery.exe"] = "#!/bin/sh\necho corvane product\n";
    tree["corvaneMasterUninst.exe"] = "#!/bin/sh\necho corvane uninstaller\n";
    tree["quorbelMasterRecovery.exe"] = "#!/bin/sh\necho quorbel product\n";
    tree["quorbelMasterUninst.exe"] = "#!/bin/sh\necho quorbel uninstaller\n";
    tree["Qt5Morvex.dll"] = "shipped placeholder";
    tree["README.txt"] = "Sample product\n";
    tree["config.ini"] = "[main]\nlanguage=auto\n";
    tree[".hidden"] = "not installed";
    tree["plugins/imageformats/jpeg.plugin"] = QByteArray(300, 'j');
    tree["plugins/platforms/offscreen.plugin"] = QByteArray(200, 'p');
    tree["plugins/Zeta.plugin"] = "upper case sorts first";
    tree["plugins/alpha.plugin"] = "lower case sorts last";
    tree["tools/old_nerixSetupOnline.exe.bak"] = "never copied";
    tree["tools/convert.dat"] = "tool data";
    tree[QString::fromUtf8("docs/a/b/c/d/e/f/g/h/Ünïcödé 说明 (1).txt")] = "deep";
    return tree;
}

bool PackageBuilder::writeTree(const QString& dir, const Tree& files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = dir + '/' + it.key();
        if (!QDir().mkpath(QFileInfo(path).path()))
            return false;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(it.value()) != it.value().size())
            return false;
        if (it.key().endsWith(".exe") &&
            !file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther))
            return false;
    }
    return true;
}

bool PackageBuilder::build(const QString& archivePath, const QMap<QString, Tree>& topFolders,
                           const QStringList& switches)
{
    QTemporaryDir staging;
    for (auto it = topFolders.cbegin(); it != topFolders.cend(); ++it) {
        if (!writeTree(staging.path() + '/' + it.key(), it.value()))
            return false;
    }
    const QString absoluteArchive = QFileInfo(archivePath).absoluteFilePath();
    // `7z a` adds to an existing archive.
    QFile::remove(absoluteArchive);
    QDir().mkpath(QFileInfo(absoluteArchive).path());
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(staging.path());
    sevenZip.setProcessChannelMode(QProcess::MergedChannels);
    sevenZip.start("7z", QStringList{"a", "-bd", "-y"} + switches + QStringList{absoluteArchive} +
                             topFolders.keys());
    sevenZip.closeWriteChannel();
    if (!sevenZip.waitForFinished(-1) || sevenZip.exitStatus() != QProcess::NormalExit ||
        sevenZip.exitCode() != 0) {
        qWarning("7z failed (%s): %s", qPrintable(sevenZip.errorString()), sevenZip.readAll().constData());
        return false;
    }
    return true;
}
