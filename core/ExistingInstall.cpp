#include "core/ExistingInstall.h"

#include "BuildConfig.h"
#include "platform/Launcher.h"
#include "platform/Registry.h"

#include <QDebug>
#include <QObject>

QString checkAlreadyInstall()
{
    const QString keyName = greenTheme ? QObject::tr("language6") : QObject::tr("language7");
    // An installation without administrator rights is the user's own.
    QString value;
    for (const Registry::Hive hive : {Registry::Hive::CurrentUser, Registry::Hive::LocalMachine}) {
        value =
            Registry::readString(Registry::uninstallKey(hive, keyName), QStringLiteral("UninstallString"));
        if (!value.isEmpty())
            break;
    }
    qDebug() << "checkAlreadyInstall" << value;
    return value;
}

QString uninstallerProgram(const QString& uninstallCommand)
{
    QString program = uninstallCommand.trimmed();
    if (program.size() >= 2 && program.startsWith(QLatin1Char('"')) && program.endsWith(QLatin1Char('"')))
        program = program.mid(1, program.size() - 2);
    program.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return program;
}

void runUninstaller(const QString& uninstallCommand)
{
    const QString program = uninstallerProgram(uninstallCommand);
    qDebug() << program;
    // Started as one program, so a folder with spaces stays whole.
    Launcher::runAndWait(program);
}
