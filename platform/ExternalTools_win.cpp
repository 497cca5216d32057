#include "platform/ExternalTools.h"

#include <QProcess>
#include <QStringList>

QString ExternalTools::sevenZipProgram()
{
    // Found beside the installer first, then on the search path.
    return QStringLiteral("7z.exe");
}

QByteArray ExternalTools::runMachineQuery(const QString& commandLine, int timeoutMs)
{
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return QByteArray();
    const QString program = arguments.takeFirst();

    QProcess process;
    process.start(program, arguments);
    // The query tool waits for its input to end before it exits.
    process.closeWriteChannel();
    process.waitForFinished(timeoutMs);
    const QByteArray output = process.readAllStandardOutput();
    process.close();
    return output;
}
