#include "FetchBench.h"

#include "download/DownloadManager.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <memory>

FetchBench::FetchBench(const QString& url, qint64 expectedBytes, bool verify)
    : m_url(url), m_expectedBytes(expectedBytes), m_verify(verify)
{
}

QJsonObject FetchBench::run()
{
    DownloadManager downloader(nullptr, m_verify ? QByteArray(packagePublicKeys) : QByteArray());
    QString path;
    QObject::connect(&downloader, &DownloadManager::downLoadOK, [&path](const QString& p) { path = p; });
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QThread> thread(
        QThread::create([&] { downloader.downloadFile(m_url, QStringLiteral("fetched.7z")); }));
    thread->start();
    thread->wait();
    const double seconds = clock.nsecsElapsed() / 1e9;
    const qint64 bytes = path.isEmpty() ? -1 : QFileInfo(path).size();
    return {
        {QStringLiteral("ok"), bytes == m_expectedBytes},
        {QStringLiteral("seconds"), seconds},
        {QStringLiteral("bytes"), bytes},
        {QStringLiteral("verified"), m_verify},
    };
}
