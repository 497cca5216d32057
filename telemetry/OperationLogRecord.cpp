#include "telemetry/OperationLogRecord.h"

#include "BuildConfig.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

OperationLogRecord::OperationLogRecord(const QString& eventName, const QString& channelName,
                                       const QString& channelId)
    : phoneId(channelId), apkChannel(channelName), apkId(greenTheme ? 27 : 25),
      apkVersionName(QLatin1String(installerVersion)), btnId(eventName)
{
    qDebug() << "phoneId" << phoneId;
}

QString OperationLogRecord::toJson(const QString& pcId) const
{
    QJsonObject object;
    object.insert(QStringLiteral("phoneId"), phoneId);
    object.insert(QStringLiteral("phoneMaker"), phoneMaker);
    object.insert(QStringLiteral("phoneModel"), phoneModel);
    object.insert(QStringLiteral("phoneOs"), phoneOs);
    object.insert(QStringLiteral("phoneOsVersion"), phoneOsVersion);
    object.insert(QStringLiteral("apkChannel"), apkChannel);
    object.insert(QStringLiteral("apkId"), apkId);
    object.insert(QStringLiteral("apkVersionName"), apkVersionName);
    object.insert(QStringLiteral("apkVersionCode"), apkVersionCode);
    object.insert(QStringLiteral("type"), type);
    object.insert(QStringLiteral("btnId"), btnId);
    object.insert(QStringLiteral("pcId"), pcId);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}
