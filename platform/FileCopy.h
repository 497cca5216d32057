#pragma once

#include <QString>

namespace FileCopy {

// QFile::copy's contract (an existing destination is a failure, the source's
// permissions are kept, a failed copy leaves no file behind) without its
// per-file flush to disk, which made copying thousands of files several
// times slower than cp.
bool copyNew(const QString& source, const QString& destination);

// The same contract, but a regular file on the destination's volume is
// renamed into place instead of copied, so its bytes are not written twice;
// the source is then gone. Never replaces an existing destination. Where a
// rename cannot be done (another volume, a file system without the call, a
// link) the file is copied and the source stays.
bool moveOrCopyNew(const QString& source, const QString& destination);

} // namespace FileCopy
