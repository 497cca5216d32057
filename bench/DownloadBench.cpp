#include "DownloadBench.h"

#include "LatenessProbe.h"
#include "download/DownloadManager.h"
#include "download/TaskThread.h"
#include "flow/InstallFlow.h"
#include "nerixSetupOnline/nerixSetupOnline.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <atomic>

namespace {

// Far beyond any sane loopback run; only there so a broken build cannot hang.
constexpr int kGiveUpMs = 15 * 60 * 1000;
// Between the window appearing and the install button: quicker than any hand.
constexpr int kSettleMs = 300;

} // namespace

DownloadBench::DownloadBench(const QString& url, qint64 expectedBytes)
    : m_url(url), m_expectedBytes(expectedBytes)
{
}

QJsonObject DownloadBench::run()
{
    nerixSetupOnline window;
    window.setLaunchParameter(QString());
    auto* flow = window.findChild<InstallFlow*>();
    QWidget* installButton = window.findChild<QWidget*>(QStringLiteral("btnSetupview_2"));
    if (!flow || !installButton)
        return {{QStringLiteral("ok"), false},
                {QStringLiteral("error"), QStringLiteral("window parts missing")}};
    TaskThread* task = flow->findChild<TaskThread*>();
    flow->setPackageUrl(m_url);
    // Only the download is measured: the flow must not go on to extract.
    QObject::disconnect(task, &TaskThread::updateSuccess, flow, nullptr);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {{QStringLiteral("ok"), false},
                {QStringLiteral("error"), QStringLiteral("window not exposed")}};
    // Nobody presses the button within the first moments of the window: the
    // work the window leaves for after its first frame (the other pages'
    // pictures and style sheets, the remaining drives) is done by then.
    QTest::qWait(kSettleMs);

    // Counted where they are emitted, so the count adds no GUI-thread work.
    std::atomic<int> queuedDeliveries{0};
    QObject::connect(
        task->findChild<DownloadManager*>(), &DownloadManager::downProgress,
        task->findChild<DownloadManager*>(), [&queuedDeliveries](double) { ++queuedDeliveries; },
        Qt::DirectConnection);
    int progressUpdates = 0;
    QObject::connect(task, &TaskThread::updateProgress, &window,
                     [&progressUpdates](double) { ++progressUpdates; });

    QEventLoop loop;
    QString path;
    QJsonValue failedCode;
    QObject::connect(task, &TaskThread::updateSuccess, &loop, [&](const QString& p) {
        path = p;
        loop.quit();
    });
    QObject::connect(task, &TaskThread::updateFailed, &loop, [&](int code) {
        failedCode = code;
        loop.quit();
    });
    QTimer::singleShot(kGiveUpMs, &loop, &QEventLoop::quit);

    LatenessProbe probe;
    QElapsedTimer clock;
    probe.start();
    clock.start();
    QTest::mousePress(installButton, Qt::LeftButton);
    loop.exec();
    const qint64 elapsedNs = clock.nsecsElapsed();
    probe.stop();
    task->wait();

    const double seconds = elapsedNs / 1e9;
    const qint64 bytes = path.isEmpty() ? -1 : QFileInfo(path).size();
    const bool ok = !path.isEmpty() && bytes == m_expectedBytes;
    return {
        {QStringLiteral("ok"), ok},
        {QStringLiteral("failedCode"), failedCode},
        {QStringLiteral("seconds"), seconds},
        {QStringLiteral("bytes"), bytes},
        {QStringLiteral("maxLatenessMs"), probe.maxLatenessMs()},
        {QStringLiteral("timerTicks"), probe.ticks()},
        {QStringLiteral("queuedDeliveries"), queuedDeliveries.load()},
        {QStringLiteral("progressUpdates"), progressUpdates},
        {QStringLiteral("queuedPerSecond"), queuedDeliveries.load() / seconds},
    };
}
