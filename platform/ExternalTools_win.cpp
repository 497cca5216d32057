#include "platform/ExternalTools.h"

#include <windows.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

QString ExternalTools::sevenZipProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/7z.exe");
}

namespace {

QString systemFolder()
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH
               ? QDir::fromNativeSeparators(QString::fromWCharArray(folder, int(length)))
               : QString();
}

} // namespace

QByteArray ExternalTools::runMachineQuery(const QString& commandLine, int timeoutMs)
{
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty() || arguments.takeFirst().compare(QLatin1String("wmic"), Qt::CaseInsensitive) != 0)
        return QByteArray();
    // Windows 11 24H2 and later may not have it at all.
    const QString program = systemFolder() + QStringLiteral("/wbem/WMIC.exe");
    if (!QFileInfo(program).isFile())
        return QByteArray();

    QProcess process;
    process.start(program, arguments);
    // The query tool waits for its input to end before it exits.
    process.closeWriteChannel();
    process.waitForFinished(timeoutMs);
    const QByteArray output = process.readAllStandardOutput();
    process.close();
    return output;
}
