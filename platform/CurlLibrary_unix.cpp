#include "platform/CurlLibrary.h"

#include <QDebug>
#include <dlfcn.h>

namespace {

const CurlLibrary* load()
{
    // Never unloaded: libcurl's global state lives as long as the process.
    void* library = ::dlopen(NERIX_CURL_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        qWarning() << "load libcurl failed" << ::dlerror();
        return nullptr;
    }
    static CurlLibrary curl;
    return curl.bind([library](const char* name) { return ::dlsym(library, name); }) ? &curl : nullptr;
}

} // namespace

const CurlLibrary* CurlLibrary::get()
{
    static const CurlLibrary* const curl = load();
    return curl;
}
