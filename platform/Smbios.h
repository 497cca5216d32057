#pragma once

#include <QByteArray>
#include <QString>

namespace Smbios {

// The system UUID (structure type 1) of a raw SMBIOS table, laid out as
// Windows' GetSystemFirmwareTable('RSMB') returns it, written the way the
// hardware query tool prints it: upper case, 8-4-4-4-12, the first three
// fields in little-endian order. Empty when the table holds no UUID or one
// that says "not present" (all zero bits).
QString systemUuid(const QByteArray& rawTable);

} // namespace Smbios
