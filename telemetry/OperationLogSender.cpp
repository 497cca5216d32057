#include "telemetry/OperationLogSender.h"

#include "platform/SystemProxy.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {

// Left to itself a manager ignores the system's proxy on Linux and never
// proxies a loopback host; the download asks the same piece, per URL.
void useSystemProxy(QNetworkAccessManager* manager)
{
    manager->setProxyFactory(new SystemProxy::Factory);
}

} // namespace

OperationLogSender::OperationLogSender(QNetworkAccessManager* manager, QObject* parent)
    : QObject(parent), m_manager(manager)
{
    useSystemProxy(m_manager);
}

QNetworkReply* OperationLogSender::post(const QNetworkRequest& request, const QByteArray& body)
{
    if (m_inFlight >= maxInFlight) {
        m_waiting.append(qMakePair(request, body));
        return nullptr;
    }
    ++m_inFlight;
    QNetworkReply* reply = send(m_manager, request, body);
    connect(reply, &QNetworkReply::finished, this, [this] {
        --m_inFlight;
        sendNext();
    });
    return reply;
}

void OperationLogSender::sendNext()
{
    if (!m_waiting.isEmpty() && m_inFlight < maxInFlight) {
        const auto next = m_waiting.takeFirst();
        post(next.first, next.second);
    }
}

QList<QNetworkReply*> OperationLogSender::sendWaitingNow()
{
    // A manager of its own opens fresh connections.
    if (!m_spare) {
        m_spare = new QNetworkAccessManager(this);
        useSystemProxy(m_spare);
    }
    QList<QNetworkReply*> replies;
    while (!m_waiting.isEmpty()) {
        const auto last = m_waiting.takeLast();
        replies.append(send(m_spare, last.first, last.second));
    }
    return replies;
}

QNetworkReply* OperationLogSender::send(QNetworkAccessManager* manager, QNetworkRequest request,
                                        const QByteArray& body)
{
    // The answer is never read; a receiver that keeps silent only costs a
    // connection for this long.
    request.setTransferTimeout(transferTimeoutMs);
    QNetworkReply* reply = manager->post(request, body);
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    return reply;
}
