#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Drives and free space. On Windows a drive is a letter; elsewhere a mounted
// volume stands for a drive and its mount point is the drive key.
namespace DiskSpace {

// Root paths of every drive, in the order the system lists them.
QStringList driveRoots();

// The key of the drive that holds path (the path need not exist yet).
QString driveKey(const QString& path);

// Total free bytes of the volume holding path (not the quota-limited figure);
// 0 when the query fails.
quint64 freeBytes(const QString& path);

// Parent folder proposed for a fresh installation.
QString defaultInstallParent();

// Windows drive-key rule, kept here as a pure function for both platforms.
inline QString windowsDriveKey(const QString& path)
{
    return path.left(1);
}

// The nearest folder that exists, path itself or an ancestor: a folder yet
// to be made lands on that one's volume. Empty when none exists.
QString nearestExistingFolder(const QString& path);

// Test seam: replaces freeBytes() while set; pass an empty function to restore.
// The provider is called on the query threads.
void setFreeBytesProvider(std::function<quint64(const QString&)> provider);
// The platform files' side of the seam: true, with the answer, while one is set.
bool providedFreeBytes(const QString& path, quint64* bytes);

} // namespace DiskSpace
