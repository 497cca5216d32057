#include "download/DownloadManager.h"

#include "BuildConfig.h"
#include "platform/CurlLibrary.h"
#include "platform/DownloadIo.h"
#include "platform/SystemProxy.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <curl/curl.h>
#include <mutex>

namespace {

// Redirect chains longer than this are treated as loops.
constexpr long kMaxRedirects = 20;
constexpr long kReceiveBufferBytes = 100 * 1024;

bool isHttps(const QByteArray& url)
{
    return url.toLower().startsWith("https:");
}

} // namespace

DownloadManager::DownloadManager(QObject* parent, const QByteArray& publicKeys)
    : QObject(parent), m_checkSignatures(!publicKeys.trimmed().isEmpty()),
      // The build refuses a key list that does not parse; were it to, nothing would verify.
      m_keys(PackageSignature::parseKeys(publicKeys).value_or(PackageSignature::Keys()))
{
    downloadDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    qDebug() << downloadDir;
    // An empty location would make QDir act on the working directory.
    if (!downloadDir.isEmpty())
        QDir().mkpath(downloadDir);
}

DownloadManager::~DownloadManager() = default;

void DownloadManager::globalInit()
{
    // On the first transfer's thread: no other thread uses libcurl, and its
    // global set-up has been thread-safe since 7.84 in any case.
    static const bool ready = [] {
        const CurlLibrary* curl = CurlLibrary::get();
        if (!curl || curl->global_init(CURL_GLOBAL_ALL) != CURLE_OK)
            return false;
        // Which TLS a report is about: Schannel on Windows, OpenSSL here.
        if (const curl_version_info_data* info = curl->version_info(CURLVERSION_NOW))
            qDebug() << "load libcurl" << info->version
                     << (info->ssl_version ? info->ssl_version : "without TLS");
        return true;
    }();
    Q_UNUSED(ready)
}

void DownloadManager::cancel()
{
    m_cancelled = true;
    // libcurl only looks at the progress callback about once a second while
    // the peer is silent; shutting the socket down wakes its poll at once.
    const std::lock_guard<std::mutex> lock(m_socketsLock);
    for (curl_socket_t socket : m_sockets)
        DownloadIo::shutdownSocket(socket);
    m_wake.notify_all();
}

void DownloadManager::resetCancel()
{
    m_cancelled = false;
}

bool DownloadManager::waitBeforeRetry(int ms)
{
    std::unique_lock<std::mutex> lock(m_socketsLock);
    return !m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_cancelled.load(); });
}

void DownloadManager::onHeader(const QByteArray& line)
{
    // Each response of a redirect chain or a new attempt starts afresh.
    if (line.startsWith("HTTP/")) {
        m_contentRange.clear();
        m_etag.clear();
        m_lastModified.clear();
        m_hasLocation = false;
        return;
    }
    const int colon = line.indexOf(':');
    if (colon < 0)
        return;
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "content-range")
        m_contentRange = value;
    else if (name == "etag")
        m_etag = value;
    else if (name == "last-modified")
        m_lastModified = value;
    else if (name == "location")
        m_hasLocation = true;
}

bool DownloadManager::startBody()
{
    long status = 0;
    curl_off_t length = -1;
    m_libcurl->easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
    m_libcurl->easy_getinfo(m_curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    switch (RetryPolicy::forResponse(status, m_contentRange, m_offset, m_total)) {
    case RetryPolicy::Body::Reject:
        m_rejected = true;
        return false;
    case RetryPolicy::Body::FromZero:
        if (m_offset > 0)
            restartBody();
        m_total = length;
        // If-Range takes only a strong ETag.
        m_validator = m_etag.isEmpty() || m_etag.startsWith("W/") ? m_lastModified : m_etag;
        break;
    case RetryPolicy::Body::Append:
        break;
    }
    return true;
}

void DownloadManager::restartBody()
{
    m_offset = 0;
    if (m_fetchingSignature) {
        m_signatureText.clear();
        return;
    }
    m_hasher.reset();
    if (m_file) {
        std::fclose(m_file);
        m_file = DownloadIo::openForWriting(m_tempPath);
    }
}

size_t DownloadManager::keepSignatureBytes(const char* data, size_t bytes)
{
    if (m_signatureText.size() + qint64(bytes) > PackageSignature::kMaxBytes) {
        m_signatureTooLarge = true;
        return 0;
    }
    m_signatureText.append(data, int(bytes));
    m_offset += qint64(bytes);
    m_anyBytes = true;
    return bytes;
}

size_t DownloadManager::onWrite(const char* data, size_t bytes)
{
    // Redirect bodies are dropped, so the percentage counts the last one only.
    if (!m_bodyStarted) {
        m_bodyStarted = true;
        // What libcurl will name as the redirect once the response has ended.
        long status = 0;
        m_libcurl->easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
        m_skipBody = status >= 300 && status < 400 && m_hasLocation;
        if (!m_skipBody && !startBody())
            return 0;
    }
    if (m_skipBody)
        return bytes;
    if (m_fetchingSignature)
        return keepSignatureBytes(data, bytes);
    const size_t written = m_file ? std::fwrite(data, 1, bytes, m_file) : 0;
    // Hashed on the way through: a large package is not read a second time.
    if (m_checkSignatures)
        m_hasher.addData(data, written);
    m_offset += qint64(written);
    m_anyBytes = m_anyBytes || written > 0;
    // Only values a point apart cross to the GUI thread; after a restart the
    // bar waits to catch up.
    if (m_total > 0) {
        const double per = m_offset * 100.0 / m_total;
        if (m_throttle.accept(per))
            emit downProgress(per);
    }
    return written;
}

bool DownloadManager::onProgress()
{
    return !m_cancelled;
}

bool DownloadManager::trackSocket(curl_socket_t socket)
{
    const std::lock_guard<std::mutex> lock(m_socketsLock);
    if (m_cancelled)
        return false;
    m_sockets.push_back(socket);
    return true;
}

void DownloadManager::closeSocket(curl_socket_t socket)
{
    // Closed under the lock so cancel() never shuts down a reused descriptor.
    const std::lock_guard<std::mutex> lock(m_socketsLock);
    m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), socket), m_sockets.end());
    DownloadIo::closeSocket(socket);
}

template <typename Value> bool DownloadManager::set(CURL* curl, CURLoption option, Value value)
{
    const CURLcode result = m_libcurl->easy_setopt(curl, option, value);
    if (result != CURLE_OK)
        qDebug() << "load option refused" << int(option) << int(result);
    return result == CURLE_OK;
}

bool DownloadManager::setOptions(CURL* curl)
{
    auto write = [](char* data, size_t size, size_t count, void* self) -> size_t {
        return static_cast<DownloadManager*>(self)->onWrite(data, size * count);
    };
    auto header = [](char* data, size_t size, size_t count, void* self) -> size_t {
        static_cast<DownloadManager*>(self)->onHeader(QByteArray(data, int(size * count)));
        return size * count;
    };
    auto progress = [](void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
        return static_cast<DownloadManager*>(self)->onProgress() ? 0 : 1;
    };
    auto sockopt = [](void* self, curl_socket_t socket, curlsocktype) -> int {
        return static_cast<DownloadManager*>(self)->trackSocket(socket) ? CURL_SOCKOPT_OK
                                                                        : CURL_SOCKOPT_ERROR;
    };
    auto closesocket = [](void* self, curl_socket_t socket) -> int {
        static_cast<DownloadManager*>(self)->closeSocket(socket);
        return 0;
    };

    // A transfer that silently lost its TLS trust or protocol limits must
    // not go on: every option that is refused fails the download.
    const QByteArray caFile = QFile::encodeName(m_caFile);
    return set(curl, CURLOPT_CONNECTTIMEOUT, 30L) &&
           set(curl, CURLOPT_WRITEFUNCTION, static_cast<curl_write_callback>(write)) &&
           set(curl, CURLOPT_WRITEDATA, this) &&
           set(curl, CURLOPT_HEADERFUNCTION, static_cast<curl_write_callback>(header)) &&
           set(curl, CURLOPT_HEADERDATA, this) && set(curl, CURLOPT_NOPROGRESS, 0L) &&
           set(curl, CURLOPT_XFERINFOFUNCTION, static_cast<curl_xferinfo_callback>(progress)) &&
           set(curl, CURLOPT_XFERINFODATA, this) &&
           // Fewer, larger writes on a fast link, as the curl program does.
           set(curl, CURLOPT_BUFFERSIZE, kReceiveBufferBytes) &&
           // The package is code that will be run: the certificate must verify.
           DownloadIo::applyTlsTrust(*m_libcurl, curl) == CURLE_OK &&
           (caFile.isEmpty() || set(curl, CURLOPT_CAINFO, caFile.constData())) &&
           set(curl, CURLOPT_FAILONERROR, 1L) && set(curl, CURLOPT_LOW_SPEED_LIMIT, 1L) &&
           set(curl, CURLOPT_LOW_SPEED_TIME, m_stallSeconds) &&
    // Every hop, redirects included, is set as the URL: this limits them all.
#if CURL_AT_LEAST_VERSION(7, 85, 0)
           set(curl, CURLOPT_PROTOCOLS_STR, "http,https") &&
#else
           set(curl, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS)) &&
#endif
           // libcurl's own reading of no_proxy must not differ from the answer per hop.
           set(curl, CURLOPT_NOPROXY, "") &&
           set(curl, CURLOPT_SOCKOPTFUNCTION, static_cast<curl_sockopt_callback>(sockopt)) &&
           set(curl, CURLOPT_SOCKOPTDATA, this) &&
           set(curl, CURLOPT_CLOSESOCKETFUNCTION, static_cast<curl_closesocket_callback>(closesocket)) &&
           set(curl, CURLOPT_CLOSESOCKETDATA, this);
}

CURLcode DownloadManager::performHops(CURL* curl, const QByteArray& start)
{
    QByteArray hop = start;
    // Once on https, a hop to plain http would bypass the certificate check.
    bool secure = isHttps(hop);
    for (long redirects = 0;; ++redirects) {
        if (!set(curl, CURLOPT_URL, hop.constData()) || !useProxyFor(curl, hop))
            return CURLE_FAILED_INIT;
        m_bodyStarted = false;
        m_skipBody = false;
        const CURLcode result = m_cancelled ? CURLE_ABORTED_BY_CALLBACK : m_libcurl->easy_perform(curl);
        const char* next = nullptr;
        if (result != CURLE_OK || m_libcurl->easy_getinfo(curl, CURLINFO_REDIRECT_URL, &next) != CURLE_OK ||
            !next)
            return result;
        hop = next;
        if (redirects == kMaxRedirects)
            return CURLE_TOO_MANY_REDIRECTS;
        if (secure && !isHttps(hop))
            return CURLE_UNSUPPORTED_PROTOCOL;
        secure = secure || isHttps(hop);
    }
}

bool DownloadManager::useProxyFor(CURL* curl, const QByteArray& hop)
{
    const QNetworkProxy proxy = SystemProxy::forUrl(QUrl::fromEncoded(hop));
    const QByteArray address = SystemProxy::curlAddress(proxy);
    qDebug() << "load proxy" << QUrl::fromEncoded(hop).host()
             << (address.isEmpty() ? "direct" : address.constData());
    // "" keeps libcurl from its own guess from the environment.
    // Unset rather than empty: an empty name would still send credentials.
    const QByteArray user = proxy.user().toUtf8(), password = proxy.password().toUtf8();
    const char* none = nullptr;
    return set(curl, CURLOPT_PROXY, address.constData()) &&
           set(curl, CURLOPT_PROXYUSERNAME, user.isEmpty() ? none : user.constData()) &&
           set(curl, CURLOPT_PROXYPASSWORD, user.isEmpty() ? none : password.constData());
}

CURLcode DownloadManager::runAttempts(CURL* curl, const QByteArray& start)
{
    RetryPolicy policy;
    bool ranged = false;
    for (;;) {
        const QByteArray range = QByteArray::number(m_offset) + '-';
        const QByteArray ifRange = "If-Range: " + m_validator;
        curl_slist* headers = ranged ? m_libcurl->slist_append(nullptr, ifRange.constData()) : nullptr;
        const char* none = nullptr;
        m_rejected = false;
        CURLcode result = set(curl, CURLOPT_RANGE, ranged ? range.constData() : none) &&
                                  set(curl, CURLOPT_HTTPHEADER, headers)
                              ? performHops(curl, start)
                              : CURLE_FAILED_INIT;
        m_libcurl->easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
        m_libcurl->slist_free_all(headers);
        long status = 0;
        m_libcurl->easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        qDebug() << "load attempt" << policy.attempts() + 1 << "reached" << m_offset << "status" << status
                 << "result" << int(result);
        // A cancel may look like an orderly end to a response without a length.
        if (m_cancelled)
            return CURLE_ABORTED_BY_CALLBACK;

        const RetryPolicy::Next next = policy.afterAttempt({int(result), status, m_rejected}, m_anyBytes);
        if (next == RetryPolicy::Next::Done || next == RetryPolicy::Next::Fail)
            return result;
        // Without a validator a range could splice two versions of the file.
        ranged = next == RetryPolicy::Next::Resume && !m_validator.isEmpty();
        emit waitingToResume(m_offset);
        if (!waitBeforeRetry(RetryPolicy::waitMs(policy.attempts(), m_firstRetryWaitMs)))
            return CURLE_ABORTED_BY_CALLBACK;
    }
}

PackageSignature::Check DownloadManager::checkSignature(const PackageSignature& signature,
                                                        const QByteArray& digest)
{
    if (!signature.isWellFormed() || signature.signsDigest()) {
        return signature.check(m_keys, reinterpret_cast<const unsigned char*>(digest.constData()),
                               size_t(digest.size()));
    }
    // The legacy algorithm signs the file itself, whole: read it once more.
    QFile file(m_tempPath);
    if (!file.open(QIODevice::ReadOnly))
        return PackageSignature::Check::FileChanged;
    static const unsigned char nothing = 0;
    const unsigned char* bytes = file.size() > 0 ? file.map(0, file.size()) : &nothing;
    qDebug() << "load legacy signature: package read again" << file.size();
    return bytes ? signature.check(m_keys, bytes, size_t(file.size())) : PackageSignature::Check::FileChanged;
}

bool DownloadManager::verifyPackage()
{
    if (!m_checkSignatures) {
        qDebug() << "load signature not checked: no publisher key built in";
        return true;
    }
    const QByteArray digest = m_hasher.result();
    m_fetchingSignature = true;
    m_signatureTooLarge = false;
    m_signatureText.clear();
    m_offset = 0;
    m_total = -1;
    m_anyBytes = false;
    m_validator.clear();
    // The same handle: proxy, certificates, redirects and retries as the package had.
    const CURLcode result = runAttempts(m_curl, url.toUtf8() + ".minisig");
    m_fetchingSignature = false;
    long status = 0;
    m_libcurl->easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
    if (result != CURLE_OK) {
        // A signature the server does not have, or cannot be one, rejects the
        // package; a broken transfer is only a failed download.
        const bool missing = result == CURLE_HTTP_RETURNED_ERROR && status >= 400 && status < 500;
        if (m_signatureTooLarge)
            qDebug() << "load signature failed: larger than" << PackageSignature::kMaxBytes << "bytes";
        else
            qDebug() << "load signature failed" << int(result) << "status" << status;
        m_failure = missing || m_signatureTooLarge ? Failure::Signature : Failure::Transfer;
        return false;
    }
    const PackageSignature signature(m_signatureText);
    const PackageSignature::Check check = checkSignature(signature, digest);
    if (signature.isWellFormed())
        qDebug() << "load signature" << PackageSignature::describe(check) << "key"
                 << signature.keyId().constData() << "trusted comment"
                 << signature.trustedComment().constData();
    else
        qDebug() << "load signature" << PackageSignature::describe(check);
    if (check == PackageSignature::Check::Verified)
        return true;
    m_failure = Failure::Signature;
    return false;
}

void DownloadManager::downloadFile(QString fileUrl, QString name)
{
    url = fileUrl;
    fileName = name;
    tempFileName = fileName + QStringLiteral("_tmp");
    m_failure = Failure::Transfer;
    m_throttle.reset();
    m_hasher.reset();
    m_offset = 0;
    m_total = -1;
    m_anyBytes = false;
    m_validator.clear();

    m_tempPath = downloadDir + QLatin1Char('/') + tempFileName;
    const QString finalPath = downloadDir + QLatin1Char('/') + fileName;
    if (QFile::exists(m_tempPath))
        QFile::remove(m_tempPath);
    if (QFile::exists(finalPath))
        QFile::remove(finalPath);

    // Loading libcurl takes about 12 ms once: here, not on the GUI thread.
    globalInit();
    m_libcurl = CurlLibrary::get();
    m_curl = m_libcurl ? m_libcurl->easy_init() : nullptr;
    if (!m_curl) {
        qDebug() << "load faile>>>>>>>>>>>>" << int(CURLE_FAILED_INIT);
        emit downLoadErr();
        return;
    }

    m_file = DownloadIo::openForWriting(m_tempPath);
    if (!m_file) {
        qDebug() << "load open failed" << m_tempPath;
        m_libcurl->easy_cleanup(m_curl);
        emit downLoadErr();
        return;
    }

    CURLcode result = setOptions(m_curl) ? runAttempts(m_curl, url.toUtf8()) : CURLE_FAILED_INIT;
    // Buffered bytes reach the disk only here; a failed flush is a failed download.
    if ((!m_file || std::fclose(m_file) != 0) && result == CURLE_OK)
        result = CURLE_WRITE_ERROR;
    m_file = nullptr;
    const qint64 total = m_total;
    const bool verified = result == CURLE_OK && verifyPackage();
    m_libcurl->easy_cleanup(m_curl);
    m_curl = nullptr;

    if (result != CURLE_OK) {
        qDebug() << "load faile>>>>>>>>>>>>" << int(result);
        emit downLoadErr();
        return;
    }
    if (!verified) {
        // Nothing unverified is left for anything to extract.
        QFile::remove(m_tempPath);
        emit downLoadErr();
        return;
    }

    if (!QFile::rename(m_tempPath, finalPath)) {
        qDebug() << "load rename failed" << m_tempPath << finalPath;
        emit downLoadErr();
        return;
    }
    if (total <= 0)
        emit downProgress(100.0);
    m_failure = Failure::None;
    emit downLoadOK(finalPath);
}
