#include "download/PackageHasher.h"

#include <QDebug>
#include <sodium/core.h>

namespace {

// Enough to ride out a slower moment of the hashing thread, small beside a package.
constexpr size_t kMaxWaitingBytes = 8 * 1024 * 1024;

} // namespace

PackageHasher::PackageHasher()
{
    crypto_generichash_init(&m_state, nullptr, 0, kDigestBytes);
}

PackageHasher::~PackageHasher()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PackageHasher::startThread()
{
    // Picks the fastest BLAKE2b for this processor; any thread, any number of
    // times. It fails only without a random source, which hashing does not need.
    if (sodium_init() < 0)
        qWarning() << "load libsodium has no random source";
    m_thread = std::thread(&PackageHasher::hashPieces, this);
}

void PackageHasher::hashPieces()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_pieces.empty(); });
        if (m_pieces.empty())
            return;
        const QByteArray piece = std::move(m_pieces.front());
        m_pieces.pop_front();
        m_hashing = true;
        lock.unlock();
        // The state is this thread's while it holds a piece: the others wait in drain().
        crypto_generichash_update(&m_state, reinterpret_cast<const unsigned char*>(piece.constData()),
                                  size_t(piece.size()));
        lock.lock();
        m_hashing = false;
        m_waitingBytes -= size_t(piece.size());
        m_changed.notify_all();
    }
}

void PackageHasher::drain(std::unique_lock<std::mutex>& lock)
{
    m_changed.wait(lock, [this] { return m_pieces.empty() && !m_hashing; });
}

void PackageHasher::reset()
{
    std::unique_lock<std::mutex> lock(m_lock);
    drain(lock);
    crypto_generichash_init(&m_state, nullptr, 0, kDigestBytes);
}

void PackageHasher::addData(const char* data, size_t bytes)
{
    if (bytes == 0)
        return;
    if (!m_thread.joinable())
        startThread();
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [this] { return m_waitingBytes < kMaxWaitingBytes; });
    m_pieces.emplace_back(data, int(bytes));
    m_waitingBytes += bytes;
    m_changed.notify_all();
}

QByteArray PackageHasher::result()
{
    std::unique_lock<std::mutex> lock(m_lock);
    drain(lock);
    QByteArray digest(kDigestBytes, Qt::Uninitialized);
    crypto_generichash_final(&m_state, reinterpret_cast<unsigned char*>(digest.data()), kDigestBytes);
    crypto_generichash_init(&m_state, nullptr, 0, kDigestBytes);
    return digest;
}
