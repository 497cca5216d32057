#include "install/InstallThread.h"

#include "BuildConfig.h"
#include "install/FileWalk.h"
#include "install/ProductFiles.h"
#include "install/Shortcuts.h"
#include "install/UninstallRegistry.h"
#include "platform/ExternalTools.h"
#include "platform/FileCopy.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>

namespace {

// How often the wait for 7-Zip looks at the cancel flag.
constexpr int kCancelPollMs = 100;

// An empty folder would make the run clear the working directory and copy
// into the file-system root; a root is never a product's own folder.
bool isUsableInstallDir(const QString& dir)
{
    return !dir.trimmed().isEmpty() && !QDir(dir).isRoot();
}

} // namespace

InstallThread::InstallThread(QObject* parent) : QThread(parent) {}

InstallThread::~InstallThread()
{
    cancelAndWait();
}

void InstallThread::install(const InstallRequest& request)
{
    m_request = request;
    start(QThread::InheritPriority);
}

void InstallThread::fail(Failure failure)
{
    emit installFailed(int(failure));
}

void InstallThread::cancelAndWait()
{
    m_cancelled = true;
    wait();
    // A later start() runs in full again.
    m_cancelled = false;
}

void InstallThread::run()
{
    const InstallRequest request = m_request;
    emit installProgress(0.0);
    if (cancelled())
        return;

    Run run{request.installDir, {}};
    if (!isUsableInstallDir(run.installDir)) {
        qDebug() << "no usable install folder" << run.installDir;
        fail(Failure::CopyFailed);
        return;
    }
    QDir(run.installDir).removeRecursively();
    QDir().mkpath(run.installDir);

    if (!QFileInfo(request.packagePath).isFile()) {
        fail(Failure::PackageMissing);
        return;
    }

    const QString extractDir = QFileInfo(request.packagePath).path();
    qDebug() << "unzip dir" << extractDir;
    const bool extracted = runSevenZip({QStringLiteral("x"), request.packagePath,
                                        QStringLiteral("-o") + extractDir, QStringLiteral("-aoa")});
    if (cancelled())
        return;
    if (!extracted) {
        qDebug() << "unzip failed" << extractDir;
        fail(Failure::NothingToCopy);
        return;
    }

    const QString productDir = extractDir + (request.is64Bit ? QStringLiteral("/Vantrel_x64Minimal")
                                                             : QStringLiteral("/Vantrel_x86Minimal"));
    qDebug() << "app dir" << productDir;

    const QString installerDir =
        request.installerDir.isEmpty() ? QCoreApplication::applicationDirPath() : request.installerDir;
    // The extracted files are moved: a retry extracts the whole package again.
    if (!copyTree(run, productDir, 70.0, 0.0, Transfer::Move))
        return;
    // The installer's own files stay where they are.
    if (!copyTree(run, installerDir, 30.0, 70.0, Transfer::Copy))
        return;
    if (cancelled())
        return;

    writeFiles(run, request.channel);

    const QString productExe = ProductFiles::program(run.installDir, greenTheme);
    const QString uninstallerExe = ProductFiles::uninstaller(run.installDir, greenTheme);
    const QString displayName = productDisplayName();
    qDebug() << createDesktopLink(productExe);
    qDebug() << createStartMenuLink(productExe, displayName + QStringLiteral(".lnk"));
    qDebug() << createStartMenuLink(uninstallerExe, tr("language8") + displayName + QStringLiteral(".lnk"));

    writeUninstallRegistry(run);
    if (cancelled())
        return;
    emit installSuccess();
}

bool InstallThread::runSevenZip(const QStringList& arguments)
{
    qDebug() << "unzip" << arguments;
    const QString program = ExternalTools::sevenZipProgram();
    // An earlier extraction's files must not pass for this package's.
    if (!QFileInfo(program).isFile()) {
        qDebug() << "unzip failed, missing" << program;
        return false;
    }
    QProcess process;
    process.start(program, arguments, QIODevice::ReadWrite);
    // An encrypted package makes 7-Zip ask for a password on its input; at the
    // end of input it gives up instead of waiting forever.
    const bool started = process.waitForStarted(-1);
    if (started)
        process.closeWriteChannel();
    // No time limit as long as nobody cancels: a big package may take long.
    while (!process.waitForFinished(kCancelPollMs)) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (cancelled()) {
            qDebug() << "unzip cancelled";
            process.kill();
            process.waitForFinished(-1);
            break;
        }
    }
    // 1 is a warning; from 2 on some files are missing or damaged.
    if (!started)
        qDebug() << "unzip failed to start" << program << process.errorString();
    const bool failed = !started || process.exitStatus() == QProcess::CrashExit || process.exitCode() >= 2;
    process.close();
    return !failed;
}

bool InstallThread::linksOutside(const QString& path, const QString& canonicalSourceDir)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return false;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() || !target.startsWith(canonicalSourceDir + QLatin1Char('/'));
}

bool InstallThread::copyTree(Run& run, const QString& sourceDir, double span, double base, Transfer transfer)
{
    QStringList files;
    collectFiles(sourceDir, files);
    qDebug() << "LSIT" << files;
    if (files.isEmpty()) {
        qDebug() << "unzip failed" << sourceDir;
        fail(Failure::NothingToCopy);
        return false;
    }
    const int total = files.size();
    qDebug() << "installDir" << run.installDir << total;

    const QString canonicalSource = QFileInfo(sourceDir).canonicalFilePath();
    // Where the installer is not called *.exe the name rule cannot see it.
    const QString runningInstaller = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    // A file that a link in the tree names is copied, not moved, so that the
    // link still finds it when its turn comes.
    QSet<QString> linkTargets;
    for (const QString& path : qAsConst(files)) {
        if (transfer == Transfer::Move && QFileInfo(path).isSymLink())
            linkTargets.insert(QFileInfo(path).canonicalFilePath());
    }
    int copied = 0;
    for (const QString& path : qAsConst(files)) {
        if (cancelled())
            return false;
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (isSkippedInstallerFile(path) || canonical == runningInstaller)
            continue;
        // The copy would bring along whatever the link points at.
        if (linksOutside(path, canonicalSource)) {
            qDebug() << "skip link to outside" << path;
            continue;
        }
        const QString destination =
            run.installDir + QLatin1Char('/') + QDir(sourceDir).relativeFilePath(path);
        const QString destinationDir = QFileInfo(destination).path();
        if (!QFileInfo::exists(destinationDir))
            QDir().mkpath(destinationDir);
        const bool move = transfer == Transfer::Move && !linkTargets.contains(canonical);
        const bool done =
            move ? FileCopy::moveOrCopyNew(path, destination) : FileCopy::copyNew(path, destination);
        if (!done) {
            qDebug() << path << " =failed to= " << destination;
            fail(Failure::CopyFailed);
            return false;
        }
        ++copied;
        emit installProgress(passProgress(copied, total, span, base));
        run.manifest.append(destination);
    }
    return true;
}

void InstallThread::writeUninstallRegistry(const Run& run)
{
    writeUninstallEntry(productDisplayName(), ProductFiles::program(run.installDir, greenTheme),
                        ProductFiles::uninstaller(run.installDir, greenTheme));
}

void InstallThread::writeFiles(Run& run, const ChannelFields& channel)
{
    const QString manifestPath = run.installDir + QStringLiteral("/Uninstall.list");
    run.manifest.append(manifestPath);

    const QString scriptPath = run.installDir + QStringLiteral("/Uninstall");
    QFile script(scriptPath);
    if (script.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        run.installDir = QDir::toNativeSeparators(run.installDir);
        script.write(QString(QStringLiteral("rd/s/q \"") + run.installDir + QLatin1Char('"')).toUtf8());
        script.close();
    }
    run.manifest.append(scriptPath);

    const QString channelPath = run.installDir + QStringLiteral("/Qt5Morvex.dll");
    QFile channelFile(channelPath);
    if (channelFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        run.installDir = QDir::toNativeSeparators(run.installDir);
        channelFile.write(QString(channel.channelName + QLatin1Char(',') + channel.signature() +
                                  QLatin1Char(',') + channel.channelId)
                              .toUtf8());
        channelFile.close();
    }
    run.manifest.append(channelPath);

    QFile list(manifestPath);
    if (list.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QByteArray bytes;
        for (const QString& entry : qAsConst(run.manifest))
            bytes += entry.toUtf8() + ',';
        list.write(bytes);
        list.close();
    }
}
