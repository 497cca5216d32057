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

// The id the system made at installation. Every user can read it, so the
// same machine gives the same identifier with and without root rights (the
// firmware UUID is readable by root only).
QByteArray localMachineId()
{
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        const QByteArray id = readTrimmed(QLatin1String(path));
        if (!id.isEmpty())
            return id;
    }
    return QByteArray();
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
