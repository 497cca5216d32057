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

void DownloadIo::applyTlsTrust(CURL* curl)
{
    // Trust what Windows trusts: its own certificate store.
#if CURL_AT_LEAST_VERSION(7, 71, 0)
    curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, long(CURLSSLOPT_NATIVE_CA));
#else
    Q_UNUSED(curl)
#endif
}
