#include "platform/DiskSpace.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <mntent.h>
#include <sys/statvfs.h>

namespace {

QStorageInfo volumeOf(const QString& path)
{
    const QString existing = DiskSpace::nearestExistingFolder(path);
    return existing.isEmpty() ? QStorageInfo() : QStorageInfo(existing);
}

} // namespace

QStringList DiskSpace::driveRoots()
{
    // Every mount point, not only those Qt thinks a user wants to see: it
    // leaves out whatever lies under /dev (a home on a tmpfs there), yet a
    // folder's drive key may name any of them.
    QStringList roots;
    FILE* table = setmntent("/proc/self/mounts", "r");
    if (!table)
        table = setmntent("/etc/mtab", "r");
    if (table) {
        // statvfs rather than QStorageInfo, which reads the whole table again
        // for each mount point.
        while (const mntent* entry = getmntent(table)) {
            struct statvfs stats;
            const QString root = QFile::decodeName(entry->mnt_dir);
            if (statvfs(entry->mnt_dir, &stats) == 0 && !roots.contains(root))
                roots.append(root);
        }
        endmntent(table);
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
    quint64 provided = 0;
    if (providedFreeBytes(path, &provided))
        return provided;

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
