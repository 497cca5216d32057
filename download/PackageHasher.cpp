#include "download/PackageHasher.h"

#include <QDebug>
#include <sodium/core.h>

PackageHasher::PackageHasher()
{
    // Picks the fastest BLAKE2b for this processor; any thread, any number of
    // times. It fails only without a random source, which hashing does not need.
    if (sodium_init() < 0)
        qWarning() << "load libsodium has no random source";
    reset();
}

void PackageHasher::reset()
{
    crypto_generichash_init(&m_state, nullptr, 0, kDigestBytes);
}

void PackageHasher::addData(const char* data, size_t bytes)
{
    crypto_generichash_update(&m_state, reinterpret_cast<const unsigned char*>(data), bytes);
}

QByteArray PackageHasher::result()
{
    QByteArray digest(kDigestBytes, Qt::Uninitialized);
    crypto_generichash_final(&m_state, reinterpret_cast<unsigned char*>(digest.data()), kDigestBytes);
    reset();
    return digest;
}
