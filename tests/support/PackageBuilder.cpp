#include "support/PackageBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Runs a tool to its end in dir; false, with a warning holding its output, unless it exits 0.
bool runTool(const QString& program, const QStringList& args, const QString& dir = QString())
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

} // namespace

PackageBuilder::Tree PackageBuilder::sampleProduct()
{
    return {{"corvaneMasterRecovery.exe", "#!/bin/sh\necho corvane product\n"},
            {"corvaneMasterUninst.exe", "#!/bin/sh\necho corvane uninstaller\n"},
            {"quorbelMasterRecovery.exe", "#!/bin/sh\necho quorbel product\n"},
            {"quorbelMasterUninst.exe", "#!/bin/sh\necho quorbel uninstaller\n"},
            {"Qt5Morvex.dll", "shipped placeholder"},
            {"README.txt", "Sample product\n"},
            {"config.ini", "[main]\nlanguage=auto\n"},
            {".hidden", "not installed"},
            {"plugins/imageformats/jpeg.plugin", QByteArray(300, 'j')},
            {"plugins/platforms/offscreen.plugin", QByteArray(200, 'p')},
            {"plugins/Zeta.plugin", "upper case sorts first"},
            {"plugins/alpha.plugin", "lower case sorts last"},
            {"tools/old_nerixSetupOnline.exe.bak", "never copied"},
            {"tools/convert.dat", "tool data"},
            {QString::fromUtf8("docs/a/b/c/d/e/f/g/h/Ünïcödé 说明 (1).txt"), "deep"}};
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
        if ((it.key().endsWith(".exe") || it.value().startsWith("#!")) &&
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

QString PackageBuilder::testKey(char letter)
{
    return qEnvironmentVariable("NERIX_SOURCE_DIR") +
           QStringLiteral("/tests/data/test-key-%1.key").arg(letter);
}

bool PackageBuilder::sign(const QString& file, const QStringList& switches)
{
    return runTool(QStringLiteral("minisign"), QStringList{"-S", "-s", testKey('a'), "-m", file} + switches);
}
