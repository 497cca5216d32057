#pragma once

#include <QString>
#include <QThread>
#include <atomic>

class DownloadManager;

// What one download fetches: fixed for the run once it has started.
struct DownloadRequest
{
    QString url;
};

// Runs one blocking package download per start. Its DownloadManager is its
// child (tests and benchmarks tune it so).
class TaskThread : public QThread
{
    Q_OBJECT

public:
    static constexpr char packageTempName[] = "corvanetemp.7z";

    // The codes of updateFailed, as the telemetry posts them.
    enum class Failure {
        TransferFailed = 0,
        SignatureRejected = 2, // the package's signature is missing or wrong
    };

    explicit TaskThread(QObject* parent = nullptr);
    ~TaskThread() override;

    // Starts the thread on request (the thread must not be running).
    void download(const DownloadRequest& request);

    // Ends a running transfer promptly and waits for the thread.
    void cancelAndWait();

    // What a run leaves in the download folder: the package, its partial
    // download and the product folders extracted beside it. The construction
    // removes an earlier run's; an installation that succeeded, its own.
    void removeLeftovers();
    // After a successful installation: the leftovers, then the folder itself
    // where the download made it for nothing else.
    void releaseDownloadFolder();

signals:
    void updateProgress(double per);
    void updateSuccess(QString temppath);
    void updateFailed(int code);

public slots:
    void downLoadErr();
    void downLoadOK(QString path);
    // Already no finer than a point apart: DownloadManager's throttle.
    void downProgress(double per);

protected:
    void run() override;

private:
    DownloadManager* downloader = nullptr;
    DownloadRequest m_request;
    // Released as a run ends, acquired as the next starts: the ordering that
    // QThread's own wait gives, in a form the thread sanitizer can see
    // (Qt is not built with it).
    std::atomic<int> m_runsEnded{0};
};
