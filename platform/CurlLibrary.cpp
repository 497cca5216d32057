#include "platform/CurlLibrary.h"

#include <QDebug>
#include <type_traits>

bool CurlLibrary::bind(const std::function<void*(const char* name)>& symbol)
{
    const auto resolve = [&symbol](const char* name, auto& function) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(symbol(name));
        if (!function)
            qWarning() << "load libcurl lacks" << name;
        return function != nullptr;
    };
    return resolve("curl_global_init", global_init) && resolve("curl_easy_init", easy_init) &&
           resolve("curl_easy_setopt", easy_setopt) && resolve("curl_easy_perform", easy_perform) &&
           resolve("curl_easy_getinfo", easy_getinfo) && resolve("curl_easy_cleanup", easy_cleanup) &&
           resolve("curl_slist_append", slist_append) && resolve("curl_slist_free_all", slist_free_all) &&
           resolve("curl_version_info", version_info);
}
