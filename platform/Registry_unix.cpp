#include "platform/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

// Each key is one INI file; QSettings keeps values without a group in the
// file's [General] section, which is what it reads back as top level.

QString Registry::backingFile(const QString& keyPath)
{
    QString relative = keyPath;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/registry/") + relative + QStringLiteral(".ini");
}

QString Registry::readString(const QString& keyPath, const QString& name)
{
    const QString file = backingFile(keyPath);
    // QSettings would report a missing file as an empty key anyway; checking
    // first keeps it from caching a file that does not exist.
    if (!QFileInfo::exists(file))
        return QString();
    QSettings settings(file, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.value(name).toString();
}

void Registry::writeStrings(const QString& keyPath, const QVector<QPair<QString, QString>>& values)
{
    const QString file = backingFile(keyPath);
    QDir().mkpath(QFileInfo(file).path());
    QSettings settings(file, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    for (const auto& value : values)
        settings.setValue(value.first, value.second);
    settings.sync();
}
