#include "app/Signals.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Written by the signal handler, read on the GUI thread: only write() is safe
// inside a handler.
int g_pipe[2] = {-1, -1};

void forwardSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds an unhandled request; losing this one is fine.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = saved;
}

bool makeNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

} // namespace

void Signals::onTerminationRequest(std::function<void()> handler)
{
    if (g_pipe[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0 || !makeNonBlocking(g_pipe[0]) ||
        !makeNonBlocking(g_pipe[1])) {
        qDebug() << "termination signals not handled" << errno;
        return;
    }

    auto* notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [handler] {
        char bytes[64];
        while (::read(g_pipe[1], bytes, sizeof bytes) > 0) {
        }
        qDebug() << "termination requested";
        handler();
    });

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

void Signals::holdSessionEndWhile(QWidget* window, std::function<bool()> busy, const QString& reason)
{
    // A desktop session on Linux ends its programs with SIGTERM, answered above.
    Q_UNUSED(window)
    Q_UNUSED(busy)
    Q_UNUSED(reason)
}
