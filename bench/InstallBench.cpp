#include "InstallBench.h"

#include "install/InstallThread.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

constexpr int kGiveUpMs = 15 * 60 * 1000;

} // namespace

InstallBench::InstallBench(const QString& packagePath, const QString& installDir, const QString& installerDir)
    : m_packagePath(packagePath), m_installDir(installDir), m_installerDir(installerDir)
{
}

QJsonObject InstallBench::run()
{
    InstallThread thread;
    InstallRequest request;
    request.packagePath = m_packagePath;
    request.installDir = m_installDir;
    request.installerDir = m_installerDir;

    // Queued to this thread like the window's own connections.
    QObject context;
    int progressEvents = 0;
    QObject::connect(&thread, &InstallThread::installProgress, &context,
                     [&progressEvents](double) { ++progressEvents; });
    QEventLoop loop;
    bool succeeded = false;
    QJsonValue failedCode;
    QObject::connect(&thread, &InstallThread::installSuccess, &loop, [&] {
        succeeded = true;
        loop.quit();
    });
    QObject::connect(&thread, &InstallThread::installFailed, &loop, [&](int code) {
        failedCode = code;
        loop.quit();
    });
    QTimer::singleShot(kGiveUpMs, &loop, &QEventLoop::quit);

    QElapsedTimer clock;
    clock.start();
    thread.install(request);
    loop.exec();
    const qint64 elapsedNs = clock.nsecsElapsed();
    thread.wait();

    return {
        {QStringLiteral("ok"), succeeded},
        {QStringLiteral("failedCode"), failedCode},
        {QStringLiteral("seconds"), elapsedNs / 1e9},
        {QStringLiteral("progressEvents"), progressEvents},
    };
}
