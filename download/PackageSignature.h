#pragma once

#include <QByteArray>
#include <QVector>
#include <array>
#include <cstddef>
#include <optional>

// A minisign signature file (.minisig) and its check against the publisher
// keys built in. No I/O: the caller hands over the signature's text and what
// it signs, the file's BLAKE2b-512 digest ("ED") or, for the legacy "Ed", the
// file itself.
class PackageSignature
{
public:
    static constexpr int kKeyIdBytes = 8;
    // A signature is about 300 bytes; this leaves room for a long trusted
    // comment and nothing for a page or a package served by mistake.
    static constexpr int kMaxBytes = 4096;

    struct PublicKey
    {
        std::array<unsigned char, kKeyIdBytes> id;
        std::array<unsigned char, 32> key;
    };
    using Keys = QVector<PublicKey>;

    // In the order the checks run; each names the first one that failed.
    enum class Check {
        Verified,
        Malformed,      // not a minisign signature, or longer than kMaxBytes
        UnknownKey,     // made with a key that is not built in
        FileChanged,    // the file is not the one that was signed
        CommentChanged, // the trusted comment is not the one that was signed
    };
    static const char* describe(Check check);

    // Key lines of minisign.pub files, separated by blanks; nothing if any
    // of them is not such a line.
    static std::optional<Keys> parseKeys(const QByteArray& lines);

    explicit PackageSignature(const QByteArray& text);

    bool isWellFormed() const { return m_wellFormed; }
    // "ED" signs the file's BLAKE2b-512 digest; the legacy "Ed" the file itself.
    bool signsDigest() const { return m_algorithm == "ED"; }
    // As minisign prints key ids: 16 upper-case hexadecimal digits.
    QByteArray keyId() const;
    QByteArray trustedComment() const { return m_trustedComment; }

    // message: the file's digest or, for "Ed", the file itself.
    Check check(const Keys& keys, const unsigned char* message, size_t bytes) const;

private:
    bool parse(const QByteArray& text);

    bool m_wellFormed = false;
    QByteArray m_algorithm;
    std::array<unsigned char, kKeyIdBytes> m_keyId{};
    std::array<unsigned char, 64> m_signature{};
    QByteArray m_trustedComment;
    std::array<unsigned char, 64> m_globalSignature{};
};
