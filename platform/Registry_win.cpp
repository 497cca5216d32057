#include "platform/Registry.h"

#include <QSettings>

QString Registry::backingFile(const QString& keyPath)
{
    Q_UNUSED(keyPath)
    return QString();
}

QString Registry::readString(const QString& keyPath, const QString& name)
{
    QSettings settings(keyPath, QSettings::NativeFormat);
    return settings.value(name).toString();
}

void Registry::writeStrings(const QString& keyPath, const QVector<QPair<QString, QString>>& values)
{
    // Without administrator rights the key is simply not created.
    QSettings settings(keyPath, QSettings::NativeFormat);
    for (const auto& value : values)
        settings.setValue(value.first, value.second);
    settings.sync();
}
