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
    for (auto it = topFolders.cbegin(); it != topFolders.cend(); ++it)
        if (!writeTree(staging.path() + '/' + it.key(), it.value()))
            return false;
    const QString absoluteArchive = QFileInfo(archivePath).absoluteFilePath();
    // `7z a` adds to an existing archive.
    QFile::remove(absoluteArchive);
    QDir().mkpath(QFileInfo(absoluteArchive).path());
    return runTool(
        "7z", QStringList{"a", "-bd", "-y"} + switches + QStringList{absoluteArchive} + topFolders.keys(),
        staging.path());
}

bool PackageBuilder::runTool(const QString& program, const QStringList& args, const QString& dir)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    process.closeWriteChannel();
    if (process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    qWarning("%s failed (%s): %s", qPrintable(program), qPrintable(process.errorString()),
             process.readAll().constData());
    return false;
}

QString PackageBuilder::testKey(char letter)
{
    return qEnvironmentVariable("NERIX_SOURCE_DIR") +
           QStringLiteral("/tests/data/test-key-%1.key").arg(letter);
}

bool PackageBuilder::sign(const QString& file, const QString& secretKey, bool legacy,
                          const QString& trustedComment)
{
    QStringList args{"-S", "-s", secretKey, "-m", file};
    if (legacy)
        args << "-l";
    if (!trustedComment.isEmpty())
        args << "-t" << trustedComment;
    return runTool(QStringLiteral("minisign"), args);
}
