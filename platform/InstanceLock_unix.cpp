#include "platform/InstanceLock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sameFile(int fd, const QByteArray& path)
{
    struct stat held
    {
    }, named{};
    return ::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

} // namespace

InstanceLock::~InstanceLock()
{
    if (!isLocked())
        return;
    // Removed while still held: a later start never locks a file on its way out.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(int(m_handle));
}

InstanceLock::Result InstanceLock::tryLock(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    for (;;) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return Result::Unavailable;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? Result::HeldElsewhere : Result::Unavailable;
        }
        // The holder that just ended may have removed the file after this
        // start opened it: that lock is on a file nobody else will open.
        if (sameFile(fd, name)) {
            m_handle = fd;
            m_path = path;
            return Result::Acquired;
        }
        ::close(fd);
    }
}
