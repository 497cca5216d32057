#include "download/PackageSignature.h"

#include <QList>
#include <algorithm>
#include <cstring>
#include <sodium/core.h>
#include <sodium/crypto_sign.h>
#include <sodium/utils.h>

namespace {

const QByteArray kUntrustedPrefix = QByteArrayLiteral("untrusted comment: ");
const QByteArray kTrustedPrefix = QByteArrayLiteral("trusted comment: ");

// Standard base64 with padding, decoding to exactly `bytes` bytes.
bool decodeExactly(const QByteArray& text, unsigned char* out, size_t bytes)
{
    size_t decoded = 0;
    const char* end = nullptr;
    return sodium_base642bin(out, bytes, text.constData(), size_t(text.size()), nullptr, &decoded, &end,
                             sodium_base64_VARIANT_ORIGINAL) == 0 &&
           end == text.constData() + text.size() && decoded == bytes;
}

} // namespace

const char* PackageSignature::describe(Check check)
{
    switch (check) {
    case Check::Verified:
        return "verified";
    case Check::Malformed:
        return "not a minisign signature";
    case Check::UnknownKey:
        return "signed with a key that is not built in";
    case Check::FileChanged:
        return "the package is not the one signed";
    case Check::CommentChanged:
        return "the trusted comment is not the one signed";
    }
    return "unknown";
}

std::optional<PackageSignature::Keys> PackageSignature::parseKeys(const QByteArray& lines)
{
    Keys keys;
    for (const QByteArray& line : lines.simplified().split(' ')) {
        if (line.isEmpty())
            continue;
        // "Ed", the key id, the Ed25519 public key.
        unsigned char raw[2 + kKeyIdBytes + 32];
        if (!decodeExactly(line, raw, sizeof raw) || std::memcmp(raw, "Ed", 2) != 0)
            return std::nullopt;
        PublicKey key;
        std::copy_n(raw + 2, kKeyIdBytes, key.id.begin());
        std::copy_n(raw + 2 + kKeyIdBytes, key.key.size(), key.key.begin());
        keys << key;
    }
    return keys;
}

PackageSignature::PackageSignature(const QByteArray& text)
{
    m_wellFormed = parse(text);
}

bool PackageSignature::parse(const QByteArray& text)
{
    if (text.size() > kMaxBytes)
        return false;
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    // Four lines, then at most empty ones.
    while (lines.size() > 4 && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != 4 || !lines[0].startsWith(kUntrustedPrefix) || !lines[2].startsWith(kTrustedPrefix))
        return false;

    unsigned char raw[2 + kKeyIdBytes + 64];
    if (!decodeExactly(lines[1], raw, sizeof raw) || !decodeExactly(lines[3], m_globalSignature.data(), 64))
        return false;
    m_algorithm = QByteArray(reinterpret_cast<const char*>(raw), 2);
    if (m_algorithm != "ED" && m_algorithm != "Ed")
        return false;
    std::copy_n(raw + 2, kKeyIdBytes, m_keyId.begin());
    std::copy_n(raw + 2 + kKeyIdBytes, m_signature.size(), m_signature.begin());
    m_trustedComment = lines[2].mid(kTrustedPrefix.size());
    return true;
}

QByteArray PackageSignature::keyId() const
{
    // Stored little-endian, printed as a number.
    QByteArray reversed(reinterpret_cast<const char*>(m_keyId.data()), kKeyIdBytes);
    std::reverse(reversed.begin(), reversed.end());
    return reversed.toHex().toUpper();
}

PackageSignature::Check PackageSignature::check(const Keys& keys, const unsigned char* message,
                                                size_t bytes) const
{
    if (!m_wellFormed)
        return Check::Malformed;
    const auto key =
        std::find_if(keys.cbegin(), keys.cend(), [this](const PublicKey& k) { return k.id == m_keyId; });
    if (key == keys.cend())
        return Check::UnknownKey;
    // What cannot be checked is not taken.
    if (sodium_init() < 0 ||
        crypto_sign_verify_detached(m_signature.data(), message, bytes, key->key.data()) != 0)
        return Check::FileChanged;
    // The global signature covers the file's signature and the trusted comment.
    QByteArray global(reinterpret_cast<const char*>(m_signature.data()), int(m_signature.size()));
    global += m_trustedComment;
    if (crypto_sign_verify_detached(m_globalSignature.data(),
                                    reinterpret_cast<const unsigned char*>(global.constData()),
                                    size_t(global.size()), key->key.data()) != 0)
        return Check::CommentChanged;
    return Check::Verified;
}
