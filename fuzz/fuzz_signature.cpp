// Any bytes the server sends as a signature, or the build names as keys:
// parsing never fails badly, and a text taken as a signature has the shape
// of one. A key with the signature's id runs both signature checks too.
#include "download/PackageSignature.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const PackageSignature signature(input);
    PackageSignature::Keys keys = PackageSignature::parseKeys(input).value_or(PackageSignature::Keys());

    if (!signature.isWellFormed()) {
        if (signature.check(keys, data, size) != PackageSignature::Check::Malformed)
            std::abort();
        return 0;
    }
    if (input.size() > PackageSignature::kMaxBytes || signature.keyId().size() != 16 ||
        signature.trustedComment().contains('\n') || input.count('\n') < 3)
        std::abort();
    QByteArray id = QByteArray::fromHex(signature.keyId());
    std::reverse(id.begin(), id.end());
    PackageSignature::PublicKey key{};
    std::copy_n(id.constData(), key.id.size(), key.id.begin());
    std::copy_n(data, std::min(size, key.key.size()), key.key.begin());
    keys << key;
    if (signature.check(keys, data, size) == PackageSignature::Check::Malformed)
        std::abort();
    return 0;
}
