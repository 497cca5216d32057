#include "telemetry/MachineIdentifier.h"

#include "platform/ExternalTools.h"
#include "platform/MachineIdentity.h"

#include <QCryptographicHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

namespace {

const QString kUuidQuery = QStringLiteral("wmic csproduct get UUID");
const QString kProcessorQuery = QStringLiteral("wmic cpu get processorid");
constexpr int kQueryTimeoutMs = 30000;

QString md5Hex(const QString& text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex());
}

QMutex& cacheMutex()
{
    static QMutex mutex;
    return mutex;
}

QString& cachedIdentifier()
{
    static QString identifier;
    return identifier;
}

} // namespace

QString cleanQueryOutput(const QString& commandLine, const QByteArray& output)
{
    // Wine's query tool writes UTF-16 with a byte-order mark.
    QString text = output.startsWith("\xFF\xFE")
                       ? QString::fromUtf16(reinterpret_cast<const ushort*>(output.constData() + 2),
                                            (output.size() - 2) / 2)
                       : QString::fromUtf8(output);
    const QString header = commandLine.split(QLatin1Char(' ')).constLast();
    if (!header.isEmpty())
        text.remove(header, Qt::CaseInsensitive);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text.simplified();
}

QString computeMachineIdentifier(const MachineSources& sources)
{
    QString uuid = cleanQueryOutput(kUuidQuery, sources.runQuery(kUuidQuery));
    if (uuid.isEmpty())
        uuid = sources.firmwareUuid().simplified();

    // Firmware that has no real UUID reports all F digits; the processor id
    // is the better identity there.
    QString identity = uuid;
    if (uuid.contains(QLatin1String("FFFFFFFF")))
        identity = cleanQueryOutput(kProcessorQuery, sources.runQuery(kProcessorQuery));
    if (identity.isEmpty())
        identity = sources.installationId().simplified();
    return md5Hex(identity);
}

QString machineIdentifier()
{
    QMutexLocker locker(&cacheMutex());
    QString& cache = cachedIdentifier();
    if (cache.isEmpty()) {
        cache =
            computeMachineIdentifier({[](const QString& commandLine) {
                                          return ExternalTools::runMachineQuery(commandLine, kQueryTimeoutMs);
                                      },
                                      &MachineIdentity::firmwareUuid, &MachineIdentity::installationId});
    }
    return cache;
}

void resetMachineIdentifierCache()
{
    QMutexLocker locker(&cacheMutex());
    cachedIdentifier().clear();
}
