#include "platform/Registry.h"

#include <windows.h>
#include <QDebug>

namespace {

HKEY rootOf(Registry::Hive hive)
{
    return hive == Registry::Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

} // namespace

QString Registry::backingFile(const Key& key)
{
    Q_UNUSED(key)
    return QString();
}

QString Registry::readString(const Key& key, const QString& name)
{
    // Read access only: opening the key read-write would create it.
    HKEY handle = nullptr;
    if (RegOpenKeyExW(rootOf(key.hive), wide(key.path), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &handle) !=
        ERROR_SUCCESS)
        return QString();
    DWORD type = 0;
    DWORD bytes = 0;
    QString value;
    if (RegQueryValueExW(handle, wide(name), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && bytes > 0) {
        QVector<wchar_t> buffer(int(bytes / sizeof(wchar_t)) + 1, 0);
        if (RegQueryValueExW(handle, wide(name), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                             &bytes) == ERROR_SUCCESS)
            value = QString::fromWCharArray(buffer.constData()); // up to the first NUL
    }
    RegCloseKey(handle);
    return value;
}

bool Registry::writeStrings(const Key& key, const QVector<QPair<QString, QString>>& values)
{
    HKEY handle = nullptr;
    const LONG created =
        RegCreateKeyExW(rootOf(key.hive), wide(key.path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &handle, nullptr);
    if (created != ERROR_SUCCESS) {
        qDebug() << "registry" << fullName(key) << "not writable, error" << created;
        return false;
    }
    bool written = true;
    for (const auto& value : values) {
        const DWORD bytes = DWORD((value.second.size() + 1) * sizeof(wchar_t));
        const LONG result = RegSetValueExW(handle, wide(value.first), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(value.second.utf16()), bytes);
        if (result != ERROR_SUCCESS) {
            qDebug() << "registry value" << value.first << "not written, error" << result;
            written = false;
        }
    }
    RegCloseKey(handle);
    return written;
}
