// The real window against the release server on the build's endpoint ports:
// one whole installation, the retry and the close.
#include "BuildConfig.h"
#include "download/DownloadManager.h"
#include "download/TaskThread.h"
#include "install/InstallThread.h"
#include "nerixSetupOnline/nerixSetupOnline.h"
#include "platform/DiskSpace.h"
#include "support/FormProbe.h"
#include "support/ModalAnswer.h"
#include "support/PackageBuilder.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <atomic>
#include <memory>

class TestEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    ReleaseServer m_server;
    QList<QUrl> m_opened;

    QStringList events(const char* root) const
    {
        return m_server.telemetryEvents(ReleaseServer::endpointPort(root));
    }

    // The release server with the given receiver, and a fresh window.
    std::unique_ptr<nerixSetupOnline> start(const QString& telemetryMode, const QString& channel = QString())
    {
        m_server.stop();
        ReleaseServer::Options options{m_work.path() + "/server", ReleaseServer::endpointPorts(), false,
                                       telemetryMode};
        if (!m_server.start(options))
            qFatal("no release server");
        auto window = std::make_unique<nerixSetupOnline>();
        window->setLaunchParameter(channel);
        window->findChild<InstallThread*>()->setInstallerDir(m_work.path() + QStringLiteral("/installer"));
        window->show();
        return window;
    }

public slots:
    void openUrl(const QUrl& url) { m_opened << url; }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        DiskSpace::setFreeBytesProvider([](const QString&) { return Q_UINT64_C(64) << 30; });
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
        QVERIFY(PackageBuilder::writeTree(m_work.path() + "/installer", {{"helper.dll", "beside\n"}}));
    }

    // A test channel, against a telemetry receiver that reads every post and
    // never answers: the installation completes, every event still arrives,
    // and Start hides the window at once and ends within its bounded wait.
    void installsAndLaunchesPastASilentReceiver()
    {
        QVERIFY(PackageBuilder::build(m_work.path() + "/server/upload/pc/corvaneSetupx64_min_test.7z",
                                      {{"Vantrel_x64Minimal", PackageBuilder::sampleProduct()}}));
        auto w = start(QStringLiteral("hang"), QStringLiteral("promo_spring#qotab-a1b2c3d4e5f60718"));
        // More unanswered posts than the network layer has connections.
        for (int i = 0; i < 8; ++i)
            QTest::mousePress(child(*w, "label_4"), Qt::LeftButton);
        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(child<QStackedWidget>(*w, "stackedWidget")->currentIndex(), 3, 60000);
        const QString exe = w->installFolder() + QStringLiteral("/corvaneMasterRecovery.exe");
        QVERIFY(QFile::exists(exe));

        QStringList expected = {"pc-install-go", "pc-install-success", "pc-load-ok"};
        for (int i = 0; i < 8; ++i)
            expected.prepend(QStringLiteral("pc-install-check"));
        QTRY_COMPARE_WITH_TIMEOUT(events(endpoints::telemetryTest), expected, 30000);
        // The first event leaves before the channel is known.
        QCOMPARE(events(endpoints::telemetry), QStringList{"pc-install-show"});

        bool waitedHidden = false;
        QTimer::singleShot(0, this, [&] { waitedHidden = !w->isVisible(); });
        QElapsedTimer clock;
        qint64 elapsed = -1;
        QStringList atExit;
        w->setExitHandler([&](int code) {
            QCOMPARE(code, 0);
            elapsed = clock.elapsed();
            atExit = events(endpoints::telemetryTest);
        });
        clock.start();
        QTest::mousePress(child(*w, "btnSetupview_3"), Qt::LeftButton);
        QVERIFY(waitedHidden);
        QVERIFY2(elapsed >= 0 && elapsed < 2500, qPrintable(QString::number(elapsed)));
        QVERIFY(atExit.contains(QStringLiteral("pc-install-setup")));
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(exe)});
    }

    // The failure reaches the window while the download thread is still
    // returning; a retry pressed then must still download again.
    void retryWhileTheWorkerIsReturning()
    {
        auto w = start(QStringLiteral("ok"));
        auto* task = w->findChild<TaskThread*>();
        task->setUrl(m_server.baseUrl() + QStringLiteral("/missing.7z"));
        QSemaphore hold;
        std::atomic<int> failures{0};
        const auto holdFirst = [&] {
            failures++ == 0 ? hold.acquire() : void();
        };
        connect(task->downloadManager(), &DownloadManager::downLoadErr, this, holdFirst,
                Qt::DirectConnection);
        auto* retry = child(*w, "pushButton_3");
        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        QTRY_VERIFY(retry->isVisible());
        QTest::mouseClick(retry, Qt::LeftButton);
        hold.release();
        QTRY_COMPARE(failures.load(), 2);
        QTRY_VERIFY(retry->isVisible());
    }

    // Yes in the close question stops the download; what it posted before it
    // stopped is no outcome to show.
    void closeWhileDownloading()
    {
        auto w = start(QStringLiteral("ok"));
        auto* task = w->findChild<TaskThread*>();
        task->setUrl(m_server.baseUrl() + "/test/trickle?bytes=100000000&chunk=1000&delay_ms=50");
        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        QTRY_VERIFY(task->isRunning());
        answerNextBox(QMessageBox::Yes);
        QTest::mousePress(child(*w, "lbClose"), Qt::LeftButton);
        QVERIFY(!w->isVisible() && !task->isRunning());
        QCoreApplication::sendPostedEvents();
        QVERIFY(!child(*w, "pushButton_3")->isVisibleTo(w.get()) &&
                !child<QLabel>(*w, "proTxt")->text().contains("-!"));
    }
};

NERIX_TEST_MAIN(TestEndToEnd)
#include "test_e2e.moc"
