#include "FlowBench.h"

#include "download/TaskThread.h"
#include "flow/InstallFlow.h"
#include "install/InstallThread.h"
#include "nerixSetupOnline/nerixSetupOnline.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

namespace {

// Far beyond any sane loopback run; only there so a broken build cannot hang.
constexpr int kGiveUpMs = 15 * 60 * 1000;

QJsonObject failure(const QString& error)
{
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}};
}

} // namespace

FlowBench::FlowBench(const QString& url, const QString& installerDir)
    : m_url(url), m_installerDir(installerDir)
{
}

QJsonObject FlowBench::run()
{
    nerixSetupOnline window;
    window.setLaunchParameter(QString());
    auto* flow = window.findChild<InstallFlow*>();
    QWidget* installButton = window.findChild<QWidget*>(QStringLiteral("btnSetupview_2"));
    if (!flow || !installButton)
        return failure(QStringLiteral("window parts missing"));
    TaskThread* task = flow->findChild<TaskThread*>();
    InstallThread* install = flow->findChild<InstallThread*>();
    flow->setPackageUrl(m_url);
    // The bench driver's own folder is no installer folder.
    flow->setInstallerDir(m_installerDir);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return failure(QStringLiteral("window not exposed"));
    if (!installButton->isEnabled())
        return failure(QStringLiteral("install button disabled (free space)"));

    // Connected after the window's own slots, so these run after them.
    QElapsedTimer clock;
    qint64 downloadedNs = -1;
    QEventLoop loop;
    bool succeeded = false;
    QJsonValue failedCode;
    QObject::connect(task, &TaskThread::updateSuccess, &loop, [&] { downloadedNs = clock.nsecsElapsed(); });
    QObject::connect(task, &TaskThread::updateFailed, &loop, [&](int code) {
        failedCode = code;
        loop.quit();
    });
    QObject::connect(install, &InstallThread::installSuccess, &loop, [&] {
        succeeded = true;
        loop.quit();
    });
    QObject::connect(install, &InstallThread::installFailed, &loop, [&](int code) {
        failedCode = code;
        loop.quit();
    });
    QTimer::singleShot(kGiveUpMs, &loop, &QEventLoop::quit);

    clock.start();
    QTest::mousePress(installButton, Qt::LeftButton);
    loop.exec();
    const qint64 elapsedNs = clock.nsecsElapsed();
    task->wait();
    install->wait();

    return {
        {QStringLiteral("ok"), succeeded},
        {QStringLiteral("failedCode"), failedCode},
        {QStringLiteral("seconds"), elapsedNs / 1e9},
        {QStringLiteral("downloadSeconds"), downloadedNs / 1e9},
        {QStringLiteral("installSeconds"), (elapsedNs - downloadedNs) / 1e9},
        {QStringLiteral("installDir"), window.installFolder()},
    };
}
