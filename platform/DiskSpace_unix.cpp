#include "platform/DiskSpace.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <utility>

namespace {

std::function<quint64(const QString&)>& freeBytesProvider()
{
    static std::function<quint64(const QString&)> provider;
    return provider;
}

// The volume of the nearest existing ancestor: a folder that is yet to be
// created lands on the volume that will hold it.
QStorageInfo volumeOf(const QString& path)
{
    if (path.isEmpty())
        return QStorageInfo();
    QString current = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo::exists(current)) {
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            return QStorageInfo();
        current = parent;
    }
    return QStorageInfo(current);
}

} // namespace

QStringList DiskSpace::driveRoots()
{
    QStringList roots;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        if (volume.isValid() && volume.isReady())
            roots.append(volume.rootPath());
    }
    return roots;
}

QString DiskSpace::driveKey(const QString& path)
{
    const QStorageInfo volume = volumeOf(path);
    return volume.isValid() ? volume.rootPath() : QString();
}

quint64 DiskSpace::freeBytes(const QString& path)
{
    if (const auto& provider = freeBytesProvider())
        return provider(path);

    const QStorageInfo volume = volumeOf(path);
    if (!volume.isValid())
        return 0;
    const qint64 bytes = volume.bytesFree();
    return bytes > 0 ? static_cast<quint64>(bytes) : 0;
}

QString DiskSpace::defaultInstallParent()
{
    return QDir::homePath() + QStringLiteral("/Applications");
}

void DiskSpace::setFreeBytesProvider(std::function<quint64(const QString&)> provider)
{
    freeBytesProvider() = std::move(provider);
}
