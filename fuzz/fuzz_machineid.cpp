// The input holds the answers of both queries, split at the first NUL byte;
// the whole input is also read as a firmware table.
#include "platform/Smbios.h"
#include "telemetry/MachineIdentifier.h"

#include <QRegularExpression>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const int split = input.indexOf('\0');
    const QByteArray uuidOut = split < 0 ? input : input.left(split);
    const QByteArray cpuOut = split < 0 ? QByteArray() : input.mid(split + 1);

    const QString cleaned = cleanQueryOutput(QStringLiteral("wmic csproduct get UUID"), uuidOut);
    if (cleaned.contains(QLatin1Char('\r')) || cleaned.contains(QLatin1Char('\n')) ||
        cleaned != cleaned.simplified())
        std::abort();

    const QString firmware = Smbios::systemUuid(input);
    static const QRegularExpression uuid(
        QStringLiteral("^([0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})?$"));
    if (!uuid.match(firmware).hasMatch())
        std::abort();

    int queries = 0;
    const QString id =
        computeMachineIdentifier({[&](const QString& commandLine) {
                                      ++queries;
                                      return commandLine.endsWith(QLatin1String("UUID")) ? uuidOut : cpuOut;
                                  },
                                  [&] { return firmware; },
                                  [] {
                                      return QStringLiteral("id");
                                  }});
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
    if (!hex.match(id).hasMatch() || queries < 1 || queries > 2)
        std::abort();
    return 0;
}
