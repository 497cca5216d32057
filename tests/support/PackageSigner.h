#pragma once

#include <QString>

// Signs files with Debian's minisign program, as a publisher would, with the
// suite's own password-less key pairs (tests/data/test-key-a, test-key-b: the
// keys the suite's cores trust) or any other secret-key file.
namespace PackageSigner {

// The secret-key file of one of the suite's keys, by letter.
QString testKey(char letter);

// Writes file + ".minisig"; legacy: the old "Ed" algorithm, over the whole
// file. Returns false, with a warning holding minisign's output, on failure.
bool sign(const QString& file, const QString& secretKey = testKey('a'), bool legacy = false,
          const QString& trustedComment = QString());

} // namespace PackageSigner
