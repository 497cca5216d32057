#pragma once

#include <QJsonObject>
#include <QString>

// One package download as the user starts it: the real window on this (GUI)
// thread, its install button pressed, TaskThread and DownloadManager doing the
// transfer. Reports the time to updateSuccess, the GUI timer's worst lateness
// and the progress traffic that reached the GUI thread.
class DownloadBench
{
public:
    DownloadBench(const QString& url, qint64 expectedBytes);

    // Blocks in a local event loop; "ok" is false when the download failed or
    // the file is not the expected size.
    QJsonObject run();

private:
    QString m_url;
    qint64 m_expectedBytes;
};
