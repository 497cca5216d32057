#include "download/TaskThread.h"

#include "download/DownloadManager.h"
#include "download/ProgressThrottle.h"

#include <QDebug>

TaskThread::TaskThread(QObject* parent) : QThread(parent), downloader(new DownloadManager(this))
{
    connect(downloader, &DownloadManager::downLoadErr, this, &TaskThread::downLoadErr);
    connect(downloader, &DownloadManager::downLoadOK, this, &TaskThread::downLoadOK);
    connect(downloader, &DownloadManager::downProgress, this, &TaskThread::downProgress);
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
    if (!downloader) {
        wait();
        return;
    }
    // run() clears the flag when it starts, so a cancel that races a fresh
    // start is repeated until the thread has ended.
    downloader->cancel();
    while (!wait(100))
        downloader->cancel();
}

void TaskThread::run()
{
    const QString fileName = QLatin1String(packageTempName);
    qDebug() << "load zip" << fileName;
    if (!downloader) {
        emit updateFailed(-100);
        qDebug() << "load zip failed,null" << fileName;
        return;
    }
    downloader->resetCancel();
    lastProgress = 0.0;
    downloader->downloadFile(url, fileName);
}

void TaskThread::downLoadErr()
{
    qDebug() << "load update zip failed";
    emit updateFailed(0);
}

void TaskThread::downLoadOK(QString path)
{
    qDebug() << "load update zip success" << path;
    emit updateSuccess(path);
}

void TaskThread::downProgress(double per)
{
    if (!ProgressThrottle::passes(lastProgress, per))
        return;
    lastProgress = per;
    emit updateProgress(per);
}
