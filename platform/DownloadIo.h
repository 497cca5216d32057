#pragma once

#include <QString>
#include <cstdio>
#include <curl/curl.h>

struct CurlLibrary;

// The downloader's contact with the operating system: its output file, the
// sockets libcurl opens, and which certificates count as trusted.
namespace DownloadIo {

// Opens path (any characters) for binary writing; null on failure.
FILE* openForWriting(const QString& path);

// Wakes any poll on the socket at once; the descriptor stays open.
void shutdownSocket(curl_socket_t socket);
void closeSocket(curl_socket_t socket);

// Trust settings beyond libcurl's defaults (verification always stays on);
// the result of the option that sets them.
CURLcode applyTlsTrust(const CurlLibrary& libcurl, CURL* curl);

} // namespace DownloadIo
