#include "platform/Registry.h"

// The same key on every platform: the Unix side maps it onto a file.
QString Registry::uninstallKey(const QString& displayName)
{
    return QStringLiteral(
               "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") +
           displayName;
}
