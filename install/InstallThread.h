#pragma once

#include "core/ChannelManager.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>

// What one install run works on: fixed for the run once it has started.
struct InstallRequest
{
    QString installDir;  // the product's own folder: an earlier installation's files go first
    QString packagePath; // the downloaded 7z package
    bool is64Bit = true;
    ChannelFields channel; // for the channel file
    // Folder whose files the second copy pass brings along; empty: the
    // installer's own folder (tests and benchmarks point elsewhere).
    QString installerDir;
};

// Extracts the downloaded package, copies the product into place and
// registers it. Reports only through queued signals.
class InstallThread : public QThread
{
    Q_OBJECT

public:
    // The codes of installFailed, as the telemetry posts them.
    enum class Failure {
        PackageMissing = 1,
        NothingToCopy = 3, // 7-Zip failed or is missing, or the product folder is empty
        CopyFailed = 4,
    };

    explicit InstallThread(QObject* parent = nullptr);
    ~InstallThread() override;

    // Starts the thread on request (the thread must not be running).
    void install(const InstallRequest& request);

    // Stops 7-Zip and the copy loop promptly and waits for the thread. A run
    // stopped this way emits neither installSuccess nor installFailed.
    void cancelAndWait();

signals:
    void installProgress(double per);
    void installSuccess();
    void installFailed(int code);

protected:
    void run() override;

private:
    enum class Transfer { Copy, Move };
    // The run's working state; installDir takes backslashes once the removal
    // script is written, and every path built after that carries them.
    struct Run
    {
        QString installDir;
        QStringList manifest;
        // What a run that does not finish takes away again: the files it
        // created or replaced, and the folders it created, outer ones first.
        QSet<QString> written;
        QStringList createdFolders;
        Failure failure = Failure::CopyFailed;
    };

    // False on failure (run.failure says which) or when cancelled.
    bool installFiles(Run& run, const InstallRequest& request);
    // files: those below sourceDir, as collectFiles lists them.
    bool copyTree(Run& run, const QString& sourceDir, const QStringList& files, double span, double base,
                  Transfer transfer);
    static bool linksOutside(const QString& path, const QString& canonicalSourceDir);
    // False when 7-Zip is missing or could not extract everything.
    bool runSevenZip(const QStringList& arguments);
    static bool makeFolder(Run& run, const QString& folder);
    static bool writeFile(Run& run, const QString& path, const QByteArray& bytes);
    static void removeEarlierInstallation(const QString& installDir);
    static void rollBack(const Run& run);
    bool writeFiles(Run& run, const ChannelFields& channel);
    void writeUninstallRegistry(const Run& run);
    bool cancelled() const { return m_cancelled.load(); }

    InstallRequest m_request;
    std::atomic<bool> m_cancelled{false};
};
