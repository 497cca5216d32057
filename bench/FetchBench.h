#pragma once

#include <QJsonObject>
#include <QString>

// One DownloadManager transfer on a thread of its own, without the window:
// with the signature check of the keys built in, or with no keys at all, so
// the two can be weighed against each other.
class FetchBench
{
public:
    FetchBench(const QString& url, qint64 expectedBytes, bool verify);

    QJsonObject run();

private:
    QString m_url;
    qint64 m_expectedBytes;
    bool m_verify;
};
