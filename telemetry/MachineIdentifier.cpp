#include "telemetry/MachineIdentifier.h"

#include "platform/ExternalTools.h"

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
    QString text = QString::fromUtf8(output);
    const QString header = commandLine.split(QLatin1Char(' ')).constLast();
    if (!header.isEmpty())
        text.remove(header, Qt::CaseInsensitive);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text.simplified();
}

QString computeMachineIdentifier(const MachineQueryRunner& runQuery)
{
    // Firmware that has no real UUID reports all F digits; the processor id
    // is the better identity there.
    const QString uuid = cleanQueryOutput(kUuidQuery, runQuery(kUuidQuery));
    if (!uuid.contains(QLatin1String("FFFFFFFF")))
        return md5Hex(uuid);

    return md5Hex(cleanQueryOutput(kProcessorQuery, runQuery(kProcessorQuery)));
}

QString machineIdentifier()
{
    QMutexLocker locker(&cacheMutex());
    QString& cache = cachedIdentifier();
    if (cache.isEmpty()) {
        cache = computeMachineIdentifier([](const QString& commandLine) {
            return ExternalTools::runMachineQuery(commandLine, kQueryTimeoutMs);
        });
    }
    return cache;
}

void resetMachineIdentifierCache()
{
    QMutexLocker locker(&cacheMutex());
    cachedIdentifier().clear();
}
