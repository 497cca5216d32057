// The installer window in the edition this binary is built for (test_window,
// test_window_green) against the release server on the build's endpoint
// ports: the whole flow by keyboard, screen readers, both languages, the
// retry and the close.
#include "BuildConfig.h"
#include "core/Translator.h"
#include "download/DownloadManager.h"
#include "download/TaskThread.h"
#include "flow/InstallFlow.h"
#include "install/InstallThread.h"
#include "nerixSetupOnline/WindowLogic.h"
#include "nerixSetupOnline/nerixSetupOnline.h"
#include "platform/DiskSpace.h"
#include "support/PackageBuilder.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"
#include "telemetry/MachineIdentifier.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <atomic>
#include <memory>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

// The one way to have the identifier computed again.
struct FreshMachineIdentifier : MachineIdentifier
{
    using MachineIdentifier::forget;
};

QStringList g_announced; // "object event-type" of what assistive technology was told

QString focused()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// Keys to whatever has the focus; what has it after each.
QStringList keys(std::initializer_list<int> codes)
{
    QStringList path;
    for (int code : codes) {
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key(code));
        path << focused();
    }
    return path;
}

// "kind name" (a bar's value) of every visible button, link, tick and progress bar below iface, sorted.
QStringList controls(QAccessibleInterface* iface)
{
    static const QMap<int, QString> kinds{{QAccessible::Button, "button "},
                                          {QAccessible::Link, "link "},
                                          {QAccessible::CheckBox, "tick "},
                                          {QAccessible::ProgressBar, "bar "}};
    QStringList found;
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* c = iface->child(i);
        if (kinds.contains(c->role()) && !c->state().invisible)
            found << kinds[c->role()] + (c->state().checked ? "(ticked) " : "") +
                         (c->valueInterface() ? c->valueInterface()->currentValue().toString()
                                              : c->text(QAccessible::Name));
        found << controls(c);
    }
    found.sort();
    return found;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    QList<QUrl> m_opened;
    ReleaseServer m_server;

    // The release server, with the given receiver, and a fresh window.
    std::unique_ptr<nerixSetupOnline> makeWindow(quint64 freeBytes = Q_UINT64_C(1) << 30,
                                                 const QString& language = "zh",
                                                 const QString& telemetry = "ok",
                                                 const QString& channel = QString())
    {
        if (!m_server.start({m_work.path() + "/server", ReleaseServer::endpointPorts(), false, telemetry}))
            qFatal("no release server");
        DiskSpace::setFreeBytesProvider([freeBytes](const QString&) { return freeBytes; });
        QTranslator translator; // removed again when it goes: the form's texts stay
        if (translator.load(":/nerixSetupOnline/language/nerixsetuponline_" + language))
            QCoreApplication::installTranslator(&translator);
        auto window = std::make_unique<nerixSetupOnline>();
        window->setLaunchParameter(channel);
        window->findChild<InstallFlow*>()->setInstallerDir(m_work.path() + "/installer");
        window->show();
        window->activateWindow();
        return window;
    }

public slots:
    void openUrl(const QUrl& url) { m_opened << url; }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        loadTranslator(); // Chinese here; the questions are asked in it
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
        QVERIFY(PackageBuilder::writeTree(m_work.path() + "/installer", {{"nerixSetupOnline.exe", "x"}}) &&
                QDir().mkpath(m_work.path() + "/server/upload/pc"));
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            if (event->object())
                g_announced << event->object()->objectName() + ' ' + QString::number(event->type());
        });
        // A screen reader, connecting, would turn this on.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    }

    // Every picture of every page waits for the first frame: a rule with a
    // url() in a page widget's own style sheet would be decoded while the
    // form is built.
    void pagePicturesWaitForTheFirstFrame()
    {
        nerixSetupOnline window;
        for (QWidget* widget : child(window, "stackedWidget")->findChildren<QWidget*>())
            QVERIFY2(!widget->styleSheet().contains("url("), qPrintable(widget->objectName()));
    }

    // Return alone installs and starts; the tick, the link, a failure and the
    // retry are reached with Tab. A test channel with a non-ASCII name, against
    // a receiver that reads every post and never answers: every event still
    // arrives, as raw UTF-8, and Start hides the window at once and ends
    // within its bounded wait. The query tool answers only after the first
    // frame: the window shows without it, and the first post waits for the
    // identifier.
    void wholeFlowByKeyboard()
    {
        QTemporaryDir bin;
        const QString gate = bin.filePath("answer");
        const QByteArray tool = "#!/bin/sh\nuntil [ -e '" + gate.toUtf8() +
                                "' ]; do sleep 0.01; done\n"
                                "echo UUID; echo 4C4C4544-0051-3510-8057-B4C04F4B4A32\n";
        QVERIFY(PackageBuilder::writeTree(bin.path(), {{"wmic", tool}}));
        const QByteArray path = qgetenv("PATH");
        const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
        qputenv("PATH", bin.path().toUtf8() + ':' + path);
        FreshMachineIdentifier::forget();
        const auto channel = QString::fromUtf8("promo_春季#qotab-a1b2c3d4e5f60718");
        // The silent receiver once: the edition changes nothing in the sending.
        auto w = makeWindow(Q_UINT64_C(1) << 30, "zh", greenTheme ? "ok" : "hang", channel);
        QTRY_VERIFY(child(*w, "progressBar")->styleSheet().contains("::chunk")); // past the first frame
        QVERIFY(m_server.telemetry().isEmpty() && QFile(gate).open(QIODevice::WriteOnly));
        QTRY_COMPARE(focused(), QStringLiteral("btnSetupview_2"));
        QCOMPARE(
            keys({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab}),
            QStringList({"label_min", "lbClose", "label_8", "lb_agreement_2", "btnDir", "btnSetupview_2"}));
        keys({Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Return}); // the agreement link
        // Unticked, the install button leaves the tab order.
        QCOMPARE(keys({Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab}).last(),
                 "label_min");
        keys({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Enter});
        QTRY_COMPARE_WITH_TIMEOUT(focused(), QStringLiteral("pushButton_3"), 30000); // nothing to download
        // The green edition has no test package.
        const QString package = m_work.path() + "/server/upload/pc/" +
                                (greenTheme ? "quorbelSetupx64_min.7z" : "corvaneSetupx64_min_test.7z");
        QVERIFY(PackageBuilder::build(package, {{"Vantrel_x64Minimal", PackageBuilder::sampleProduct()}}) &&
                PackageBuilder::sign(package));
        keys({Qt::Key_Return});
        QTRY_COMPARE_WITH_TIMEOUT(focused(), QStringLiteral("btnSetupview_3"), 60000);
        QElapsedTimer clock;
        qint64 elapsed = -1;
        bool waitedHidden = false;
        QTimer::singleShot(0, this, [&] { waitedHidden = !w->isVisible(); });
        // The launch's own post has left by the time the process ends.
        w->setExitHandler([&](int code) {
            elapsed =
                code == 0 && m_server.telemetryEvents().contains("pc-install-setup") ? clock.elapsed() : -2;
        });
        clock.start();
        keys({Qt::Key_Return});
        QVERIFY2(waitedHidden && elapsed >= 0 && elapsed < 2500, qPrintable(QString::number(elapsed)));
        // Nothing of the download is left: no package, no extracted product.
        QVERIFY(QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                    .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        QCOMPARE(m_opened.last(),
                 QUrl::fromLocalFile(w->installFolder() + (greenTheme ? "/quorbel" : "/corvane") +
                                     "MasterRecovery.exe"));
        // Escape, Alt+F4 and the window system's close ask as the close box does; only Yes closes.
        QString asked;
        answerNextBox(QMessageBox::No, &asked);
        keys({Qt::Key_Escape});
        QCOMPARE(asked, QString::fromUtf8("已经安装成功，是否关闭安装程序？"));
        answerNextBox(QMessageBox::No, &asked);
        QTest::keyClick(w.get(), Qt::Key_F4, Qt::AltModifier);
        answerNextBox(QMessageBox::Yes, &asked);
        w->windowHandle()->close();
        QVERIFY(!w->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(
            m_server.telemetryEvents(ReleaseServer::endpointPort(endpoints::telemetryTest)).join(' '),
            QStringLiteral("pc-install-agreement pc-install-check pc-install-check pc-install-close "
                           "pc-install-close pc-install-close pc-install-failed pc-install-go "
                           "pc-install-setup pc-install-success pc-load-failedcode-0 pc-load-ok"),
            30000);
        // The first event leaves before the channel is known.
        QCOMPARE(m_server.telemetryEvents(ReleaseServer::endpointPort(endpoints::telemetry)),
                 QStringList{"pc-install-show"});
        const QString body = m_server.telemetry().last()["body"].toString();
        // The identifier: the UUID's MD5.
        QVERIFY(body.contains(QString::fromUtf8("\"apkChannel\":\"春季\"")) &&
                body.contains("\"pcId\":\"1ddaa8f825ef9c4d0d8b329d979d63cf\""));
    }

    // Per language: what a screen reader finds on each page and is told; every picture of every page
    // exists; the agreement rows hold their texts. In English the disk is one byte short: ticking
    // enables the install buttons all the same.
    void languages_data()
    {
        // Agreement link, tick, browse, install, minimise, close, retry, start.
        QTest::addColumn<QStringList>("n");
        const auto row = [](const char* tag, const char* n) {
            QTest::newRow(tag) << QString::fromUtf8(n).split('|');
        };
        row("zh", "用户使用协议|我已阅读并同意|浏览|立即安装|最小化|关闭|重新安装|立即启动");
        row("en", "User Agreement|I have read and agree|Open|install now|Minimise|Close|re-install|Start "
                  "immediately");
    }
    void languages()
    {
        QFETCH(QStringList, n);
        const bool enough = QTest::currentDataTag() == QLatin1String("zh");
        auto w = makeWindow(Q_UINT64_C(209715200) - !enough, QTest::currentDataTag());
        // On a 200 % screen (the _hidpi entries) a picture is drawn from its @2x file at its own size.
        if (w->devicePixelRatioF() == 2) {
            QWidget* label = child(*w, "label_17");
            // Without the window's grey.
            QImage grabbed(label->size() * 2, QImage::Format_ARGB32_Premultiplied);
            grabbed.setDevicePixelRatio(2);
            grabbed.fill(Qt::transparent);
            label->render(&grabbed, QPoint(), QRegion(), QWidget::DrawChildren);
            const QImage sharp(QStringLiteral(":/nerixSetupOnline/Resources%1/about_us_logo@2x.png")
                                   .arg(greenTheme ? "_green" : ""));
            const QPoint at = QPoint(grabbed.width() - sharp.width(), grabbed.height() - sharp.height()) / 2;
            QCOMPARE(grabbed.copy(QRect(at, sharp.size())), sharp.convertToFormat(grabbed.format()));
        }
        // The first page's background is painted under its widgets (the frame alone is white).
        const QImage page = child(*w, "page_2")->grab().toImage();
        QCOMPARE(page.pixel(QPoint(3, 3) * w->devicePixelRatioF()),
                 QImage(":/nerixSetupOnline/Resources/bg.png").pixel(3, 3));
        QTRY_COMPARE(focused(), QLatin1String(enough ? "btnSetupview_2" : "btnDir"));
        QCOMPARE(child(*w, "label_7")->isVisibleTo(w.get()), !enough);
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.get());
        QStringList expected{"link " + n[0],   "tick (ticked) " + n[1], "button " + n[2],
                             "button " + n[3], "button " + n[4],        "button " + n[5]};
        expected.sort();
        QCOMPARE(controls(root), expected);
        g_announced.clear();
        // Install needs the tick and the room at once, whichever changes last:
        // a folder chosen while unticked, a tick on a drive too small.
        const auto installEnabled = [&] {
            return child(*w, "btnSetupview")->isEnabled() && child(*w, "btnSetupview_2")->isEnabled();
        };
        for (int press = 0; press < 2; ++press) {
            QTest::keyClick(child(*w, "label_8"), Qt::Key_Space);
            QCOMPARE(installEnabled(), press == 1 && enough);
            // An install button that cannot be pressed looks it: grey, in both editions.
            for (const char* button : {"btnSetupview", "btnSetupview_2"})
                QCOMPARE(
                    child(*w, button)->grab().toImage().pixelColor(QPoint(10, 24) * w->devicePixelRatioF()) ==
                        QColor(206, 206, 206),
                    !installEnabled());
            QCOMPARE(controls(root).contains("tick " + n[1]), press == 0);
            if (press == 0) {
                answerNextModal([](QWidget* dialog) {
                    qobject_cast<QFileDialog*>(dialog)->selectFile(QDir::homePath());
                    qobject_cast<QDialog*>(dialog)->accept();
                });
                QTest::mouseClick(child<QPushButton>(*w, "btnDir"), Qt::LeftButton);
                QVERIFY(!installEnabled());
                QCOMPARE(child<QLineEdit>(*w, "lineEdit")->text(),
                         WindowLogic::installPathFor(QDir::homePath(), greenTheme));
            }
        }
        auto* flow = w->findChild<InstallFlow*>();
        child<QStackedWidget>(*w, "stackedWidget")->setCurrentIndex(2);
        QMetaObject::invokeMethod(flow->findChild<TaskThread*>(), "updateProgress", Q_ARG(double, 50));
        QMetaObject::invokeMethod(flow->findChild<TaskThread*>(), "updateFailed", Q_ARG(int, 0));
        QCOMPARE(controls(root),
                 QStringList({"bar 40", "button " + n[5], "button " + n[4], "button " + n[6]}));
        for (const QString& told : {"label_8 " + QString::number(QAccessible::StateChanged),
                                    "progressBar " + QString::number(QAccessible::ValueChanged),
                                    "proTxt " + QString::number(QAccessible::NameChanged)})
            QVERIFY2(g_announced.contains(told), qPrintable(told));
        QMetaObject::invokeMethod(flow->findChild<InstallThread*>(), "installSuccess");
        QVERIFY(controls(root).contains("button " + n[7]));

        for (int index : {0, 1, 2, 3})
            child<QStackedWidget>(*w, "stackedWidget")->setCurrentIndex(index);
        const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
        for (QWidget* widget : w->findChildren<QWidget*>())
            for (auto it = url.globalMatch(widget->styleSheet()); it.hasNext();)
                QVERIFY2(!QImage(it.next().captured(1)).isNull(), qPrintable(widget->styleSheet()));
        for (const char* row : {"widget", "horizontalLayoutWidget"})
            for (QLabel* label : child(*w, row)->findChildren<QLabel*>())
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        QTest::mousePress(child(*w, "label_min"), Qt::LeftButton); // the minimise box acts on release
        QVERIFY(!(w->windowState() & Qt::WindowMinimized));
        QTest::mouseRelease(child(*w, "label_min"), Qt::LeftButton);
        QTRY_VERIFY(w->windowState() & Qt::WindowMinimized);
        child<QStackedWidget>(*w, "stackedWidget")->setCurrentIndex(0);
        QTest::mousePress(child(*w, "lb_custom"), Qt::LeftButton);
        for (const char* event :
             {"pc-install-selectdir", "pc-install-min", "pc-install-custom", "pc-load-failedcode-0"})
            QTRY_VERIFY2(m_server.telemetryEvents().contains(event), event);
    }

    // The failure reaches the window while the download thread is still
    // returning: a retry pressed then must still download again. Yes in the
    // close question then stops the download; what it posted before it
    // stopped is no outcome to show.
    void retryThenCloseWhileDownloading()
    {
        auto w = makeWindow();
        auto* flow = w->findChild<InstallFlow*>();
        auto* task = flow->findChild<TaskThread*>();
        flow->setPackageUrl(m_server.baseUrl() + QStringLiteral("/missing.7z"));
        QSemaphore hold;
        std::atomic<int> failures{0};
        connect(
            task->findChild<DownloadManager*>(), &DownloadManager::downLoadErr, this,
            [&] { failures++ == 0 ? hold.acquire() : void(); }, Qt::DirectConnection);
        auto* retry = child(*w, "pushButton_3");
        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        // Pressed before the first frame: the progress page is styled as it comes.
        QVERIFY(child(*w, "progressBar")->styleSheet().contains("::chunk"));
        QTRY_VERIFY(retry->isVisible());
        QTest::mouseClick(retry, Qt::LeftButton);
        hold.release();
        QTRY_COMPARE(failures.load(), 2);
        QTRY_VERIFY(retry->isVisible());

        flow->setPackageUrl(m_server.baseUrl() + "/test/trickle?bytes=100000000&chunk=1000&delay_ms=50");
        QTest::mouseClick(retry, Qt::LeftButton);
        QTRY_VERIFY(task->isRunning());
        QString asked;
        answerNextBox(QMessageBox::Yes, &asked);
        QTest::mousePress(child(*w, "lbClose"), Qt::LeftButton);
        QVERIFY(!w->isVisible() && !task->isRunning());
        QCOMPARE(asked, QString::fromUtf8("是否要退出安装程序？"));
        QCoreApplication::sendPostedEvents();
        QVERIFY(!retry->isVisibleTo(w.get()) && !child<QLabel>(*w, "proTxt")->text().contains("-!"));
    }
};

NERIX_TEST_MAIN(TestWindow)
#include "test_window.moc"
