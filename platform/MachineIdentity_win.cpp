#include "platform/MachineIdentity.h"
#include "platform/Smbios.h"

#include <windows.h>

QString MachineIdentity::firmwareUuid()
{
    // 'RSMB', the raw SMBIOS table.
    const DWORD provider = 0x52534D42;
    const UINT size = GetSystemFirmwareTable(provider, 0, nullptr, 0);
    if (size == 0)
        return QString();
    QByteArray table(int(size), '\0');
    if (GetSystemFirmwareTable(provider, 0, table.data(), size) != size)
        return QString();
    return Smbios::systemUuid(table);
}

QString MachineIdentity::installationId()
{
    // Always the 64-bit view, where Windows keeps it.
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return QString();
    wchar_t value[128] = {};
    DWORD type = 0;
    DWORD bytes = sizeof value - sizeof(wchar_t);
    const LONG result =
        RegQueryValueExW(key, L"MachineGuid", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return QString();
    return QString::fromWCharArray(value, int(bytes / sizeof(wchar_t))).remove(QChar(0)).trimmed();
}
