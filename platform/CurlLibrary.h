#pragma once

#include <curl/curl.h>
#include <functional>

// The libcurl calls the downloader makes, loaded when the first download
// begins. Bound at load time, libcurl and what it needs cost the start-up
// before the window could appear: on Linux two dozen libraries (TLS,
// Kerberos, LDAP, ...), about 15 ms; on Windows zlib1.dll and the system's
// cryptography DLLs.
struct CurlLibrary
{
    decltype(&::curl_global_init) global_init;
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_perform) easy_perform;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_slist_append) slist_append;
    decltype(&::curl_slist_free_all) slist_free_all;
    decltype(&::curl_version_info) version_info;

    // Thread-safe; loads once. Null, with the reason logged, when the library
    // or one of its entry points is missing.
    static const CurlLibrary* get();

    // Every entry point from symbol(name); false, the missing name logged,
    // when one is missing.
    bool bind(const std::function<void*(const char* name)>& symbol);
};
