#include "platform/Launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

bool Launcher::openProduct(const QString& program)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(program));
}

void Launcher::runAndWait(const QString& program)
{
    QProcess process;
    process.setProgram(program);
    process.start(QIODevice::ReadWrite);
    // Nothing will ever answer a question it asks on the console.
    process.closeWriteChannel();
    process.waitForFinished(-1);
}
