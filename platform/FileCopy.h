#pragma once

#include <QString>

namespace FileCopy {

// QFile::copy's contract (an existing destination is a failure, the source's
// permissions are kept, a failed copy leaves no file behind) without its
// per-file flush to disk, which made copying thousands of files several
// times slower than cp.
bool copyNew(const QString& source, const QString& destination);

} // namespace FileCopy
