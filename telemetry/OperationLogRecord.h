#pragma once

#include <QString>

// One telemetry record; built when the event happens, serialised when its
// post leaves, which is when it takes the machine's identifier.
struct OperationLogRecord
{
    // channelName and channelId: empty until the launch parameter is known.
    OperationLogRecord(const QString& btnId, const QString& channelName, const QString& channelId);

    QString toJson(const QString& pcId) const;

    QString phoneId;
    QString phoneMaker;
    QString phoneModel;
    int phoneOs = 2;
    QString phoneOsVersion;
    QString apkChannel;
    int apkId = 25;
    int apkVersionCode = 1;
    QString apkVersionName;
    int type = 38;
    QString btnId;
};
