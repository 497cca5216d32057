#include "platform/DiskSpace.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>
#include <windows.h>

namespace {

std::function<quint64(const QString&)>& freeBytesProvider()
{
    static std::function<quint64(const QString&)> provider;
    return provider;
}

} // namespace

QStringList DiskSpace::driveRoots()
{
    QStringList roots;
    const QFileInfoList drives = QDir::drives();
    for (const QFileInfo& drive : drives)
        roots.append(drive.absoluteDir().absolutePath());
    return roots;
}

QString DiskSpace::driveKey(const QString& path)
{
    return windowsDriveKey(path);
}

quint64 DiskSpace::freeBytes(const QString& path)
{
    if (const auto& provider = freeBytesProvider())
        return provider(path);

    // The volume's own free count, not the caller's quota-limited share.
    ULARGE_INTEGER available;
    ULARGE_INTEGER total;
    ULARGE_INTEGER totalFree;
    const QString nativePath = QDir::toNativeSeparators(path);
    if (!GetDiskFreeSpaceExW(reinterpret_cast<LPCWSTR>(nativePath.utf16()), &available, &total, &totalFree))
        return 0;
    return static_cast<quint64>(totalFree.QuadPart);
}

QString DiskSpace::defaultInstallParent()
{
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation).left(1) +
           QStringLiteral(":/Program Files");
}

void DiskSpace::setFreeBytesProvider(std::function<quint64(const QString&)> provider)
{
    freeBytesProvider() = std::move(provider);
}
