#include "telemetry/OperationLog.h"

#include "BuildConfig.h"
#include "telemetry/MachineIdentifier.h"
#include "telemetry/OperationLogSender.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QTimer>
#include <QUrl>
#include <utility>

namespace {

// The longest the first posts wait for the window's first frame: a window
// that is not painted soon (hidden, minimised) still reports.
constexpr int kEarlyPostsLatestMs = 5000;

} // namespace

OperationLog::OperationLog(QObject* parent) : QObject(parent), logBaseUrl(QLatin1String(endpoints::telemetry))
{
    QTimer::singleShot(kEarlyPostsLatestMs, this, &OperationLog::release);
}

void OperationLog::setChannel(const ChannelFields& channel)
{
    m_channelName = channel.channelName;
    m_channelId = channel.channelId.left(16);
    if (channel.mode != 1)
        logBaseUrl = QLatin1String(endpoints::telemetryTest);
}

QNetworkReply* OperationLog::send(const QString& btnId)
{
    qDebug() << logBaseUrl;
    QNetworkRequest request(QUrl(logBaseUrl + QStringLiteral("/v1/operationLog"), QUrl::TolerantMode));
    request.setRawHeader("Content-Type", "application/json;charset=utf-8");
    m_waiting.append({request, OperationLogRecord(btnId, m_channelName, m_channelId)});
    qDebug() << "opration log: " << btnId;
    // Behind the posts still waiting, if any.
    if (!m_released || m_waiting.size() > 1 || !MachineIdentifier::isKnown())
        return nullptr;
    return flush().value(0);
}

void OperationLog::release()
{
    if (m_released)
        return;
    m_released = true;
    MachineIdentifier::whenKnown(this, [this] { flush(); });
}

QList<QNetworkReply*> OperationLog::sendWaitingNow()
{
    m_released = true;
    QList<QNetworkReply*> replies = flush();
    if (m_sender)
        replies += m_sender->sendWaitingNow();
    return replies;
}

QList<QNetworkReply*> OperationLog::flush()
{
    QList<QNetworkReply*> replies;
    if (m_waiting.isEmpty())
        return replies;
    const QString pcId = MachineIdentifier::value();
    qDebug() << "pcId" << pcId;
    if (!logNetworkManager) {
        logNetworkManager = new QNetworkAccessManager(this);
        m_sender = new OperationLogSender(logNetworkManager, logNetworkManager);
    }
    for (const auto& [request, record] : std::exchange(m_waiting, {})) {
        if (QNetworkReply* reply = m_sender->post(request, record.toJson(pcId).toUtf8()))
            replies.append(reply);
    }
    return replies;
}
