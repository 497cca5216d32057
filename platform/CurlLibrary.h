#pragma once

#include <curl/curl.h>

// The libcurl calls the downloader makes. On Linux libcurl and the two dozen
// libraries it needs (TLS, Kerberos, LDAP, ...) are bound at load time, which
// cost the start-up about 15 ms before the window could appear, so there it is
// loaded when the first download begins; Windows links it.
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
};
