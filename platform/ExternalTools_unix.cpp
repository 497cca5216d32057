#include "platform/ExternalTools.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

QString ExternalTools::sevenZipProgram()
{
    // Debian's p7zip-full.
    return QStringLiteral("7z");
}

namespace {

QByteArray readTrimmed(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll().trimmed();
}

// The machine's own stable id: the firmware UUID where it is readable
// (usually only for root), else the id the system made at installation.
QByteArray localMachineId()
{
    const QByteArray uuid = readTrimmed(QStringLiteral("/sys/class/dmi/id/product_uuid"));
    if (!uuid.isEmpty())
        return uuid;
    return readTrimmed(QStringLiteral("/etc/machine-id"));
}

} // namespace

QByteArray ExternalTools::runMachineQuery(const QString& commandLine, int timeoutMs)
{
    const QStringList words = commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QByteArray();

    const QString program = QStandardPaths::findExecutable(words.first());
    if (!program.isEmpty()) {
        QProcess process;
        process.start(program, words.mid(1));
        process.closeWriteChannel();
        process.waitForFinished(timeoutMs);
        const QByteArray output = process.readAllStandardOutput();
        // Kills a query that overran its time and reaps it.
        process.close();
        return output;
    }

    // No query tool: answer the hardware query in the tool's own layout so
    // the same cleaning applies.
    if (commandLine == QLatin1String("wmic csproduct get UUID")) {
        const QByteArray id = localMachineId();
        if (!id.isEmpty())
            return QByteArrayLiteral("UUID  \r\n") + id + QByteArrayLiteral("  \r\n\r\n");
    }
    return QByteArray();
}
