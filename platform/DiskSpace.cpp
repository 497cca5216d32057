#include "platform/DiskSpace.h"

#include <QDir>
#include <QFileInfo>
#include <mutex>
#include <utility>

namespace {

std::mutex providerLock;
std::function<quint64(const QString&)> provider;

} // namespace

QString DiskSpace::nearestExistingFolder(const QString& path)
{
    if (path.isEmpty())
        return QString();
    QString current = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo::exists(current)) {
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            return QString();
        current = parent;
    }
    return current;
}

void DiskSpace::setFreeBytesProvider(std::function<quint64(const QString&)> replacement)
{
    const std::lock_guard<std::mutex> lock(providerLock);
    provider = std::move(replacement);
}

bool DiskSpace::providedFreeBytes(const QString& path, quint64* bytes)
{
    // A copy: the provider may be replaced while a query thread still runs it.
    std::function<quint64(const QString&)> current;
    {
        const std::lock_guard<std::mutex> lock(providerLock);
        current = provider;
    }
    if (!current)
        return false;
    *bytes = current(path);
    return true;
}
