// The installer window in the edition this binary is built for (test_window,
// test_window_green): mouse, keyboard, screen readers and high-DPI screens.
#include "BuildConfig.h"
#include "app/Translator.h"
#include "install/InstallThread.h"
#include "nerixSetupOnline/nerixSetupOnline.h"
#include "platform/DiskSpace.h"
#include "support/FormProbe.h"
#include "support/ModalAnswer.h"
#include "support/PackageBuilder.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <memory>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

QStringList g_announced; // "object event-type" of what assistive technology was told

// Keys to whatever has the focus.
void keys(std::initializer_list<int> codes)
{
    for (int code : codes)
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key(code));
}

QString focused()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void answerNext(QMessageBox::StandardButton button, QString* asked)
{
    answerNextModal([button, asked](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QCOMPARE(box->button(QMessageBox::Yes)->text(), QString::fromUtf8("是"));
        *asked = box->text();
        box->button(button)->click();
    });
}

// "kind name" of every visible button, link, tick and progress bar below iface, sorted.
QStringList controls(QAccessibleInterface* iface)
{
    QStringList found;
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        const QAccessible::Role role = child->role();
        const QString kind = role == QAccessible::Button     ? "button "
                             : role == QAccessible::Link     ? "link "
                             : role == QAccessible::CheckBox ? (child->state().checked ? "ticked " : "tick ")
                                                             : "";
        if (!child->state().invisible && role == QAccessible::ProgressBar)
            found << "bar " + child->valueInterface()->currentValue().toString();
        else if (!child->state().invisible && !kind.isEmpty())
            found << kind + child->text(QAccessible::Name);
        found << controls(child);
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

    std::unique_ptr<nerixSetupOnline> makeWindow(quint64 freeBytes = Q_UINT64_C(1) << 30,
                                                 const QString& language = "zh")
    {
        DiskSpace::setFreeBytesProvider([freeBytes](const QString&) { return freeBytes; });
        QTranslator translator; // removed again when it goes: the form's texts stay
        QCoreApplication::installTranslator(&translator);
        if (!translator.load(":/nerixSetupOnline/language/nerixsetuponline_" + language))
            return nullptr;
        auto window = std::make_unique<nerixSetupOnline>();
        window->setLaunchParameter(QString());
        window->findChild<InstallThread*>()->setInstallerDir(m_work.path() + "/installer");
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
        QVERIFY(PackageBuilder::writeTree(m_work.path() + "/installer", {{"nerixSetupOnline.exe", "x"}}));
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            if (event->object())
                g_announced << event->object()->objectName() + ' ' + QString::number(event->type());
        });
        // A screen reader, connecting, would turn this on.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    }

    // Too little space disables the install buttons; ticking enables them all the same.
    void opensOnLocationPage()
    {
        for (quint64 bytes : {Q_UINT64_C(209715200), Q_UINT64_C(209715199)}) {
            auto w = makeWindow(bytes);
            const bool allowed = bytes == 209715200;
            QCOMPARE(page(*w), 1);
            QCOMPARE(child(*w, "btnSetupview")->isEnabled() && child(*w, "btnSetupview_2")->isEnabled(),
                     allowed);
            QCOMPARE(child(*w, "label_7")->isVisibleTo(w.get()), !allowed);
            QTRY_COMPARE(focused(), QLatin1String(allowed ? "btnSetupview_2" : "btnDir"));
            QTest::mousePress(child(*w, "label_8"), Qt::LeftButton);
            QTest::mousePress(child(*w, "label_4"), Qt::LeftButton);
            QVERIFY(child(*w, "btnSetupview")->isEnabled() && child(*w, "btnSetupview_2")->isEnabled());
            QString asked;
            answerNext(QMessageBox::No, &asked);
            QTest::mousePress(child(*w, "lbClose"), Qt::LeftButton);
            QCOMPARE(asked, QString::fromUtf8("是否要退出安装程序？"));
        }
    }

    // Return alone installs and starts; the tick, the link, a failure and the
    // retry are reached with Tab; the same events as the mouse's arrive.
    void keyboardOnly()
    {
        ReleaseServer server;
        const QString root = m_work.path() + "/server";
        QVERIFY(QDir().mkpath(root + "/upload/pc") && server.start({root, ReleaseServer::endpointPorts()}));
        auto w = makeWindow();
        QTRY_COMPARE(focused(), QStringLiteral("btnSetupview_2"));
        QStringList order;
        for (int i = 0; i < 6; ++i, order << focused())
            keys({Qt::Key_Tab});
        QCOMPARE(order, QStringList({"label_min", "lbClose", "label_8", "lb_agreement_2", "btnDir",
                                     "btnSetupview_2"}));
        keys({Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Return}); // the agreement link
        QCOMPARE(m_opened.size(), 1);
        // Unticked, the install button leaves the tab order.
        keys({Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab});
        QCOMPARE(focused(), QStringLiteral("label_min"));
        keys({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Enter});
        QCOMPARE(page(*w), 2);
        QTRY_COMPARE_WITH_TIMEOUT(focused(), QStringLiteral("pushButton_3"), 30000); // nothing to download
        QVERIFY(PackageBuilder::build(root + "/upload/pc/" + (greenTheme ? "quorbel" : "corvane") +
                                          "Setupx64_min.7z",
                                      {{"Vantrel_x64Minimal", PackageBuilder::sampleProduct()}}));
        keys({Qt::Key_Return});
        QTRY_COMPARE_WITH_TIMEOUT(focused(), QStringLiteral("btnSetupview_3"), 60000);
        int exitCode = -1;
        w->setExitHandler([&exitCode](int code) { exitCode = code; });
        keys({Qt::Key_Return});
        QCOMPARE(exitCode, 0);
        // Escape, Alt+F4 and the window system's close ask as the close box does; only Yes closes.
        QString asked;
        answerNext(QMessageBox::No, &asked);
        keys({Qt::Key_Escape});
        QCOMPARE(asked, QString::fromUtf8("已经安装成功，是否关闭安装程序？"));
        answerNext(QMessageBox::No, &asked);
        QTest::keyClick(w.get(), Qt::Key_F4, Qt::AltModifier);
        answerNext(QMessageBox::Yes, &asked);
        w->windowHandle()->close();
        QVERIFY(!w->isVisible());
        QTRY_COMPARE(
            server.telemetryEvents().join(' '),
            QStringLiteral("pc-install-agreement pc-install-check pc-install-check pc-install-close "
                           "pc-install-close pc-install-close pc-install-failed pc-install-go "
                           "pc-install-setup pc-install-show pc-install-success pc-load-failedcode-0 "
                           "pc-load-ok"));
    }

    // Per language: what a screen reader finds on each page and is told; every
    // picture of every page exists; the agreement rows hold their texts.
    void languages_data()
    {
        // Agreement link, tick, browse, install, minimise, close, retry, start.
        QTest::addColumn<QStringList>("n");
        QTest::newRow("zh") << QStringList{"用户使用协议", "我已阅读并同意", "浏览",     "立即安装",
                                           "最小化",       "关闭",           "重新安装", "立即启动"};
        QTest::newRow("en") << QStringList{
            "User Agreement", "I have read and agree", "Open", "install now", "Minimise", "Close",
            "re-install",     "Start immediately"};
    }
    void languages()
    {
        QFETCH(QStringList, n);
        auto w = makeWindow(Q_UINT64_C(1) << 30, QTest::currentDataTag());
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.get());
        QStringList expected{"link " + n[0],   "ticked " + n[1], "button " + n[2],
                             "button " + n[3], "button " + n[4], "button " + n[5]};
        expected.sort();
        QCOMPARE(controls(root), expected);
        g_announced.clear();
        QTest::keyClick(child(*w, "label_8"), Qt::Key_Space);
        QVERIFY(controls(root).filter("ticked").isEmpty());
        child<QStackedWidget>(*w, "stackedWidget")->setCurrentIndex(2);
        QMetaObject::invokeMethod(w.get(), "updateProgress", Q_ARG(double, 50));
        QMetaObject::invokeMethod(w.get(), "updateFailed", Q_ARG(int, 0));
        QCOMPARE(controls(root),
                 QStringList({"bar 40", "button " + n[5], "button " + n[4], "button " + n[6]}));
        for (const QString& told : {"label_8 " + QString::number(QAccessible::StateChanged),
                                    "progressBar " + QString::number(QAccessible::ValueChanged),
                                    "proTxt " + QString::number(QAccessible::NameChanged)})
            QVERIFY2(g_announced.contains(told), qPrintable(told));
        QMetaObject::invokeMethod(w.get(), "installSuccess");
        QVERIFY(controls(root).contains("button " + n[7]));

        for (int index : {0, 1, 2, 3})
            child<QStackedWidget>(*w, "stackedWidget")->setCurrentIndex(index);
        const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
        for (QWidget* widget : w->findChildren<QWidget*>()) {
            const QString style = widget->styleSheet();
            for (auto it = url.globalMatch(style); it.hasNext();)
                QVERIFY2(!QImage(it.next().captured(1)).isNull(),
                         qPrintable(widget->objectName() + ' ' + style));
            // A container's rules are its own, or its background would repaint inside every child.
            const QRegularExpression scoped("^(\\s*#" + widget->objectName() +
                                            "(:\\w+)?\\s*\\{[^{}]*\\})+\\s*$");
            QVERIFY2(style.isEmpty() || widget->findChildren<QWidget*>().isEmpty() ||
                         scoped.match(style).hasMatch(),
                     qPrintable(style));
        }
        for (const char* row : {"widget", "horizontalLayoutWidget"}) {
            for (QLabel* label : child(*w, row)->findChildren<QLabel*>())
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        }
    }

    // At QT_SCALE_FACTOR=2 (test_window_hidpi) a picture is the 2x file pixel for pixel, not an
    // upscaled 1x one. The green logo is stretched over its label by design: there the close box.
    void highDpi()
    {
        auto w = makeWindow();
        if (w->devicePixelRatioF() == 1)
            QSKIP("runs as test_window_hidpi, at scale factor 2");
        QCOMPARE(w->devicePixelRatioF(), 2.0);
        QWidget* label = child(*w, greenTheme ? "lbClose" : "label_17");
        QImage grabbed(label->size() * 2, QImage::Format_ARGB32_Premultiplied); // without the window's grey
        grabbed.setDevicePixelRatio(2);
        grabbed.fill(Qt::transparent);
        label->render(&grabbed, QPoint(), QRegion(), QWidget::DrawChildren);
        QCOMPARE(grabbed, QImage(greenTheme ? ":/nerixSetupOnline/Resources_green/icon_closse@2x.png"
                                            : ":/nerixSetupOnline/Resources/about_us_logo@2x.png")
                              .convertToFormat(grabbed.format()));
    }

    // Mouse only: dragging (left button), minimising (on release), the slide show, the folder dialog.
    void mouse()
    {
        auto w = makeWindow();
        const QPoint origin = w->pos();
        const QPoint start = w->frameGeometry().topLeft() + QPoint(300, 200);
        for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
            for (auto [type, at] : {std::pair{QEvent::MouseButtonPress, start},
                                    {QEvent::MouseMove, start + QPoint(37, -12)},
                                    {QEvent::MouseButtonRelease, start + QPoint(37, -12)}}) {
                QMouseEvent event(type, w->mapFromGlobal(at), at,
                                  type == QEvent::MouseMove ? Qt::NoButton : button,
                                  type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
                QApplication::sendEvent(w.get(), &event);
            }
            QTRY_COMPARE(w->pos(), origin + (button == Qt::LeftButton ? QPoint(37, -12) : QPoint()));
        }
        QTest::mousePress(child(*w, "label_min"), Qt::LeftButton);
        QVERIFY(!(w->windowState() & Qt::WindowMinimized));
        QTest::mouseRelease(child(*w, "label_min"), Qt::LeftButton);
        QTRY_VERIFY(w->windowState() & Qt::WindowMinimized);
        QList<int> seen;
        for (int step = 0; step < 6;
             ++step, seen << child<QStackedWidget>(*w, "stackedWidget_2")->currentIndex())
            QMetaObject::invokeMethod(w.get(), "changePage");
        QCOMPARE(seen, (QList<int>{0, 1, 1, 0, 1, 1})); // index 2 names no page: slide 2 stays twice as long

        QTemporaryDir chosen;
        answerNextModal([&chosen](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), QStringLiteral("Open Directory"));
            qobject_cast<QFileDialog*>(modal)->selectFile(chosen.path());
            qobject_cast<QDialog*>(modal)->accept();
        });
        QTest::mouseClick(child<QPushButton>(*w, "btnDir"), Qt::LeftButton);
        QCOMPARE(w->installFolder(),
                 chosen.path() + (greenTheme ? "/quorbelMasterRecovery" : "/corvaneMasterRecovery"));
        QCOMPARE(child<QLineEdit>(*w, "lineEdit")->text(), w->installFolder());
    }
};

NERIX_TEST_MAIN(TestWindow)
#include "test_window.moc"
