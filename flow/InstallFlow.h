#pragma once

#include "core/ChannelManager.h"

#include <QObject>
#include <QString>
#include <functional>

class InstallThread;
class OperationLog;
class QNetworkReply;
class TaskThread;

// The order of an installation: the download, then the install run, their
// failures and retries, and the launch of the product at the end. Both
// workers are its children (tests and benchmarks find them so); the window
// shows what this reports and says what the user did.
class InstallFlow : public QObject
{
    Q_OBJECT

public:
    // Downloading also stands for "not started yet": the window tells the two
    // apart by its page alone.
    enum class Phase { Downloading = 0, Installing = 1, Installed = 2 };

    InstallFlow(OperationLog* log, QObject* parent = nullptr);
    ~InstallFlow() override;

    // Makes the workers, once: the downloader cleans its folder on the way.
    // Everything below does it when it has not been done.
    void prepare();

    void setChannel(const ChannelFields& channel) { m_channel = channel; }
    void setPackageUrl(const QString& url) { m_packageUrl = url; }
    QString packageUrl() const { return m_packageUrl; }
    // The second copy pass's folder; the installer's own unless a test or
    // benchmark points elsewhere.
    void setInstallerDir(const QString& dir) { m_installerDir = dir; }

    // The install button, and the retry after a failure: the package is
    // fetched again and installed into installDir.
    void start(const QString& installDir);
    // Stops a running download or install and waits for it; what they
    // reported meanwhile is dropped: a stopped transfer is no failure to show.
    void stop();
    bool isBusy() const;

    Phase phase() const { return m_phase; }

    // Starts the product, then ends the process once lastPost (and any post
    // still waiting) has left, or after a short wait.
    void launch(const QString& program, QNetworkReply* lastPost);
    // How the process ends after the launch; tests replace it.
    void setExitHandler(std::function<void(int)> handler) { m_exitHandler = std::move(handler); }

signals:
    // After the flow's own part, in the order the workers report.
    void updateProgress(double per);
    void updateSuccess(QString temppath);
    void updateFailed(int code);
    void installProgress(double per);
    void installSuccess();
    void installFailed(int code);
    // The product has been started; the window can go.
    void launched();

private:
    void downloaded(const QString& packagePath);
    void downloadFailed(int code);
    void installFinished();
    void installStopped(int code);
    void waitForPosts(QNetworkReply* lastPost);

    OperationLog* m_log;
    TaskThread* m_taskThread = nullptr;
    InstallThread* m_installThread = nullptr;
    Phase m_phase = Phase::Downloading;
    ChannelFields m_channel;
    QString m_packageUrl;
    QString m_installDir;
    QString m_installerDir;
    bool m_launching = false;
    std::function<void(int)> m_exitHandler;
};
