#include "platform/InstanceLock.h"

#include <windows.h>

namespace {

// How long a lock file on its way out may keep a start waiting.
constexpr int kDeletePendingTries = 40;
constexpr DWORD kDeletePendingWaitMs = 25;

} // namespace

InstanceLock::~InstanceLock()
{
    // The file goes with the handle (FILE_FLAG_DELETE_ON_CLOSE).
    if (isLocked())
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

InstanceLock::Result InstanceLock::tryLock(const QString& path)
{
    for (int attempt = 0;; ++attempt) {
        // Opened without sharing: a second open fails while this handle lives.
        const HANDLE file =
            CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<qintptr>(file);
            m_path = path;
            return Result::Acquired;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION)
            return Result::HeldElsewhere;
        // A file being deleted (the last holder just ended, and a scanner
        // still has it open) refuses every open until it is gone; a folder
        // without rights refuses for good.
        if (error != ERROR_ACCESS_DENIED || attempt == kDeletePendingTries)
            return Result::Unavailable;
        Sleep(kDeletePendingWaitMs);
    }
}
