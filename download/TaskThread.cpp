#include "download/TaskThread.h"

#include "download/DownloadManager.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

TaskThread::TaskThread(QObject* parent) : QThread(parent), downloader(new DownloadManager(this))
{
    connect(downloader, &DownloadManager::downLoadErr, this, &TaskThread::downLoadErr);
    connect(downloader, &DownloadManager::downLoadOK, this, &TaskThread::downLoadOK);
    connect(downloader, &DownloadManager::downProgress, this, &TaskThread::downProgress);
    removeLeftovers();
}

void TaskThread::releaseDownloadFolder()
{
    removeLeftovers();
    const QString folder = downloader->downloadFolder();
    if (!folder.isEmpty())
        QDir().rmdir(folder);
}

void TaskThread::removeLeftovers()
{
    // The folder's name comes from the executable's name, so it may hold
    // another program's data: only what an earlier run put there goes.
    const QString folder = downloader->downloadFolder();
    if (folder.isEmpty())
        return;
    const QString package = QLatin1String(packageTempName);
    // The two product folders are what InstallThread extracts beside the package.
    for (const QString& name : {package, package + QStringLiteral("_tmp"),
                                QStringLiteral("Vantrel_x64Minimal"), QStringLiteral("Vantrel_x86Minimal")}) {
        const QFileInfo entry(folder + QLatin1Char('/') + name);
        // A link goes itself; what it points to is not ours.
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

TaskThread::~TaskThread()
{
    // A running transfer would otherwise outlive its thread object.
    if (isRunning())
        cancelAndWait();
    delete downloader;
}

void TaskThread::cancelAndWait()
{
    // run() clears the flag when it starts, so a cancel that races a fresh
    // start is repeated until the thread has ended.
    downloader->cancel();
    while (!wait(100))
        downloader->cancel();
}

void TaskThread::download(const DownloadRequest& request)
{
    (void)m_runsEnded.load(std::memory_order_acquire);
    m_request = request;
    start(QThread::InheritPriority);
}

void TaskThread::run()
{
    const QString fileName = QLatin1String(packageTempName);
    qDebug() << "load zip" << fileName;
    downloader->resetCancel();
    downloader->downloadFile(m_request.url, fileName);
    m_runsEnded.fetch_add(1, std::memory_order_release);
}

void TaskThread::downLoadErr()
{
    qDebug() << "load update zip failed";
    // Read after the failure was posted, before the window can start another run.
    const bool rejected = downloader->lastFailure() == DownloadManager::Failure::Signature;
    emit updateFailed(int(rejected ? Failure::SignatureRejected : Failure::TransferFailed));
}

void TaskThread::downLoadOK(QString path)
{
    qDebug() << "load update zip success" << path;
    emit updateSuccess(path);
}

void TaskThread::downProgress(double per)
{
    emit updateProgress(per);
}
