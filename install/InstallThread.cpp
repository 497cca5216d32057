#include "install/InstallThread.h"

#include "BuildConfig.h"
#include "install/FileWalk.h"
#include "install/ProductFiles.h"
#include "install/ReinstallPlan.h"
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

// A read-only file, as an archive may bring one, is still the
// installation's to remove.
bool removeFile(const QString& path)
{
    return QFile::remove(path) ||
           (QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner) &&
            QFile::remove(path));
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

    Run run{request.installDir, {}, {}, {}, Failure::CopyFailed};
    const bool installed = installFiles(run, request);
    if (!installed)
        rollBack(run);
    if (cancelled())
        return;
    if (!installed) {
        emit installFailed(int(run.failure));
        return;
    }

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

bool InstallThread::installFiles(Run& run, const InstallRequest& request)
{
    if (!isUsableInstallDir(run.installDir)) {
        qDebug() << "no usable install folder" << run.installDir;
        return false;
    }
    if (!QFileInfo(request.packagePath).isFile()) {
        run.failure = Failure::PackageMissing;
        return false;
    }

    const QString extractDir = QFileInfo(request.packagePath).path();
    qDebug() << "unzip dir" << extractDir;
    const bool extracted = runSevenZip({QStringLiteral("x"), request.packagePath,
                                        QStringLiteral("-o") + extractDir, QStringLiteral("-aoa")});
    run.failure = Failure::NothingToCopy;
    if (cancelled())
        return false;
    if (!extracted) {
        qDebug() << "unzip failed" << extractDir;
        return false;
    }

    const QString productDir = extractDir + (request.is64Bit ? QStringLiteral("/Vantrel_x64Minimal")
                                                             : QStringLiteral("/Vantrel_x86Minimal"));
    qDebug() << "app dir" << productDir;
    // The install folder is touched only once there is a product to put there.
    QStringList productFiles;
    collectFiles(productDir, productFiles);
    if (productFiles.isEmpty()) {
        qDebug() << "unzip failed" << productDir;
        return false;
    }
    run.failure = Failure::CopyFailed;
    if (!makeFolder(run, run.installDir))
        return false;
    removeEarlierInstallation(run.installDir);

    const QString installerDir =
        request.installerDir.isEmpty() ? QCoreApplication::applicationDirPath() : request.installerDir;
    // The extracted files are moved: a retry extracts the whole package again.
    // The installer's own files stay where they are.
    if (!copyTree(run, productDir, productFiles, 70.0, 0.0, Transfer::Move))
        return false;
    QStringList installerFiles;
    collectFiles(installerDir, installerFiles);
    return copyTree(run, installerDir, installerFiles, 30.0, 70.0, Transfer::Copy) && !cancelled() &&
           writeFiles(run, request.channel);
}

void InstallThread::removeEarlierInstallation(const QString& installDir)
{
    // Without a manifest the folder is no earlier installation: whatever is
    // in it is the user's, and only the package's own names are replaced.
    QFile list(installDir + QStringLiteral("/Uninstall.list"));
    if (list.open(QIODevice::ReadOnly)) {
        const ReinstallPlan plan = ReinstallPlan::fromManifest(QString::fromUtf8(list.readAll()), installDir);
        list.close();
        for (const QString& path : plan.ignored)
            qDebug() << "listed but outside the install folder, kept" << path;
        const QString top = QDir::cleanPath(QFileInfo(installDir).absoluteFilePath());
        for (const QString& path : plan.remove) {
            removeFile(path);
            // Folders this leaves empty go too; rmdir leaves any other.
            for (QString folder = QFileInfo(path).path();
                 folder.startsWith(top + QLatin1Char('/')) && QDir().rmdir(folder);
                 folder = QFileInfo(folder).path()) {
            }
        }
        qDebug() << "earlier installation removed" << plan.remove.size() << "files";
    } else {
        qDebug() << "no earlier installation in" << installDir;
    }
    QStringList kept;
    collectFiles(installDir, kept);
    if (!kept.isEmpty())
        qDebug() << "kept in the install folder" << kept;
}

void InstallThread::rollBack(const Run& run)
{
    for (const QString& path : run.written)
        removeFile(path);
    for (auto folder = run.createdFolders.crbegin(); folder != run.createdFolders.crend(); ++folder)
        QDir().rmdir(*folder);
    if (!run.written.isEmpty() || !run.createdFolders.isEmpty())
        qDebug() << "install undone" << run.written.size() << "files" << run.createdFolders.size()
                 << "folders";
}

bool InstallThread::makeFolder(Run& run, const QString& folder)
{
    QStringList missing;
    for (QString current = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
         !QFileInfo::exists(current) && !QDir(current).isRoot(); current = QFileInfo(current).path())
        missing.prepend(current);
    run.createdFolders += missing;
    return QDir().mkpath(folder);
}

bool InstallThread::writeFile(Run& run, const QString& path, const QByteArray& bytes)
{
    run.written.insert(path);
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(bytes) == bytes.size() && file.flush();
    if (!written)
        qDebug() << "write failed" << path << file.errorString();
    return written;
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

bool InstallThread::copyTree(Run& run, const QString& sourceDir, const QStringList& files, double span,
                             double base, Transfer transfer)
{
    qDebug() << "LSIT" << files;
    if (files.isEmpty()) {
        qDebug() << "unzip failed" << sourceDir;
        run.failure = Failure::NothingToCopy;
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
            makeFolder(run, destinationDir);
        // A file of the same name from before the run gives way to the
        // package's; one of this run's own is never replaced.
        const QFileInfo existing(destination);
        if ((existing.isFile() || existing.isSymLink()) && !run.written.contains(destination)) {
            qDebug() << "replace" << destination;
            removeFile(destination);
        }
        const bool move = transfer == Transfer::Move && !linkTargets.contains(canonical);
        const QFileInfo free(destination);
        if (!free.exists() && !free.isSymLink())
            run.written.insert(destination);
        const bool done =
            move ? FileCopy::moveOrCopyNew(path, destination) : FileCopy::copyNew(path, destination);
        if (!done) {
            qDebug() << path << " =failed to= " << destination;
            run.failure = Failure::CopyFailed;
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

bool InstallThread::writeFiles(Run& run, const ChannelFields& channel)
{
    const QString manifestPath = run.installDir + QStringLiteral("/Uninstall.list");
    const QString scriptPath = run.installDir + QStringLiteral("/Uninstall");
    run.manifest << manifestPath << scriptPath;
    run.installDir = QDir::toNativeSeparators(run.installDir);
    const QString channelPath = run.installDir + QStringLiteral("/Qt5Morvex.dll");
    run.manifest << channelPath;

    QByteArray list;
    for (const QString& entry : qAsConst(run.manifest))
        list += entry.toUtf8() + ',';
    return writeFile(run, scriptPath,
                     QString(QStringLiteral("rd/s/q \"") + run.installDir + QLatin1Char('"')).toUtf8()) &&
           writeFile(run, channelPath,
                     QString(channel.channelName + QLatin1Char(',') + channel.signature() + QLatin1Char(',') +
                             channel.channelId)
                         .toUtf8()) &&
           writeFile(run, manifestPath, list);
}
