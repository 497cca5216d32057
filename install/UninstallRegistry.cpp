#include "install/UninstallRegistry.h"

#include "platform/Registry.h"

void writeUninstallEntry(const QString& displayName, const QString& productExe, const QString& uninstallerExe)
{
    // The version shown in the list of installed programs is the installer's,
    // whatever the package holds.
    Registry::writeStrings(Registry::uninstallKey(displayName),
                           {
                               {QStringLiteral("DisplayIcon"), productExe},
                               {QStringLiteral("DisplayName"), displayName},
                               {QStringLiteral("DisplayVersion"), QStringLiteral("1.2.1")},
                               {QStringLiteral("Publisher"), displayName},
                               {QStringLiteral("UninstallString"), uninstallerExe},
                           });
}
