// The whole flow in the real window, against the release server on the
// build's endpoint ports: click, download, extraction, files, shortcuts,
// registration, telemetry and launch.
#include "BuildConfig.h"
#include "app/ChannelManager.h"
#include "app/Translator.h"
#include "install/InstallThread.h"
#include "nerixSetupOnline/nerixSetupOnline.h"
#include "platform/DiskSpace.h"
#include "platform/Registry.h"
#include "support/FormProbe.h"
#include "support/ModalAnswer.h"
#include "support/PackageBuilder.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"
#include "telemetry/MachineIdentifier.h"

#include <QDesktopServices>
#include <QDirIterator>
#include <QJsonDocument>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <memory>

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void openUrl(const QUrl& url) { opened << url; }
};

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesBelow(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(dir.size() + 1);
    files.sort();
    return files;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    ReleaseServer m_server;
    UrlCatcher m_urls;
    QString m_installerDir;

    QString packageFile(const char* name) const
    {
        return m_server.root() + QStringLiteral("/upload/pc/") + QLatin1String(name);
    }

    std::unique_ptr<nerixSetupOnline> makeWindow(const QString& channel)
    {
        auto window = std::make_unique<nerixSetupOnline>();
        window->setLaunchParameter(channel);
        window->findChild<InstallThread*>()->setInstallerDir(m_installerDir);
        window->show();
        return window;
    }

    static QStringList sorted(QStringList list)
    {
        list.sort();
        return list;
    }
    QStringList events(quint16 port) const { return m_server.telemetryEvents(port); }

    quint16 telemetryPort() const
    {
        return ReleaseServer::endpointPorts().at(ReleaseServer::endpointPortIndex(endpoints::telemetry));
    }
    quint16 testTelemetryPort() const
    {
        return ReleaseServer::endpointPorts().at(ReleaseServer::endpointPortIndex(endpoints::telemetryTest));
    }

    void restartServer()
    {
        m_server.stop();
        QDir(m_work.path() + QStringLiteral("/server")).removeRecursively();
        QDir().mkpath(m_work.path() + QStringLiteral("/server/upload/pc"));
        ReleaseServer::Options options;
        options.root = m_work.path() + QStringLiteral("/server");
        options.ports = ReleaseServer::endpointPorts();
        QVERIFY(m_server.start(options));
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        loadTranslator();
        DiskSpace::setFreeBytesProvider([](const QString&) { return Q_UINT64_C(64) << 30; });
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "openUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_urls, "openUrl");

        m_installerDir = m_work.path() + QStringLiteral("/installer");
        QVERIFY(PackageBuilder::writeTree(m_installerDir, {{"nerixSetupOnline.exe", "#!/bin/sh\n"},
                                                           {"7z-notice.txt", "beside the installer\n"}}));
    }

    void init() { restartServer(); }

    void cleanup()
    {
        m_urls.opened.clear();
        QDir(QDir::homePath() + QStringLiteral("/Applications")).removeRecursively();
    }

    void installsAndLaunches()
    {
        const PackageBuilder::Tree product = PackageBuilder::sampleProduct();
        QVERIFY(
            PackageBuilder::build(packageFile("corvaneSetupx64_min.7z"), {{"Vantrel_x64Minimal", product}}));

        auto w = makeWindow(QStringLiteral("site_partner01-1234567890abcdefXYZ"));
        QList<int> bar;
        connect(qobject_cast<QProgressBar*>(child(*w, "progressBar")), &QProgressBar::valueChanged, this,
                [&bar](int value) { bar << value; });

        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        QCOMPARE(page(*w), 2);
        QTRY_COMPARE_WITH_TIMEOUT(page(*w), 3, 60000);
        QCOMPARE(w->phase(), 2);

        // Files: the product without hidden and installer files, the installer's
        // folder without the installer, then the three written files.
        const QString dir = w->installFolder();
        QStringList expected;
        for (auto it = product.cbegin(); it != product.cend(); ++it) {
            const QString name = it.key();
            if (!name.contains(QLatin1String("nerixSetupOnline.exe")) && !name.startsWith(QLatin1Char('.')) &&
                !name.contains(QLatin1String("/.")))
                expected << name;
        }
        expected << QStringLiteral("7z-notice.txt") << QStringLiteral("Uninstall")
                 << QStringLiteral("Uninstall.list");
        expected.removeDuplicates();
        expected.sort();
        QCOMPARE(filesBelow(dir), expected);

        QCOMPARE(readAll(dir + "/Uninstall"), QByteArray("rd/s/q \"") + dir.toUtf8() + '"');
        QCOMPARE(readAll(dir + "/Qt5Morvex.dll"),
                 QByteArray("partner01,") + ChannelManager::signatureFor(1).toLatin1() + ",1234567890abcdef");
        const QByteArray manifest = readAll(dir + "/Uninstall.list");
        QVERIFY(manifest.endsWith(QByteArray(dir.toUtf8() + "/Uninstall.list," + dir.toUtf8() +
                                             "/Uninstall," + dir.toUtf8() + "/Qt5Morvex.dll,")));
        QVERIFY(!manifest.contains('\n'));
        QCOMPARE(manifest.count(','), expected.size() + 1); // the channel file was overwritten, not added

        const QString product_exe = dir + "/corvaneMasterRecovery.exe";
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        const QString menu = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) +
                             QString::fromUtf8("/Corvane");
        QCOMPARE(QFileInfo(desktop + QString::fromUtf8("/Corvane.lnk")).symLinkTarget(), product_exe);
        QCOMPARE(QFileInfo(menu + QString::fromUtf8("/Corvane.lnk")).symLinkTarget(), product_exe);
        QCOMPARE(QFileInfo(menu + QString::fromUtf8("/卸载Corvane.lnk")).symLinkTarget(),
                 dir + "/corvaneMasterUninst.exe");

        const QString key = Registry::uninstallKey(QStringLiteral("Corvane"));
        QCOMPARE(Registry::readString(key, QStringLiteral("UninstallString")),
                 dir + "/corvaneMasterUninst.exe");
        QCOMPARE(Registry::readString(key, QStringLiteral("DisplayVersion")), QStringLiteral("1.2.1"));
        QCOMPARE(Registry::readString(key, QStringLiteral("DisplayIcon")), product_exe);

        QVERIFY(!bar.isEmpty());
        QVERIFY(std::is_sorted(bar.cbegin(), bar.cend()));
        QVERIFY(bar.contains(80));
        QVERIFY(bar.last() >= 97 && bar.last() <= 100);

        int exitCode = -1;
        QStringList sentBeforeExit;
        w->setExitHandler([&](int code) {
            exitCode = code;
            sentBeforeExit = m_server.telemetryEvents();
        });
        QTest::mousePress(child(*w, "btnSetupview_3"), Qt::LeftButton);
        QCOMPARE(exitCode, 0);
        QCOMPARE(m_urls.opened, QList<QUrl>{QUrl::fromLocalFile(product_exe)});
        QVERIFY(sentBeforeExit.contains(QStringLiteral("pc-install-setup"))); // delivered before the exit

        QCOMPARE(events(telemetryPort()), sorted({"pc-install-show", "pc-install-go", "pc-load-ok",
                                                  "pc-install-success", "pc-install-setup"}));
        // Every body byte for byte: the first before the channel was known.
        const QList<QJsonObject> posts = m_server.telemetry();
        const QString bodyTemplate = QStringLiteral(
            R"({"apkChannel":"%1","apkId":25,"apkVersionCode":1,"apkVersionName":"1.2.1","btnId":"%2",)"
            R"("pcId":"%3","phoneId":"%4","phoneMaker":"","phoneModel":"","phoneOs":2,"phoneOsVersion":"","type":38})");
        for (const QJsonObject& post : posts) {
            const QString body = post.value(QStringLiteral("body")).toString();
            const QString btnId =
                QJsonDocument::fromJson(body.toUtf8()).object().value(QStringLiteral("btnId")).toString();
            const bool first = btnId == QLatin1String("pc-install-show");
            QCOMPARE(body, bodyTemplate.arg(first ? QString() : QStringLiteral("partner01"), btnId,
                                            machineIdentifier(),
                                            first ? QString() : QStringLiteral("1234567890abcdef")));
        }
        const QJsonObject headers = posts.at(1).value(QStringLiteral("headers")).toObject();
        QCOMPARE(posts.at(1).value(QStringLiteral("path")).toString(), QStringLiteral("/v1/operationLog"));
        QCOMPARE(posts.at(1).value(QStringLiteral("method")).toString(), QStringLiteral("POST"));
        bool contentType = false;
        for (auto it = headers.begin(); it != headers.end(); ++it)
            contentType |= it.key().compare(QLatin1String("content-type"), Qt::CaseInsensitive) == 0 &&
                           it.value().toString() == QLatin1String("application/json;charset=utf-8");
        QVERIFY(contentType);
    }

    void failuresShowTheirCodeAndRetry()
    {
        auto w = makeWindow(QString());
        auto* retry = qobject_cast<QPushButton*>(child(*w, "pushButton_3"));

        // No package on the server: a download failure.
        QTest::mousePress(child(*w, "btnSetupview"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(retry->isVisible(), 30000);
        QCOMPARE(text(*w, "proTxt"), QString::fromUtf8("安装失败2-!0"));
        QVERIFY(child(*w, "lbClose")->isVisible());

        // A corrupt archive: the download succeeds, the extraction finds nothing.
        QFile corrupt(packageFile("corvaneSetupx64_min.7z"));
        QVERIFY(corrupt.open(QIODevice::WriteOnly));
        corrupt.write(QByteArray("7z\xBC\xAF\x27\x1C", 6) + QByteArray(4096, 'x'));
        corrupt.close();
        QTest::mouseClick(retry, Qt::LeftButton);
        QCOMPARE(text(*w, "proTxt_2"), QStringLiteral("0%"));
        QCOMPARE(text(*w, "proTxt"), QString::fromUtf8("正在安装中，请不要关闭…"));
        QVERIFY(!retry->isVisible());
        QVERIFY(!child(*w, "lbClose")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(retry->isVisible(), 30000);
        QCOMPARE(text(*w, "proTxt"), QString::fromUtf8("安装失败1-!3"));

        // A file both in the product and beside the installer: the second copy fails.
        QVERIFY(PackageBuilder::build(packageFile("corvaneSetupx64_min.7z"),
                                      {{"Vantrel_x64Minimal", {{"7z-notice.txt", "product copy\n"}}}}));
        QTest::mouseClick(retry, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(retry->isVisible(), 30000);
        QCOMPARE(text(*w, "proTxt"), QString::fromUtf8("安装失败1-!4"));

        QTRY_COMPARE(events(telemetryPort()),
                     sorted({"pc-install-show", "pc-install-go", "pc-load-failedcode-0", "pc-install-failed",
                             "pc-load-ok", "pc-install-failedcode-3", "pc-install-failed", "pc-load-ok",
                             "pc-install-failedcode-4"}));
    }

    void testChannelUsesTestPackageAndTelemetry()
    {
        QVERIFY(PackageBuilder::build(packageFile("corvaneSetupx64_min_test.7z"),
                                      {{"Vantrel_x64Minimal", PackageBuilder::sampleProduct()}}));
        auto w = makeWindow(QStringLiteral("promo_spring#qotab-a1b2c3d4e5f60718"));
        QCOMPARE(w->telemetryRoot(), QLatin1String(endpoints::telemetryTest));

        // Unticked: the install buttons send nothing and start nothing.
        QTest::mousePress(child(*w, "label_8"), Qt::LeftButton);
        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        QCOMPARE(page(*w), 1);
        QTest::mousePress(child(*w, "label_4"), Qt::LeftButton);

        // The close question is reported even when the answer is No.
        answerNextModal(
            [](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::No)->click(); });
        QTest::mousePress(child(*w, "lbClose"), Qt::LeftButton);
        QVERIFY(w->isVisible());

        QTest::mousePress(child(*w, "lb_agreement_2"), Qt::LeftButton);
        QCOMPARE(m_urls.opened,
                 QList<QUrl>{QUrl(QLatin1String(endpoints::agreementHost) + "/agreement.html")});

        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(page(*w), 3, 60000);

        QTRY_COMPARE(events(testTelemetryPort()),
                     sorted({"pc-install-check", "pc-install-check", "pc-install-close",
                             "pc-install-agreement", "pc-install-go", "pc-load-ok", "pc-install-success"}));
        QCOMPARE(events(telemetryPort()), QStringList{"pc-install-show"});
        QVERIFY(QFile::exists(w->installFolder() + "/corvaneMasterRecovery.exe"));
    }
};

NERIX_TEST_MAIN(TestEndToEnd)
#include "test_e2e.moc"
