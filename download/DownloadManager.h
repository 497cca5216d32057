#pragma once

#include "download/ProgressThrottle.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <cstddef>
#include <curl/curl.h>
#include <mutex>
#include <vector>

// Fetches one file over HTTP(S) with libcurl into the per-user data folder,
// under "<name>_tmp" until the transfer has succeeded.
class DownloadManager : public QObject
{
    Q_OBJECT

public:
    explicit DownloadManager(QObject* parent = nullptr);
    ~DownloadManager() override;

    // Blocks the calling thread for the whole transfer; the outcome arrives
    // through the signals, emitted before the call returns.
    void downloadFile(QString url, QString fileName);

    // Thread-safe: makes a running transfer end promptly as a failure.
    void cancel();
    void resetCancel();

    QString downloadFolder() const { return downloadDir; }

    // Seconds without a byte before a transfer counts as stalled.
    void setStallSeconds(long seconds) { m_stallSeconds = seconds; }

    // Call once on the main thread before any transfer: libcurl's implicit
    // initialisation is not thread-safe.
    static void globalInit();

signals:
    void downLoadErr();
    void downLoadOK(QString path);
    void downProgress(double per);

private:
    static size_t writeCallback(char* data, size_t size, size_t count, void* file);

    // Called by libcurl's progress callback; false aborts the transfer.
    bool onProgress(qint64 total, qint64 received);
    bool trackSocket(curl_socket_t socket);
    void closeSocket(curl_socket_t socket);

    QString downloadDir;
    QString fileName;
    QString tempFileName;
    QString url;
    long m_stallSeconds = 60;
    std::atomic<bool> m_cancelled{false};

    // Worker-thread state of the running transfer.
    ProgressThrottle m_throttle;
    bool m_lengthKnown = false;

    // Sockets of the running transfer, so cancel() can wake a blocked poll.
    // A standard mutex, which thread sanitizers can see through Qt.
    std::mutex m_socketsLock;
    std::vector<curl_socket_t> m_sockets;
};
