#pragma once

#include <QObject>
#include <QString>

#include <atomic>

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
    static int progressCallback(void* clientp, long long dltotal, long long dlnow, long long ultotal,
                                long long ulnow);

    QString downloadDir;
    QString fileName;
    QString tempFileName;
    QString url;
    long m_stallSeconds = 60;
    std::atomic<bool> m_cancelled{false};
};
