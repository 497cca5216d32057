#include "app/ExistingInstall.h"

#include "BuildConfig.h"
#include "app/QuestionBox.h"
#include "platform/Registry.h"

#include <QDebug>
#include <QMessageBox>
#include <QObject>
#include <QProcess>

QString checkAlreadyInstall()
{
    const QString keyName = greenTheme ? QObject::tr("language6") : QObject::tr("language7");
    const QString value =
        Registry::readString(Registry::uninstallKey(keyName), QStringLiteral("UninstallString"));
    qDebug() << "checkAlreadyInstall" << value;
    return value;
}

void runUninstaller(const QString& uninstallCommand)
{
    QString program = uninstallCommand;
    program.replace(QLatin1Char('\\'), QLatin1Char('/'));
    qDebug() << program;
    // The stored path is unquoted; starting it as one program keeps a folder
    // with spaces working.
    QProcess process;
    process.setProgram(program);
    process.start(QIODevice::ReadWrite);
    // Nothing will ever answer a question it asks on the console.
    process.closeWriteChannel();
    process.waitForFinished(-1);
}

void offerUninstall(const QString& uninstallCommand)
{
    QMessageBox box(QMessageBox::Question, QObject::tr("language2"), QObject::tr("language10"),
                    QMessageBox::Yes | QMessageBox::No);
    applyYesNoCaptions(box);
    if (box.exec() != QMessageBox::Yes)
        return;
    qDebug() << "2222222222";
    runUninstaller(uninstallCommand);
}
