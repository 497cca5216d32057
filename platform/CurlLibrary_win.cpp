#include "platform/CurlLibrary.h"

#include <windows.h>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>

namespace {

const CurlLibrary* load()
{
    // By its full path beside the installer, never by a search that would
    // take a planted copy; its own imports (zlib1.dll) from the same folder.
    const QString path =
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QStringLiteral("/libcurl-4.dll"));
    // Never unloaded: libcurl's global state lives as long as the process.
    HMODULE library = ::LoadLibraryExW(reinterpret_cast<const wchar_t*>(path.utf16()), nullptr,
                                       LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) {
        qWarning() << "load libcurl failed" << path << ::GetLastError();
        return nullptr;
    }
    static CurlLibrary curl;
    return curl.bind([library](const char* name) {
        return reinterpret_cast<void*>(::GetProcAddress(library, name));
    })
               ? &curl
               : nullptr;
}

} // namespace

const CurlLibrary* CurlLibrary::get()
{
    static const CurlLibrary* const curl = load();
    return curl;
}
