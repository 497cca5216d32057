#pragma once

#include "BuildConfig.h"
#include "download/PackageHasher.h"
#include "download/PackageSignature.h"
#include "download/ProgressThrottle.h"
#include "download/RetryPolicy.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <curl/curl.h>
#include <mutex>
#include <vector>

struct CurlLibrary;

// Fetches one file over HTTP(S) with libcurl into the per-user data folder,
// under "<name>_tmp" until the transfer has succeeded. A transfer that breaks
// off after bytes have arrived is resumed from the byte reached (RetryPolicy).
// Redirects are followed here rather than by libcurl, so each hop takes the
// proxy the system names for its own URL (SystemProxy). Where the build names
// publisher keys, the file is kept only if "<url>.minisig" verifies with one.
class DownloadManager : public QObject
{
    Q_OBJECT

public:
    // publicKeys: the keys built in, which the installer never replaces; the
    // benchmark weighs the check against a download without keys.
    explicit DownloadManager(QObject* parent = nullptr, const QByteArray& publicKeys = packagePublicKeys);
    ~DownloadManager() override;

    // Blocks the calling thread for the whole transfer; the outcome arrives
    // through the signals, emitted before the call returns.
    void downloadFile(QString url, QString fileName);

    // Thread-safe: makes a running transfer end promptly as a failure.
    void cancel();
    void resetCancel();

    QString downloadFolder() const { return downloadDir; }

    enum class Failure { None, Transfer, Signature };
    // Why the last downloadFile reported downLoadErr; any thread may ask.
    Failure lastFailure() const { return m_failure; }

    // Seconds without a byte before a transfer counts as stalled.
    void setStallSeconds(long seconds) { m_stallSeconds = seconds; }
    // The wait before the first retry; each later one doubles it.
    void setFirstRetryWaitMs(int ms) { m_firstRetryWaitMs = ms; }
    // Trust only the certificates in this file (empty: the platform's trust).
    void setCaFile(const QString& path) { m_caFile = path; }

    // libcurl's global set-up, loading the library first where it is not
    // linked. Runs once; later calls, from any thread, wait for the first.
    // downloadFile calls it, so the GUI thread never waits for it.
    static void globalInit();

signals:
    void downLoadErr();
    void downLoadOK(QString path);
    void downProgress(double per);
    // An attempt broke off at byte reached; the next one follows a wait.
    void waitingToResume(qint64 reached);

private:
    // False when libcurl refused an option.
    bool setOptions(CURL* curl);
    template <typename Value> bool set(CURL* curl, CURLoption option, Value value);
    CURLcode runAttempts(CURL* curl, const QByteArray& start);
    // One attempt: the URL and the redirects it leads to, each hop through
    // the proxy the system names for that hop.
    CURLcode performHops(CURL* curl, const QByteArray& start);
    bool useProxyFor(CURL* curl, const QByteArray& hop);
    bool waitBeforeRetry(int ms);
    size_t onWrite(const char* data, size_t bytes);
    // On a response's first body byte; false refuses the body.
    bool startBody();
    // Empties what the current response is written to, for a body from byte 0.
    void restartBody();
    size_t keepSignatureBytes(const char* data, size_t bytes);
    // Fetches and checks the finished file's signature, when keys are built in.
    bool verifyPackage();
    PackageSignature::Check checkSignature(const PackageSignature& signature, const QByteArray& digest);
    void onHeader(const QByteArray& line);
    // Called by libcurl's progress callback; false aborts the transfer.
    bool onProgress();
    bool trackSocket(curl_socket_t socket);
    void closeSocket(curl_socket_t socket);

    QString downloadDir;
    QString fileName;
    QString tempFileName;
    QString url;
    long m_stallSeconds = 60;
    int m_firstRetryWaitMs = 1000;
    QString m_caFile;
    std::atomic<bool> m_cancelled{false};
    std::atomic<Failure> m_failure{Failure::None};
    bool m_checkSignatures = false;
    PackageSignature::Keys m_keys;

    // Worker-thread state of the running transfer.
    ProgressThrottle m_throttle;
    const CurlLibrary* m_libcurl = nullptr;
    CURL* m_curl = nullptr;
    FILE* m_file = nullptr;
    QString m_tempPath;
    qint64 m_offset = 0;        // bytes of the file written so far
    qint64 m_total = -1;        // the file's length, -1 while unknown
    bool m_anyBytes = false;    // a body byte arrived in this call
    bool m_bodyStarted = false; // the current response's body has begun
    bool m_skipBody = false;    // it is a redirect's body
    bool m_rejected = false;    // its range did not fit
    QByteArray m_validator;     // ETag, or Last-Modified, of the file's content
    PackageHasher m_hasher;     // of the bytes written to the file
    bool m_fetchingSignature = false;
    bool m_signatureTooLarge = false;
    QByteArray m_signatureText;
    // Headers of the response being received.
    QByteArray m_contentRange;
    QByteArray m_etag;
    QByteArray m_lastModified;
    bool m_hasLocation = false;

    // Sockets of the running transfer, so cancel() can wake a blocked poll.
    // A standard mutex, which thread sanitizers can see through Qt.
    std::mutex m_socketsLock;
    std::vector<curl_socket_t> m_sockets;
    std::condition_variable m_wake; // ends a wait between attempts on cancel
};
