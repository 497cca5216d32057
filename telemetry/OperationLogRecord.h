#pragma once

#include <QString>

// One telemetry record; built, serialised and dropped by the sender.
struct OperationLogRecord
{
    explicit OperationLogRecord(const QString& btnId);

    QString toJson() const;

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
    QString pcId;
};
