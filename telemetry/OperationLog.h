#pragma once

#include "core/ChannelManager.h"
#include "telemetry/OperationLogRecord.h"

#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPair>
#include <QString>

class OperationLogSender;
class QNetworkAccessManager;
class QNetworkReply;

// How the window and the install flow report an event: a record with the
// channel known so far, posted to the telemetry root. Posts made before the
// window's first frame wait for it (starting the network stack would hold
// that frame up), a few seconds at most; every post also waits for the
// machine's identifier, in order, and takes it as it leaves.
class OperationLog : public QObject
{
    Q_OBJECT

public:
    explicit OperationLog(QObject* parent = nullptr);

    // The launch parameter's channel; a test channel reports to the test root.
    void setChannel(const ChannelFields& channel);
    QString baseUrl() const { return logBaseUrl; }

    // The reply when the post left at once, else null.
    QNetworkReply* send(const QString& btnId);
    // Lets the posts that waited for the first frame go, in order, once the
    // identifier is known; once.
    void release();
    // For the end of the process: every post still waiting, on connections
    // of its own where the others are taken; waits for the identifier.
    QList<QNetworkReply*> sendWaitingNow();

private:
    // Posts every waiting record; the replies of those that left at once.
    QList<QNetworkReply*> flush();

    QString logBaseUrl;
    QString m_channelName; // empty until the launch parameter is known
    QString m_channelId;
    QList<QPair<QNetworkRequest, OperationLogRecord>> m_waiting;
    bool m_released = false;
    QNetworkAccessManager* logNetworkManager = nullptr;
    OperationLogSender* m_sender = nullptr;
};
