#include "telemetry/OperationLog.h"

#include "BuildConfig.h"
#include "telemetry/OperationLogRecord.h"
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
    const QByteArray body = OperationLogRecord(btnId, m_channelName, m_channelId).toJson().toUtf8();
    qDebug() << "opration log: " << btnId;
    // The record is fixed now; it leaves once the network stack may start.
    if (!m_released) {
        m_early.append({request, body});
        return nullptr;
    }
    return post(request, body);
}

void OperationLog::release()
{
    if (m_released)
        return;
    m_released = true;
    const auto posts = std::exchange(m_early, {});
    for (const auto& [request, body] : posts)
        post(request, body);
}

QList<QNetworkReply*> OperationLog::sendWaitingNow()
{
    return m_sender ? m_sender->sendWaitingNow() : QList<QNetworkReply*>();
}

QNetworkReply* OperationLog::post(const QNetworkRequest& request, const QByteArray& body)
{
    if (!logNetworkManager) {
        logNetworkManager = new QNetworkAccessManager(this);
        m_sender = new OperationLogSender(logNetworkManager, logNetworkManager);
    }
    return m_sender->post(request, body);
}
