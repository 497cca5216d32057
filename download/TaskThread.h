#pragma once

#include <QString>
#include <QThread>

class DownloadManager;

// Runs one blocking package download per start.
class TaskThread : public QThread
{
    Q_OBJECT

public:
    static constexpr char packageTempName[] = "corvanetemp.7z";

    // Codes of updateFailed.
    static constexpr int kTransferFailed = 0;
    static constexpr int kSignatureRejected = 2; // the package's signature is missing or wrong
    static constexpr int kNoDownloader = -100;

    explicit TaskThread(QObject* parent = nullptr);
    ~TaskThread() override;

    void setUrl(const QString& packageUrl) { url = packageUrl; }
    QString packageUrl() const { return url; }
    DownloadManager* downloadManager() const { return downloader; }

    // Ends a running transfer promptly and waits for the thread.
    void cancelAndWait();

signals:
    void updateProgress(double per);
    void updateSuccess(QString temppath);
    void updateFailed(int code);

public slots:
    void downLoadErr();
    void downLoadOK(QString path);
    void downProgress(double per);

protected:
    void run() override;

private:
    void removeLeftovers();

    DownloadManager* downloader = nullptr;
    double lastProgress = 0.0;
    QString url;
};
