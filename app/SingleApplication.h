#pragma once

#include <QApplication>
#include <QPointer>
#include <memory>

class InstanceLock;
class QLocalServer;

// The process's QApplication, kept to one running instance per id and user.
// A lock on a file in the user's runtime folder decides who is first (the
// system releases a crashed holder's); the first instance listens on a local
// socket beside it for later starts. Where no lock can be made, every start runs.
class SingleApplication : public QApplication
{
    Q_OBJECT

public:
    SingleApplication(const QString& id, int& argc, char** argv);
    ~SingleApplication() override;

    bool isRunning() const { return m_running; }
    bool sendMessage(const QString& message, int timeoutMs);
    void setActivationWindow(QWidget* window, bool activateOnMessage = true);

    // The lock's and the socket's name: per id, user and elevation.
    static QString serverNameFor(const QString& id, const QString& user, bool elevated);

public slots:
    void activateWindow();

private:
    void readMessages();

    QString m_serverName;
    bool m_running = false;
    std::unique_ptr<InstanceLock> m_lock;
    QLocalServer* m_server = nullptr;
    QPointer<QWidget> m_window;
    bool m_activateOnMessage = false;
};
