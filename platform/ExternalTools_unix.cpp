#include "platform/ExternalTools.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

QString ExternalTools::sevenZipProgram()
{
    // Debian's p7zip-full.
    const QString program = QStandardPaths::findExecutable(QStringLiteral("7z"));
    return program.isEmpty() ? QStringLiteral("7z") : program;
}

QByteArray ExternalTools::runMachineQuery(const QString& commandLine, int timeoutMs)
{
    const QStringList words = commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString program = words.isEmpty() ? QString() : QStandardPaths::findExecutable(words.first());
    if (program.isEmpty())
        return QByteArray();
    QProcess process;
    process.start(program, words.mid(1));
    process.closeWriteChannel();
    process.waitForFinished(timeoutMs);
    const QByteArray output = process.readAllStandardOutput();
    // Kills a query that overran its time and reaps it.
    process.close();
    return output;
}
