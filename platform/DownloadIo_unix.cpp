#include "platform/DownloadIo.h"

#include <QFile>
#include <sys/socket.h>
#include <unistd.h>

FILE* DownloadIo::openForWriting(const QString& path)
{
    return std::fopen(QFile::encodeName(path).constData(), "wb");
}

void DownloadIo::shutdownSocket(curl_socket_t socket)
{
    ::shutdown(socket, SHUT_RDWR);
}

void DownloadIo::closeSocket(curl_socket_t socket)
{
    ::close(socket);
}

CURLcode DownloadIo::applyTlsTrust(const CurlLibrary& libcurl, CURL* curl)
{
    // The system's CA bundle, as libcurl was built to find it.
    Q_UNUSED(libcurl)
    Q_UNUSED(curl)
    return CURLE_OK;
}
