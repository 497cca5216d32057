#include "platform/CurlLibrary.h"

const CurlLibrary* CurlLibrary::get()
{
    static const CurlLibrary curl{&::curl_global_init,  &::curl_easy_init,      &::curl_easy_setopt,
                                  &::curl_easy_perform, &::curl_easy_getinfo,   &::curl_easy_cleanup,
                                  &::curl_slist_append, &::curl_slist_free_all, &::curl_version_info};
    return &curl;
}
