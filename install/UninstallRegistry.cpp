#include "install/UninstallRegistry.h"

#include "BuildConfig.h"
#include "platform/Registry.h"

#include <QDebug>

QString quotedCommand(const QString& program)
{
    // Windows reads an unquoted path with a space as a program and arguments.
    return program.contains(QLatin1Char(' ')) ? QLatin1Char('"') + program + QLatin1Char('"') : program;
}

void writeUninstallEntry(const QString& displayName, const QString& productExe, const QString& uninstallerExe)
{
    // The version shown in the list of installed programs is the installer's,
    // whatever the package holds.
    const QVector<QPair<QString, QString>> values{
        {QStringLiteral("DisplayIcon"), productExe},
        {QStringLiteral("DisplayName"), displayName},
        {QStringLiteral("DisplayVersion"), QLatin1String(installerVersion)},
        {QStringLiteral("Publisher"), displayName},
        {QStringLiteral("UninstallString"), quotedCommand(uninstallerExe)},
    };
    // Without administrator rights (a double-clicked installer under UAC)
    // the machine's list is closed; Windows lists the user's entries too.
    const Registry::Key machine = Registry::uninstallKey(Registry::Hive::LocalMachine, displayName);
    if (Registry::writeStrings(machine, values))
        return;
    const Registry::Key user = Registry::uninstallKey(Registry::Hive::CurrentUser, displayName);
    qDebug() << "uninstall entry for this user only:" << Registry::fullName(user);
    Registry::writeStrings(user, values);
}
