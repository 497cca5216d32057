#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPair>

class QNetworkAccessManager;
class QNetworkReply;

// Fire-and-forget posts of operation-log records. A receiver that accepts and
// never answers must not hold later events back: every post gives up after a
// few seconds, and no more posts are handed to the network layer at once than
// it has connections for, so a waiting post's clock starts only when it can
// leave. Every post takes the proxy the system names for its URL.
class OperationLogSender : public QObject
{
    Q_OBJECT

public:
    static constexpr int transferTimeoutMs = 5000;
    // Qt's connections per host.
    static constexpr int maxInFlight = 6;

    // Gives manager the system's proxy lookup.
    explicit OperationLogSender(QNetworkAccessManager* manager, QObject* parent = nullptr);

    // The reply when the post left at once, else null (it waits its turn).
    QNetworkReply* post(const QNetworkRequest& request, const QByteArray& body);

    // For the end of the process: sends every waiting post, the newest first,
    // on connections of their own, past the posts that occupy the others.
    QList<QNetworkReply*> sendWaitingNow();

private:
    QNetworkReply* send(QNetworkAccessManager* manager, QNetworkRequest request, const QByteArray& body);
    void sendNext();

    QNetworkAccessManager* m_manager;
    QNetworkAccessManager* m_spare = nullptr;
    QList<QPair<QNetworkRequest, QByteArray>> m_waiting;
    int m_inFlight = 0;
};
