#pragma once

#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>

// Extracts the downloaded package, copies the product into place and
// registers it. Reports only through queued signals.
class InstallThread : public QThread
{
    Q_OBJECT

public:
    explicit InstallThread(QObject* parent = nullptr);
    ~InstallThread() override;

    QString installDir;
    QString packagePath;
    bool is64Bit = true;

    // Folder whose files the second copy pass brings along; the installer's
    // own folder unless a caller (tests, benchmarks) points elsewhere.
    void setInstallerDir(const QString& dir) { m_installerDir = dir; }
    QString installerDir() const;

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

    bool copyTree(const QString& sourceDir, QStringList& manifest, double span, double base,
                  Transfer transfer);
    bool linksOutside(const QString& path, const QString& canonicalSourceDir) const;
    // False when 7-Zip ran and reported that it could not extract everything.
    bool runSevenZip(const QStringList& arguments);
    void writeFiles(QStringList& manifest);
    void writeUninstallRegistry();
    bool cancelled() const { return m_cancelled.load(); }

    QString m_installerDir;
    std::atomic<bool> m_cancelled{false};
};
