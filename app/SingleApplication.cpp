#include "app/SingleApplication.h"

#include "platform/Foreground.h"
#include "platform/InstanceLock.h"
#include "platform/ProcessToken.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

namespace {

QString userName()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("USERNAME") : user;
}

// Private to the user where the session provides one; a shared temporary
// folder lets another local user hold the lock first.
QStringList runtimeFolders()
{
    // The temporary folder is empty when TMPDIR names no folder.
    QStringList folders{qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath()};
    folders.removeAll(QString());
    return folders;
}

} // namespace

QString SingleApplication::serverNameFor(const QString& id, const QString& user, bool elevated)
{
    // An elevated start is an instance of its own: Windows would not let it
    // raise an unelevated window, nor that one raise it.
    const QByteArray hash = QCryptographicHash::hash(user.toUtf8(), QCryptographicHash::Sha1).toHex();
    return id + QLatin1Char('-') + QString::fromLatin1(hash.left(12)) +
           (elevated ? QStringLiteral("-elevated") : QString());
}

SingleApplication::SingleApplication(const QString& id, int& argc, char** argv)
    : QApplication(argc, argv), m_serverName(serverNameFor(id, userName(), ProcessToken::isElevated()))
{
    // The lock decides who is first. The system releases a crashed holder's
    // lock; only a lock held by another process means another instance: a
    // folder where no lock can be made at all must not keep the installer
    // from starting.
    QString folder;
    for (const QString& candidate : runtimeFolders()) {
        auto lock = std::make_unique<InstanceLock>();
        const InstanceLock::Result result =
            lock->tryLock(candidate + QLatin1Char('/') + m_serverName + QStringLiteral(".lock"));
        if (result == InstanceLock::Result::Acquired) {
            m_lock = std::move(lock);
            folder = candidate;
            break;
        }
        if (result == InstanceLock::Result::HeldElsewhere) {
            m_running = true;
            m_serverName = candidate + QLatin1Char('/') + m_serverName;
            return;
        }
    }
    if (!m_lock) {
        qWarning() << "no single-instance lock can be created in" << runtimeFolders() << "- starting anyway";
        return;
    }
    // On Unix an absolute name places the socket beside the lock.
    m_serverName = folder + QLatin1Char('/') + m_serverName;

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left behind by a crashed instance would block listen().
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName))
        qWarning() << "single-instance socket" << m_serverName << m_server->errorString();
    connect(m_server, &QLocalServer::newConnection, this, &SingleApplication::readMessages);
}

SingleApplication::~SingleApplication()
{
    if (m_server)
        m_server->close();
}

bool SingleApplication::sendMessage(const QString& message, int timeoutMs)
{
    if (!m_running)
        return false;
    Foreground::allowOtherProcess();

    // The first instance may still be starting up: keep trying until the deadline.
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(int(qMax<qint64>(1, qMin<qint64>(deadline.remainingTime(), 500)))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }

    QByteArray block;
    QDataStream out(&block, QIODevice::WriteOnly);
    out << message;
    socket.write(block);
    const bool written = socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())));
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(int(qMax<qint64>(1, deadline.remainingTime())));
    return written;
}

void SingleApplication::readMessages()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            QString message;
            in >> message;
            if (!in.commitTransaction())
                return;
            if (m_activateOnMessage)
                activateWindow();
        });
    }
}

void SingleApplication::setActivationWindow(QWidget* window, bool activateOnMessage)
{
    m_window = window;
    m_activateOnMessage = activateOnMessage;
}

void SingleApplication::activateWindow()
{
    if (!m_window)
        return;
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
