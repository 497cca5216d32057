#include "platform/InstanceLock.h"

#include <windows.h>

InstanceLock::~InstanceLock()
{
    // The file goes with the handle (FILE_FLAG_DELETE_ON_CLOSE).
    if (isLocked())
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

InstanceLock::Result InstanceLock::tryLock(const QString& path)
{
    // Opened without sharing: a second open fails while this handle lives.
    const HANDLE file =
        CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? Result::HeldElsewhere : Result::Unavailable;
    m_handle = reinterpret_cast<qintptr>(file);
    m_path = path;
    return Result::Acquired;
}
