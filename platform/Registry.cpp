#include "platform/Registry.h"

Registry::Key Registry::uninstallKey(Hive hive, const QString& displayName)
{
    return {hive, QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + displayName};
}

QString Registry::fullName(const Key& key)
{
    // 64-bit Windows keeps the machine's 32-bit view below WOW6432Node; the
    // user's Software key is shared by both views.
    if (key.hive == Hive::CurrentUser)
        return QStringLiteral("HKEY_CURRENT_USER\\") + key.path;
    QString path = key.path;
    if (path.startsWith(QLatin1String("Software\\"), Qt::CaseInsensitive))
        path.insert(9, QLatin1String("WOW6432Node\\"));
    return QStringLiteral("HKEY_LOCAL_MACHINE\\") + path;
}
