#pragma once

#include <QByteArray>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <sodium/crypto_generichash.h>
#include <thread>

// BLAKE2b-512 of a file fed in pieces as it arrives: the digest a prehashed
// minisign signature signs, taken without reading the file a second time.
// The hashing runs on a thread of its own: on a fast link BLAKE2b (about
// 600 MB/s on one core here) is slower than the transfer, and the download's
// thread must not wait for it. That thread starts with the first piece, so an
// installer that checks nothing, and its start-up, never pay for it. Not
// thread-safe: one feeding thread.
class PackageHasher
{
public:
    static constexpr int kDigestBytes = 64;

    PackageHasher();
    ~PackageHasher();
    PackageHasher(const PackageHasher&) = delete;
    PackageHasher& operator=(const PackageHasher&) = delete;

    // Drops what was added so far.
    void reset();
    // Copies the piece; waits only while a few MiB are still unhashed.
    void addData(const char* data, size_t bytes);
    // The digest of everything added since the last reset; resets.
    QByteArray result();

private:
    void startThread();
    void hashPieces();
    // Waits until every piece handed over is hashed.
    void drain(std::unique_lock<std::mutex>& lock);

    crypto_generichash_state m_state;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_pieces;
    size_t m_waitingBytes = 0;
    bool m_hashing = false; // the thread holds a piece
    bool m_stop = false;
    std::thread m_thread;
};
