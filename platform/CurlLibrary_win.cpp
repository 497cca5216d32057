#include "platform/CurlLibrary.h"

#include <windows.h>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>

namespace {

template <typename Function> bool resolve(HMODULE library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
    if (!function)
        qWarning() << "load libcurl lacks" << name;
    return function != nullptr;
}

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
    const bool complete = resolve(library, "curl_global_init", curl.global_init) &&
                          resolve(library, "curl_easy_init", curl.easy_init) &&
                          resolve(library, "curl_easy_setopt", curl.easy_setopt) &&
                          resolve(library, "curl_easy_perform", curl.easy_perform) &&
                          resolve(library, "curl_easy_getinfo", curl.easy_getinfo) &&
                          resolve(library, "curl_easy_cleanup", curl.easy_cleanup) &&
                          resolve(library, "curl_slist_append", curl.slist_append) &&
                          resolve(library, "curl_slist_free_all", curl.slist_free_all) &&
                          resolve(library, "curl_version_info", curl.version_info);
    return complete ? &curl : nullptr;
}

} // namespace

const CurlLibrary* CurlLibrary::get()
{
    static const CurlLibrary* const curl = load();
    return curl;
}
