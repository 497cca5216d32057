#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <cstdio>

// Each key is one INI file; QSettings keeps values without a group in the
// file's [General] section, which is what it reads back as top level.

QString Registry::backingFile(const Key& key)
{
    QString relative = fullName(key);
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/registry/") + relative + QStringLiteral(".ini");
}

QString Registry::readString(const Key& key, const QString& name)
{
    const QString file = backingFile(key);
    // QSettings would report a missing file as an empty key anyway; checking
    // first keeps it from caching a file that does not exist.
    if (!QFileInfo::exists(file))
        return QString();
    QSettings settings(file, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.value(name).toString();
}

namespace {

// Quoted as QSettings writes a value that needs it: inside the quotes only
// the backslash, the quote and line ends are escaped, and "," and ";" stay
// part of the value; a leading "@" is doubled so it is not read as a type.
QByteArray iniValue(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
    if (value.startsWith(QLatin1Char('@')))
        value.prepend(QLatin1Char('@'));
    return '"' + value.toUtf8() + '"';
}

} // namespace

bool Registry::writeStrings(const Key& key, const QVector<QPair<QString, QString>>& values)
{
    const QString file = backingFile(key);
    if (!QDir().mkpath(QFileInfo(file).path()))
        return false;
    // Values already there stay, as in a registry key.
    QVector<QPair<QString, QString>> all;
    if (QFileInfo::exists(file)) {
        QSettings old(file, QSettings::IniFormat);
        old.setIniCodec("UTF-8");
        for (const QString& name : old.childKeys())
            all.append({name, old.value(name).toString()});
    }
    for (const auto& value : values) {
        const auto same = [&](const QPair<QString, QString>& entry) {
            return entry.first == value.first;
        };
        all.erase(std::remove_if(all.begin(), all.end(), same), all.end());
        all.append(value);
    }
    QByteArray text = "[General]\n";
    for (const auto& value : qAsConst(all))
        text += value.first.toUtf8() + '=' + iniValue(value.second) + '\n';
    // Not through QSettings: its lock and save files are flushed to disk,
    // and a flush waits for every dirty page of the volume, half a second
    // right after an extraction. The Windows registry costs nothing of that.
    const QString temporary = file + QStringLiteral(".new");
    QFile out(temporary);
    const bool written =
        out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(text) == text.size() &&
        out.flush() &&
        ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(file).constData()) == 0;
    QFile::remove(temporary);
    return written;
}
