#include "platform/CurlLibrary.h"

#include <QDebug>
#include <dlfcn.h>

namespace {

template <typename Function> bool resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    if (!function)
        qWarning() << "load libcurl lacks" << name;
    return function != nullptr;
}

const CurlLibrary* load()
{
    // Never unloaded: libcurl's global state lives as long as the process.
    void* library = ::dlopen(NERIX_CURL_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        qWarning() << "load libcurl failed" << ::dlerror();
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
