#include "platform/FileCopy.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sendAll(int from, int to)
{
    for (;;) {
        const ssize_t sent = ::sendfile(to, from, nullptr, 1 << 30);
        if (sent == 0)
            return true;
        if (sent < 0 && errno != EINTR)
            return false;
    }
}

enum class Rename { Done, Exists, NotPossible };

Rename renameNoReplace(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return Rename::Done;
    if (errno == EEXIST)
        return Rename::Exists;
    if (errno != EINVAL && errno != ENOSYS)
        return Rename::NotPossible;
    // A file system without the flag: a hard link never replaces either.
    if (::link(from, to) == 0) {
        ::unlink(from);
        return Rename::Done;
    }
    return errno == EEXIST ? Rename::Exists : Rename::NotPossible;
}

} // namespace

bool FileCopy::copyNew(const QString& source, const QString& destination)
{
    const int from = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return false;
    struct stat info;
    if (::fstat(from, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(from);
        return QFile::copy(source, destination);
    }
    const QByteArray target = QFile::encodeName(destination);
    const int to = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (to < 0) {
        ::close(from);
        return false;
    }
    bool ok = sendAll(from, to) && ::fchmod(to, info.st_mode & 0777) == 0;
    ok = ::close(to) == 0 && ok;
    ::close(from);
    if (!ok)
        ::unlink(target.constData());
    return ok;
}

bool FileCopy::moveOrCopyNew(const QString& source, const QString& destination)
{
    const QByteArray from = QFile::encodeName(source);
    struct stat info;
    // A link must arrive as the file it names, as a copy brings it.
    if (::lstat(from.constData(), &info) == 0 && S_ISREG(info.st_mode)) {
        switch (renameNoReplace(from.constData(), QFile::encodeName(destination).constData())) {
        case Rename::Done:
            return true;
        case Rename::Exists:
            return false;
        case Rename::NotPossible:
            break;
        }
    }
    return copyNew(source, destination);
}
