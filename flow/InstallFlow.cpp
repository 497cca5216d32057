#include "flow/InstallFlow.h"

#include "download/DownloadManager.h"
#include "download/TaskThread.h"
#include "install/InstallThread.h"
#include "platform/Launcher.h"
#include "telemetry/OperationLog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace {

// How long the launch waits for its telemetry post before the process ends.
constexpr int kLastPostWaitMs = 2000;

// A worker that has reported its outcome may still be returning from run(),
// and start() on a running thread does nothing: start it once it has ended.
void whenFinished(QObject* context, QThread* worker, std::function<void()> start)
{
    auto pending = std::make_shared<QMetaObject::Connection>();
    *pending = QObject::connect(worker, &QThread::finished, context, [pending, start] {
        if (QObject::disconnect(*pending))
            start();
    });
    if (!worker->isRunning() && QObject::disconnect(*pending))
        start();
}

} // namespace

InstallFlow::InstallFlow(OperationLog* log, QObject* parent)
    : QObject(parent), m_log(log), m_exitHandler([](int code) { QCoreApplication::exit(code); })
{
}

void InstallFlow::prepare()
{
    if (m_taskThread)
        return;
    m_taskThread = new TaskThread(this);
    m_installThread = new InstallThread(this);
    connect(m_taskThread, &TaskThread::updateProgress, this, &InstallFlow::updateProgress);
    connect(m_taskThread, &TaskThread::updateSuccess, this, &InstallFlow::downloaded);
    connect(m_taskThread, &TaskThread::updateFailed, this, &InstallFlow::downloadFailed);
    connect(m_installThread, &InstallThread::installProgress, this, &InstallFlow::installProgress);
    connect(m_installThread, &InstallThread::installSuccess, this, &InstallFlow::installFinished);
    connect(m_installThread, &InstallThread::installFailed, this, &InstallFlow::installStopped);
}

InstallFlow::~InstallFlow()
{
    stop();
}

void InstallFlow::start(const QString& installDir)
{
    prepare();
    m_phase = Phase::Downloading;
    m_installDir = installDir;
    whenFinished(this, m_taskThread, [this] { m_taskThread->download({m_packageUrl}); });
}

void InstallFlow::stop()
{
    if (!m_taskThread)
        return;
    m_taskThread->cancelAndWait();
    m_installThread->cancelAndWait();
    // What the stopped workers posted meanwhile is no outcome of the user's
    // installation: a cancelled transfer would show up as a failure.
    QCoreApplication::removePostedEvents(m_taskThread, QEvent::MetaCall);
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
}

bool InstallFlow::isBusy() const
{
    return m_taskThread && (m_taskThread->isRunning() || m_installThread->isRunning());
}

void InstallFlow::downloaded(const QString& packagePath)
{
    qDebug() << "updateSuccess" << packagePath << "2222222222";
    m_phase = Phase::Installing;
    const InstallRequest request{m_installDir, packagePath, true, m_channel, m_installerDir};
    whenFinished(this, m_installThread, [this, request] { m_installThread->install(request); });
    m_log->send(QStringLiteral("pc-load-ok"));
    emit updateSuccess(packagePath);
}

void InstallFlow::downloadFailed(int code)
{
    emit updateFailed(code);
    m_log->send(QStringLiteral("pc-load-failedcode-") + QString::number(code));
}

void InstallFlow::installStopped(int code)
{
    emit installFailed(code);
    m_log->send(QStringLiteral("pc-install-failedcode-") + QString::number(code));
    qDebug() << "installFailed" << code;
}

void InstallFlow::installFinished()
{
    m_phase = Phase::Installed;
    qDebug() << "installSuccess";
    // Nothing of the download is needed any more: the space goes back now.
    m_taskThread->releaseDownloadFolder();
    emit installSuccess();
    m_log->send(QStringLiteral("pc-install-success"));
}

void InstallFlow::launch(const QString& program, QNetworkReply* lastPost)
{
    if (m_launching)
        return;
    m_launching = true;
    Launcher::openProduct(program);
    // The installer is done for the user once the product starts.
    emit launched();
    waitForPosts(lastPost);
    m_exitHandler(0);
}

void InstallFlow::waitForPosts(QNetworkReply* lastPost)
{
    // Give the launch's own telemetry post a moment to leave, past any posts
    // a silent receiver holds; the outcome does not matter.
    QList<QPointer<QNetworkReply>> posts;
    if (lastPost)
        posts << lastPost;
    for (QNetworkReply* post : m_log->sendWaitingNow())
        posts << post;
    QEventLoop loop;
    const auto allFinished = [&posts] {
        return std::all_of(posts.cbegin(), posts.cend(),
                           [](const QPointer<QNetworkReply>& post) { return !post || post->isFinished(); });
    };
    for (const QPointer<QNetworkReply>& post : qAsConst(posts)) {
        connect(post, &QNetworkReply::finished, &loop, [&] {
            if (allFinished())
                loop.quit();
        });
    }
    if (!allFinished()) {
        QTimer::singleShot(kLastPostWaitMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}
