#include "platform/Smbios.h"

#include <climits>

namespace {

// RawSMBIOSData: calling method, major, minor, DMI revision, then the table's length.
constexpr int kRawHeaderSize = 8;
constexpr quint8 kSystemInformation = 1;
constexpr quint8 kEndOfTable = 127;
constexpr int kUuidOffset = 8;
constexpr int kUuidSize = 16;

QString formatUuid(const QByteArray& raw)
{
    const auto byte = [&raw](int index) {
        return static_cast<quint8>(raw.at(index));
    };
    if (raw.count('\0') == kUuidSize)
        return QString();
    // Time-low, time-mid and time-high are stored little-endian.
    static const int order[kUuidSize] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    QString text;
    for (int i = 0; i < kUuidSize; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += QLatin1Char('-');
        text += QStringLiteral("%1").arg(byte(order[i]), 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

} // namespace

QString Smbios::systemUuid(const QByteArray& rawTable)
{
    if (rawTable.size() < kRawHeaderSize)
        return QString();
    const quint32 declared = quint32(quint8(rawTable.at(4))) | quint32(quint8(rawTable.at(5))) << 8 |
                             quint32(quint8(rawTable.at(6))) << 16 | quint32(quint8(rawTable.at(7))) << 24;
    const QByteArray table = rawTable.mid(kRawHeaderSize, int(qMin<quint32>(declared, INT_MAX)));

    int offset = 0;
    while (offset + 4 <= table.size()) {
        const quint8 type = quint8(table.at(offset));
        const int length = quint8(table.at(offset + 1));
        if (length < 4 || offset + length > table.size())
            return QString();
        if (type == kSystemInformation && length >= kUuidOffset + kUuidSize)
            return formatUuid(table.mid(offset + kUuidOffset, kUuidSize));
        if (type == kEndOfTable)
            return QString();
        // The structure's strings follow its formatted part and end with two NULs.
        const int strings = table.indexOf(QByteArray("\0\0", 2), offset + length);
        if (strings < 0)
            return QString();
        offset = strings + 2;
    }
    return QString();
}
