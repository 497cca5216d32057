#include "platform/FileCopy.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
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
