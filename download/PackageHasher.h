#pragma once

#include <QByteArray>
#include <cstddef>
#include <sodium/crypto_generichash.h>

// BLAKE2b-512 of a file fed in pieces as it arrives: the digest a prehashed
// minisign signature signs, taken without reading the file a second time.
class PackageHasher
{
public:
    static constexpr int kDigestBytes = 64;

    PackageHasher();

    void reset();
    void addData(const char* data, size_t bytes);
    // The digest of everything added since the last reset; resets.
    QByteArray result();

private:
    crypto_generichash_state m_state;
};
