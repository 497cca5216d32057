#include "platform/CurlLibrary.h"
#include "platform/DownloadIo.h"

#include <winsock2.h>

FILE* DownloadIo::openForWriting(const QString& path)
{
    return _wfopen(reinterpret_cast<const wchar_t*>(path.utf16()), L"wb");
}

void DownloadIo::shutdownSocket(curl_socket_t socket)
{
    ::shutdown(socket, SD_BOTH);
}

void DownloadIo::closeSocket(curl_socket_t socket)
{
    ::closesocket(socket);
}

CURLcode DownloadIo::applyTlsTrust(const CurlLibrary& libcurl, CURL* curl)
{
    // Trust what Windows trusts: its own certificate store. A revocation
    // list that cannot be reached (a TLS-inspecting proxy, a closed network)
    // must not fail the download; a certificate listed as revoked still does.
    return libcurl.easy_setopt(curl, CURLOPT_SSL_OPTIONS,
                               long(CURLSSLOPT_NATIVE_CA | CURLSSLOPT_REVOKE_BEST_EFFORT));
}
