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

const QString kProductFolder = greenTheme ? "/quorbelMasterRecovery" : "/corvaneMasterRecovery";
QStringList g_announced; // "object event-type" of what assistive technology was told

void key(int code, int times = 1)
{
    for (int i = 0; i < times; ++i)
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key(code)); // to the focus widget
}

QString focused()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void answerNext(QMessageBox::StandardButton button, QString* asked = nullptr)
{
    answerNextModal([button, asked](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QCOMPARE(box->button(QMessageBox::Yes)->text(), QString::fromUtf8("是"));
        if (asked)
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
        const char* kind = role == QAccessible::Button     ? "button "
                           : role == QAccessible::Link     ? "link "
                           : role == QAccessible::CheckBox ? (child->state().checked ? "ticked " : "tick ")
                                                           : nullptr;
        if (!child->state().invisible && kind)
            found << kind + child->text(QAccessible::Name);
        else if (!child->state().invisible && role == QAccessible::ProgressBar)
            found << "bar " + child->valueInterface()->currentValue().toString();
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

    std::unique_ptr<nerixSetupOnline> makeWindow(quint64 freeBytes = Q_UINT64_C(50) << 30,
                                                 const QString& language = QString())
    {
        DiskSpace::setFreeBytesProvider([freeBytes](const QString&) { return freeBytes; });
        QTranslator translator;
        if (!language.isEmpty() &&
            translator.load(":/nerixSetupOnline/language/nerixsetuponline_" + language))
            QCoreApplication::installTranslator(&translator);
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
        loadTranslator();
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

    void opensOnLocationPage_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::newRow("exactly 200 MiB") << quint64(209715200);
        QTest::newRow("one byte short") << quint64(209715199);
        QTest::newRow("failed query") << quint64(0);
    }
    void opensOnLocationPage()
    {
        QFETCH(quint64, bytes);
        const bool allowed = bytes >= 209715200;
        auto w = makeWindow(bytes);
        QCOMPARE(page(*w), 1);
        QCOMPARE(child(*w, "btnSetupview")->isEnabled(), allowed);
        QCOMPARE(child(*w, "btnSetupview_2")->isEnabled(), allowed);
        QCOMPARE(child(*w, "label_7")->isVisibleTo(w.get()), !allowed);
        QCOMPARE(child<QLineEdit>(*w, "lineEdit")->text(), w->installFolder());
        QVERIFY(w->installFolder().endsWith(kProductFolder));
        QTRY_COMPARE(focused(), QLatin1String(allowed ? "btnSetupview_2" : "btnDir"));
        // Ticking enables both install buttons even when the space check had not.
        QTest::mousePress(child(*w, "label_8"), Qt::LeftButton);
        QTest::mousePress(child(*w, "label_4"), Qt::LeftButton);
        QVERIFY(child(*w, "btnSetupview")->isEnabled() && child(*w, "btnSetupview_2")->isEnabled());
    }

    // Return alone installs and starts; the tick, the link, a failure and the
    // retry are reached with Tab; the same events as the mouse's arrive.
    void keyboardOnly()
    {
        ReleaseServer server;
        ReleaseServer::Options options;
        options.root = m_work.path() + "/server";
        options.ports = ReleaseServer::endpointPorts();
        QVERIFY(QDir().mkpath(options.root + "/upload/pc") && server.start(options));
        auto w = makeWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTRY_COMPARE(focused(), QStringLiteral("btnSetupview_2"));
        QStringList order;
        for (int i = 0; i < 6; ++i, order << focused())
            key(Qt::Key_Tab);
        QCOMPARE(order, QStringList({"label_min", "lbClose", "label_8", "lb_agreement_2", "btnDir",
                                     "btnSetupview_2"}));
        key(Qt::Key_Backtab, 2);
        key(Qt::Key_Return); // the agreement link
        QCOMPARE(m_opened.size(), 1);
        key(Qt::Key_Backtab);
        key(Qt::Key_Space); // untick: the install button leaves the tab order
        key(Qt::Key_Tab, 3);
        QCOMPARE(focused(), QStringLiteral("label_min"));
        key(Qt::Key_Tab, 2);
        key(Qt::Key_Space);
        key(Qt::Key_Tab, 3);
        key(Qt::Key_Enter);
        QCOMPARE(page(*w), 2);
        QTRY_COMPARE_WITH_TIMEOUT(focused(), QStringLiteral("pushButton_3"), 30000); // nothing to download
        QVERIFY(PackageBuilder::build(options.root + "/upload/pc/" + (greenTheme ? "quorbel" : "corvane") +
                                          "Setupx64_min.7z",
                                      {{"Vantrel_x64Minimal", PackageBuilder::sampleProduct()}}));
        key(Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(focused(), QStringLiteral("btnSetupview_3"), 60000);
        int exitCode = -1;
        w->setExitHandler([&exitCode](int code) { exitCode = code; });
        key(Qt::Key_Return);
        QCOMPARE(exitCode, 0);
        answerNext(QMessageBox::No);
        key(Qt::Key_Escape);
        QStringList events = {"pc-install-show",   "pc-install-agreement", "pc-install-check",
                              "pc-install-check",  "pc-install-go",        "pc-load-failedcode-0",
                              "pc-install-failed", "pc-load-ok",           "pc-install-success",
                              "pc-install-setup",  "pc-install-close"};
        events.sort();
        QTRY_COMPARE(server.telemetryEvents(), events);
    }

    // Alt+F4 and the window system's close ask as the close box does; the
    // question follows the phase.
    void closeQuestion()
    {
        auto w = makeWindow();
        QString asked;
        answerNext(QMessageBox::No, &asked);
        QTest::keyClick(w.get(), Qt::Key_F4, Qt::AltModifier);
        QCOMPARE(asked, QString::fromUtf8("是否要退出安装程序？"));
        answerNext(QMessageBox::No);
        QVERIFY(!w->windowHandle()->close());
        QMetaObject::invokeMethod(w.get(), "installSuccess");
        answerNext(QMessageBox::Yes, &asked);
        QTest::mousePress(child(*w, "lbClose"), Qt::LeftButton);
        QCOMPARE(asked, QString::fromUtf8("已经安装成功，是否关闭安装程序？"));
        QVERIFY(!w->isVisible());
    }

    // Per language: what a screen reader finds on each page and is told; every
    // picture of every page exists; the agreement rows hold their texts.
    void languages_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("location");
        QTest::addColumn<QStringList>("progress");
        QTest::addColumn<QString>("start");
        QTest::newRow("zh") << "zh"
                            << QStringList{"link 用户使用协议", "ticked 我已阅读并同意", "button 浏览",
                                           "button 立即安装",   "button 最小化",         "button 关闭"}
                            << QStringList{"button 重新安装", "button 最小化", "button 关闭", "bar 40"}
                            << "button 立即启动";
        QTest::newRow("en") << "en" << QStringList{"link User Agreement", "ticked I have read and agree",
                                                   "button Open",         "button install now",
                                                   "button Minimise",     "button Close"}
                            << QStringList{"button re-install", "button Minimise", "button Close", "bar 40"}
                            << "button Start immediately";
    }
    void languages()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, location);
        QFETCH(QStringList, progress);
        QFETCH(QString, start);
        auto w = makeWindow(Q_UINT64_C(1) << 30, language);
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.get());
        location.sort();
        QCOMPARE(controls(root), location);
        g_announced.clear();
        QTest::keyClick(child(*w, "label_8"), Qt::Key_Space);
        QVERIFY(controls(root).filter("ticked").isEmpty());
        child<QStackedWidget>(*w, "stackedWidget")->setCurrentIndex(2);
        QMetaObject::invokeMethod(w.get(), "updateProgress", Q_ARG(double, 50));
        QMetaObject::invokeMethod(w.get(), "updateFailed", Q_ARG(int, 0));
        progress.sort();
        QCOMPARE(controls(root), progress);
        for (const QString& told : {"label_8 " + QString::number(QAccessible::StateChanged),
                                    "progressBar " + QString::number(QAccessible::ValueChanged),
                                    "proTxt " + QString::number(QAccessible::NameChanged)})
            QVERIFY2(g_announced.contains(told), qPrintable(told));
        QMetaObject::invokeMethod(w.get(), "installSuccess");
        QVERIFY(controls(root).contains(start));

        QTest::keyClick(child(*w, "label_8"), Qt::Key_Space); // ticked: the unticked picture is 16 px on 14
        for (int index : {0, 1, 2, 3})
            child<QStackedWidget>(*w, "stackedWidget")->setCurrentIndex(index);
        const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
        for (QWidget* widget : w->findChildren<QWidget*>()) {
            const QString style = widget->styleSheet();
            for (auto it = url.globalMatch(style); it.hasNext();) {
                const QImage image(it.next().captured(1)); // exists, and fits a label unshrunk
                QVERIFY2(!image.isNull() &&
                             (!qobject_cast<QLabel*>(widget) ||
                              QRect(QPoint(), widget->size()).contains(QRect(QPoint(), image.size()))),
                         qPrintable(widget->objectName() + ' ' + style));
            }
            // A container's rules are its own, or its background would repaint inside every child.
            const QRegularExpression scoped("^(\\s*#" + widget->objectName() +
                                            "(:\\w+)?\\s*\\{[^{}]*\\})+\\s*$");
            QVERIFY2(style.isEmpty() || widget->findChildren<QWidget*>().isEmpty() ||
                         scoped.match(style).hasMatch(),
                     qPrintable(style));
        }
        for (QWidget* row : {child(*w, "widget"), child(*w, "horizontalLayoutWidget")}) {
            for (QLabel* label : row->findChildren<QLabel*>())
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        }
    }

    // At QT_SCALE_FACTOR=2 (test_window_hidpi): the logo is the 2x picture, not an upscaled one.
    void highDpi()
    {
        auto w = makeWindow();
        if (w->devicePixelRatioF() == 1)
            QSKIP("runs as test_window_hidpi, at scale factor 2");
        QCOMPARE(w->devicePixelRatioF(), 2.0);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        // The green logo is stretched over its label by design: there the close box shows it.
        QWidget* label = child(*w, greenTheme ? "lbClose" : "label_17");
        QImage grabbed(label->size() * 2, QImage::Format_ARGB32_Premultiplied); // without the window's grey
        grabbed.setDevicePixelRatio(2);
        grabbed.fill(Qt::transparent);
        label->render(&grabbed, QPoint(), QRegion(), QWidget::DrawChildren);
        const QImage sharp = QImage(QStringLiteral(":/nerixSetupOnline/%1/%2@2x.png")
                                        .arg(greenTheme ? "Resources_green" : "Resources",
                                             greenTheme ? "icon_closse" : "about_us_logo"))
                                 .convertToFormat(grabbed.format());
        QCOMPARE(grabbed, sharp);
    }

    // Mouse only: dragging (left button), minimising (on release), the slide show, the folder dialog.
    void mouse()
    {
        auto w = makeWindow();
        w->move(100, 100);
        QTRY_COMPARE(w->pos(), QPoint(100, 100));
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
            QTRY_COMPARE(w->pos(), button == Qt::LeftButton ? QPoint(137, 88) : QPoint(100, 100));
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
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Open Directory"));
            dialog->selectFile(chosen.path());
            static_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(child<QPushButton>(*w, "btnDir"), Qt::LeftButton);
        QCOMPARE(w->installFolder(), chosen.path() + kProductFolder);
        QCOMPARE(child<QLineEdit>(*w, "lineEdit")->text(), w->installFolder());
    }
};

NERIX_TEST_MAIN(TestWindow)
#include "test_window.moc"
