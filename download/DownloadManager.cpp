#include "download/DownloadManager.h"

#include "platform/DownloadIo.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <cstdio>
#include <curl/curl.h>
#include <mutex>

namespace {

// Redirect chains longer than this are treated as loops.
constexpr long kMaxRedirects = 20;
constexpr long kReceiveBufferBytes = 100 * 1024;

} // namespace

DownloadManager::DownloadManager(QObject* parent) : QObject(parent)
{
    downloadDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    qDebug() << downloadDir;
    // An empty location would make QDir act on the working directory.
    if (downloadDir.isEmpty())
        return;
    QDir dir(downloadDir);
    if (dir.exists())
        dir.removeRecursively();
    QDir().mkpath(downloadDir);
}

DownloadManager::~DownloadManager() = default;

void DownloadManager::globalInit()
{
    static const CURLcode result = curl_global_init(CURL_GLOBAL_ALL);
    Q_UNUSED(result)
}

void DownloadManager::cancel()
{
    m_cancelled = true;
    // libcurl only looks at the progress callback about once a second while
    // the peer is silent; shutting the socket down wakes its poll at once.
    const std::lock_guard<std::mutex> lock(m_socketsLock);
    for (curl_socket_t socket : m_sockets)
        DownloadIo::shutdownSocket(socket);
}

void DownloadManager::resetCancel()
{
    m_cancelled = false;
}

size_t DownloadManager::writeCallback(char* data, size_t size, size_t count, void* file)
{
    return std::fwrite(data, size, count, static_cast<FILE*>(file));
}

bool DownloadManager::onProgress(qint64 total, qint64 received)
{
    if (m_cancelled)
        return false;
    // Without a known length there is no percentage to give until the end.
    if (total <= 0)
        return true;
    m_lengthKnown = true;
    const double per = received * 100.0 / total;
    // Pre-filter with TaskThread's own rule so only the values it would pass
    // on cross to the GUI thread.
    if (m_throttle.accept(per))
        emit downProgress(per);
    return true;
}

bool DownloadManager::trackSocket(curl_socket_t socket)
{
    const std::lock_guard<std::mutex> lock(m_socketsLock);
    if (m_cancelled)
        return false;
    m_sockets.push_back(socket);
    return true;
}

void DownloadManager::closeSocket(curl_socket_t socket)
{
    // Closed under the lock so cancel() never shuts down a reused descriptor.
    const std::lock_guard<std::mutex> lock(m_socketsLock);
    m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), socket), m_sockets.end());
    DownloadIo::closeSocket(socket);
}

void DownloadManager::downloadFile(QString fileUrl, QString name)
{
    url = fileUrl;
    fileName = name;
    tempFileName = fileName + QStringLiteral("_tmp");
    m_throttle.reset();
    m_lengthKnown = false;

    const QString tempPath = downloadDir + QLatin1Char('/') + tempFileName;
    const QString finalPath = downloadDir + QLatin1Char('/') + fileName;
    if (QFile::exists(tempPath))
        QFile::remove(tempPath);
    if (QFile::exists(finalPath))
        QFile::remove(finalPath);

    CURL* curl = curl_easy_init();
    if (!curl) {
        qDebug() << "load faile>>>>>>>>>>>>" << int(CURLE_FAILED_INIT);
        emit downLoadErr();
        return;
    }

    FILE* file = DownloadIo::openForWriting(tempPath);
    if (!file) {
        qDebug() << "load open failed" << tempPath;
        curl_easy_cleanup(curl);
        emit downLoadErr();
        return;
    }

    auto progress = [](void* self, curl_off_t dltotal, curl_off_t dlnow, curl_off_t, curl_off_t) -> int {
        return static_cast<DownloadManager*>(self)->onProgress(dltotal, dlnow) ? 0 : 1;
    };
    auto sockopt = [](void* self, curl_socket_t socket, curlsocktype) -> int {
        return static_cast<DownloadManager*>(self)->trackSocket(socket) ? CURL_SOCKOPT_OK
                                                                        : CURL_SOCKOPT_ERROR;
    };
    auto closesocket = [](void* self, curl_socket_t socket) -> int {
        static_cast<DownloadManager*>(self)->closeSocket(socket);
        return 0;
    };

    const QByteArray urlBytes = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &DownloadManager::writeCallback);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, static_cast<curl_xferinfo_callback>(progress));
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    // Fewer, larger writes on a fast link, as the curl program does.
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    // The package is code that will be run: the certificate must verify.
    DownloadIo::applyTlsTrust(curl);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_stallSeconds);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
#if CURL_AT_LEAST_VERSION(7, 85, 0)
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(curl, CURLOPT_SOCKOPTFUNCTION, static_cast<curl_sockopt_callback>(sockopt));
    curl_easy_setopt(curl, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, static_cast<curl_closesocket_callback>(closesocket));
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, this);

    CURLcode result = m_cancelled ? CURLE_ABORTED_BY_CALLBACK : curl_easy_perform(curl);
    // Buffered bytes reach the disk only here; a failed flush is a failed download.
    if (std::fclose(file) != 0 && result == CURLE_OK)
        result = CURLE_WRITE_ERROR;
    // A cancel may look like an orderly end to a response without a length.
    if (m_cancelled && result == CURLE_OK)
        result = CURLE_ABORTED_BY_CALLBACK;
    curl_easy_cleanup(curl);

    if (result != CURLE_OK) {
        qDebug() << "load faile>>>>>>>>>>>>" << int(result);
        emit downLoadErr();
        return;
    }

    if (!QFile::rename(tempPath, finalPath)) {
        qDebug() << "load rename failed" << tempPath << finalPath;
        emit downLoadErr();
        return;
    }
    if (!m_lengthKnown)
        emit downProgress(100.0);
    emit downLoadOK(finalPath);
}
