// Faults met through the real window: misbehaving servers and telemetry,
// closing in every phase. The window must keep running, show the right code,
// recover on retry and never report success after a close.
#include "BuildConfig.h"
#include "app/Translator.h"
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
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStackedWidget>
#include <QTcpServer>
#include <memory>

class UrlSink : public QObject
{
    Q_OBJECT
public slots:
    void openUrl(const QUrl&) {}
};

namespace {

// 7-Zip processes whose parent is this test process.
int sevenZipChildren()
{
    int count = 0;
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile file(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = file.readAll();
        const int close = stat.lastIndexOf(')');
        const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
        if (close > 0 && rest.size() > 1 && rest.at(1) == self && stat.contains("(7z)"))
            ++count;
    }
    return count;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

void answerCloseWithYes(nerixSetupOnline& w)
{
    answerNextModal(
        [](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click(); });
    QTest::mousePress(child(w, "lbClose"), Qt::LeftButton);
}

} // namespace

class TestWindowFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    ReleaseServer m_server;
    UrlSink m_urls;
    QString m_installerDir;

    QString packagePath() const
    {
        return m_server.root() + QStringLiteral("/upload/pc/corvaneSetupx64_min.7z");
    }

    void startServer(const QString& telemetryMode, bool withTelemetry = true)
    {
        m_server.stop();
        ReleaseServer::Options options;
        options.root = m_work.path() + QStringLiteral("/server");
        options.telemetryMode = telemetryMode;
        options.ports = ReleaseServer::endpointPorts();
        if (!withTelemetry)
            options.ports = {options.ports.at(ReleaseServer::endpointPortIndex(endpoints::packageHost))};
        QVERIFY(m_server.start(options));
    }

    std::unique_ptr<nerixSetupOnline> makeWindow()
    {
        auto window = std::make_unique<nerixSetupOnline>();
        window->setLaunchParameter(QString());
        window->findChild<InstallThread*>()->setInstallerDir(m_installerDir);
        window->show();
        return window;
    }

    QStringList events() const { return m_server.telemetryEvents(); }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        loadTranslator();
        DiskSpace::setFreeBytesProvider([](const QString&) { return Q_UINT64_C(64) << 30; });
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "openUrl");
        m_installerDir = m_work.path() + QStringLiteral("/installer");
        QVERIFY(PackageBuilder::writeTree(m_installerDir, {{"helper.dll", "beside the installer\n"}}));
        QVERIFY(
            PackageBuilder::build(m_work.path() + QStringLiteral("/server/upload/pc/corvaneSetupx64_min.7z"),
                                  {{"Vantrel_x64Minimal", PackageBuilder::sampleProduct()}}));
    }

    void cleanupTestCase() { m_server.stop(); }

    // Each failure shows code 0; the same window then installs on retry.
    void badServerThenRetry_data()
    {
        QTest::addColumn<QString>("path");
        const QString package = QStringLiteral("upload/pc/corvaneSetupx64_min.7z");
        QTest::newRow("connection refused") << QString();
        QTest::newRow("reset midway") << "/test/reset?after=2000&file=" + package;
        QTest::newRow("length too long") << "/test/lie?claimed=99999999&file=" + package;
        QTest::newRow("endless redirects") << "/test/redirect-loop";
        QTest::newRow("500") << "/test/status/500";
        QTest::newRow("stall") << "/test/stall?bytes=1";
    }

    void badServerThenRetry()
    {
        QFETCH(QString, path);
        startServer(QStringLiteral("ok"));
        auto w = makeWindow();
        auto* task = w->findChild<TaskThread*>();
        task->downloadManager()->setStallSeconds(2);
        const QString goodUrl = task->packageUrl();
        QString url = m_server.baseUrl() + path;
        if (path.isEmpty()) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            url = QStringLiteral("http://127.0.0.1:%1/x.7z").arg(closed.serverPort());
        }
        task->setUrl(url);

        auto* retry = qobject_cast<QPushButton*>(child(*w, "pushButton_3"));
        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(retry->isVisible(), 60000);
        QCOMPARE(text(*w, "proTxt"), QString::fromUtf8("安装失败2-!0"));
        QCOMPARE(page(*w), 2);
        const QString download = task->downloadManager()->downloadFolder();
        QVERIFY(!QFile::exists(download + QStringLiteral("/corvanetemp.7z")));

        task->setUrl(goodUrl);
        QTest::mouseClick(retry, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(page(*w), 3, 60000);
        QVERIFY(QFile::exists(w->installFolder() + QStringLiteral("/corvaneMasterRecovery.exe")));
    }

    // A trickle keeps the download busy for seconds; the GUI thread keeps
    // serving its timers meanwhile.
    void slowTrickleKeepsTheWindowAlive()
    {
        startServer(QStringLiteral("ok"));
        auto w = makeWindow();
        auto* task = w->findChild<TaskThread*>();
        task->setUrl(m_server.baseUrl() + QStringLiteral("/test/trickle?bytes=40000&chunk=1000&delay_ms=50"));
        int ticksWhileDownloading = 0;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [&] { ticksWhileDownloading += task->isRunning() ? 1 : 0; });
        timer.start();
        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        // The trickled bytes are no package: the extraction finds nothing.
        QTRY_VERIFY_WITH_TIMEOUT(child(*w, "pushButton_3")->isVisible(), 60000);
        QCOMPARE(text(*w, "proTxt"), QString::fromUtf8("安装失败1-!3"));
        QVERIFY(ticksWhileDownloading > 0);
    }

    // Telemetry that is down, hangs or fails changes nothing for the user:
    // the installation completes and the launch still ends the process.
    void misbehavingTelemetry_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("receiver down") << "down";
        QTest::newRow("never answers") << "hang";
        QTest::newRow("answers 500") << "error";
    }

    void misbehavingTelemetry()
    {
        QFETCH(QString, mode);
        startServer(mode == "down" ? QStringLiteral("ok") : mode, mode != "down");
        auto w = makeWindow();
        int ticks = 0;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
        timer.start();

        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(page(*w), 3, 60000);
        const QString dir = w->installFolder();
        QVERIFY(QFile::exists(dir + QStringLiteral("/corvaneMasterRecovery.exe")));
        QVERIFY(QFile::exists(dir + QStringLiteral("/helper.dll")));
        QVERIFY(QFile(dir + QStringLiteral("/Uninstall.list")).size() > 0);
        QVERIFY(ticks > 0);
        if (mode != "down")
            QTRY_VERIFY(events().contains(QStringLiteral("pc-install-success")));

        // The launch waits for its post at most a bounded while, then exits.
        int exitCode = -1;
        w->setExitHandler([&](int code) { exitCode = code; });
        QTest::mousePress(child(*w, "btnSetupview_3"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(exitCode, 0, 30000);
    }

    // Yes in the close question ends every phase: the workers are stopped and
    // waited for, no 7z is left behind, and nothing reports an outcome later.
    void closeInEveryPhase_data()
    {
        QTest::addColumn<QString>("phase");
        QTest::newRow("downloading") << "download";
        QTest::newRow("extracting") << "extract";
        QTest::newRow("copying") << "copy";
        QTest::newRow("finished") << "finished";
    }

    void closeInEveryPhase()
    {
        QFETCH(QString, phase);
        startServer(QStringLiteral("ok"));
        const QString stage = m_work.path() + QStringLiteral("/stage-") + phase;
        const QString package =
            m_server.root() + QStringLiteral("/upload/pc/") + phase + QStringLiteral(".7z");
        if (phase == "extract") {
            // Random data under PPMd unpacks as slowly as it packs: seconds of 7z.
            QVERIFY(PackageBuilder::writeTree(stage + "/Vantrel_x64Minimal",
                                              {{"payload.bin", randomBytes(12 << 20)}}));
            QProcess sevenZip;
            sevenZip.setWorkingDirectory(stage);
            sevenZip.start("7z", {"a", "-bd", "-m0=PPMd", "-mx9", package, "Vantrel_x64Minimal"});
            QVERIFY(sevenZip.waitForFinished(-1));
            QCOMPARE(sevenZip.exitCode(), 0);
        } else if (phase == "copy") {
            PackageBuilder::Tree many;
            for (int i = 0; i < 20000; ++i)
                many[QStringLiteral("f%1/%2").arg(i / 500).arg(i)] = "x";
            QVERIFY(PackageBuilder::build(package, {{"Vantrel_x64Minimal", many}}));
        } else {
            QVERIFY(QFile::copy(packagePath(), package));
        }

        auto w = makeWindow();
        auto* task = w->findChild<TaskThread*>();
        auto* install = w->findChild<InstallThread*>();
        task->setUrl(phase == "download"
                         ? m_server.baseUrl() + "/test/trickle?bytes=100000000&chunk=1000&delay_ms=50"
                         : m_server.baseUrl() + "/upload/pc/" + phase + ".7z");
        // Earlier tests installed into the same default folder.
        QVERIFY(QDir(w->installFolder()).removeRecursively());
        auto* bar = qobject_cast<QProgressBar*>(child(*w, "progressBar"));
        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        if (phase == "download")
            QTRY_VERIFY_WITH_TIMEOUT(task->isRunning(), 30000);
        else if (phase == "extract")
            QTRY_VERIFY_WITH_TIMEOUT(sevenZipChildren() == 1, 60000);
        else if (phase == "copy")
            QTRY_VERIFY_WITH_TIMEOUT(install->isRunning() && bar->value() > 80, 60000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(page(*w), 3, 60000);

        answerCloseWithYes(*w);
        QVERIFY(!w->isVisible());
        QVERIFY(task->isFinished() || !task->isRunning());
        QVERIFY(!install->isRunning());
        QCOMPARE(sevenZipChildren(), 0);

        // Whatever the workers posted before they stopped is delivered now.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        if (phase != "finished") {
            QCOMPARE(page(*w), 2);
            QCOMPARE(w->phase() == 2, false);
            QVERIFY(!child(*w, "pushButton_3")->isVisibleTo(w.get()));
            QVERIFY(!text(*w, "proTxt").contains(QStringLiteral("-!")));
            QVERIFY(!QFile::exists(w->installFolder() + QStringLiteral("/Uninstall.list")));
        }
    }
};

NERIX_TEST_MAIN(TestWindowFaults)
#include "test_window_faults.moc"
