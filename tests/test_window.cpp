#include "app/Translator.h"
#include "download/TaskThread.h"
#include "nerixSetupOnline/nerixSetupOnline.h"
#include "platform/DiskSpace.h"
#include "support/FormProbe.h"
#include "support/ModalAnswer.h"
#include "support/TestEnvironment.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <memory>

namespace {

void sendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               QPoint global)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<nerixSetupOnline> makeWindow(quint64 freeBytes = Q_UINT64_C(50) << 30)
    {
        DiskSpace::setFreeBytesProvider([freeBytes](const QString&) { return freeBytes; });
        auto window = std::make_unique<nerixSetupOnline>();
        window->setLaunchParameter(QString());
        window->show();
        return window;
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        loadTranslator();
    }

    void opensOnLocationPage()
    {
        auto w = makeWindow();
        QCOMPARE(child<QStackedWidget>(*w, "stackedWidget")->currentIndex(), 1);
        QVERIFY(child(*w, "btnSetupview")->isEnabled());
        QVERIFY(child(*w, "btnSetupview_2")->isEnabled());
        QVERIFY(!child(*w, "label_7")->isVisibleTo(w.get()));
        QVERIFY(!child(*w, "pushButton_3")->isVisibleTo(w.get()));
        QCOMPARE(child<QLineEdit>(*w, "lineEdit")->text(), w->installFolder());
        QVERIFY(w->installFolder().endsWith(QLatin1String("/Applications/corvaneMasterRecovery")));
        QVERIFY(child<QLabel>(*w, "lb_size2")->text().endsWith(QLatin1String("GB")));
        QCOMPARE(w->windowTitle(), QStringLiteral("nerixSetupOnline"));
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
    }

    void freeSpaceThreshold_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("exactly 200 MiB") << quint64(209715200) << true;
        QTest::newRow("one byte short") << quint64(209715199) << false;
        QTest::newRow("failed query") << quint64(0) << false;
    }
    void freeSpaceThreshold()
    {
        QFETCH(quint64, bytes);
        QFETCH(bool, allowed);
        auto w = makeWindow(bytes);
        QCOMPARE(child(*w, "btnSetupview")->isEnabled(), allowed);
        QCOMPARE(child(*w, "btnSetupview_2")->isEnabled(), allowed);
        QCOMPARE(child(*w, "label_7")->isVisibleTo(w.get()), !allowed);
    }

    void agreementToggleDecidesButtons()
    {
        auto w = makeWindow(1000); // too little space: buttons start disabled
        QLabel* tick = child<QLabel>(*w, "label_8");
        QTest::mousePress(tick, Qt::LeftButton);
        QVERIFY(!child(*w, "btnSetupview_2")->isEnabled());
        QVERIFY(child<QLabel>(*w, "label_4")->styleSheet().contains(QLatin1String("Resources/no_check.png")));
        QTest::mousePress(child(*w, "label_4"), Qt::LeftButton);
        // Ticking enables both even though the space check had disabled them.
        QVERIFY(child(*w, "btnSetupview")->isEnabled());
        QVERIFY(child(*w, "btnSetupview_2")->isEnabled());
        QVERIFY(child(*w, "label_7")->isVisibleTo(w.get()));
        QVERIFY(tick->styleSheet().contains(QLatin1String("Resources/agree_agreement.png")));
    }

    void installPressWhileDisabledStartsNothing()
    {
        auto w = makeWindow();
        QTest::mousePress(child(*w, "label_8"), Qt::LeftButton); // untick
        QTest::mousePress(child(*w, "btnSetupview_2"), Qt::LeftButton);
        QCOMPARE(child<QStackedWidget>(*w, "stackedWidget")->currentIndex(), 1);
        QVERIFY(!w->findChild<TaskThread*>()->isRunning());
    }

    void installPressShowsProgressPage()
    {
        auto w = makeWindow();
        QTest::mousePress(child<QLabel>(*w, "label_13"), Qt::LeftButton); // caption passes the press on
        QCOMPARE(child<QStackedWidget>(*w, "stackedWidget")->currentIndex(), 2);
        QCOMPARE(w->phase(), 0);
        QVERIFY(w->findChild<TaskThread*>()->isRunning() || w->findChild<TaskThread*>()->isFinished());
    }

    void slideShowCycle()
    {
        auto w = makeWindow();
        auto* slides = child<QStackedWidget>(*w, "stackedWidget_2");
        QList<int> seen;
        for (int step = 0; step < 8; ++step) {
            QMetaObject::invokeMethod(w.get(), "changePage");
            seen << slides->currentIndex();
        }
        // Index 2 names no page: the second slide stays for a second period.
        QCOMPARE(seen, (QList<int>{0, 1, 1, 0, 1, 1, 0, 1}));
    }

    void minimiseActsOnRelease()
    {
        auto w = makeWindow();
        QWidget* minimise = child(*w, "label_min");
        QTest::mousePress(minimise, Qt::LeftButton);
        QVERIFY(!(w->windowState() & Qt::WindowMinimized));
        QTest::mouseRelease(minimise, Qt::LeftButton);
        QTRY_VERIFY(w->windowState() & Qt::WindowMinimized);
    }

    void dragging()
    {
        auto w = makeWindow();
        w->move(100, 100);
        QTRY_COMPARE(w->pos(), QPoint(100, 100));
        const QPoint start = w->frameGeometry().topLeft() + QPoint(300, 200);

        sendMouse(w.get(), QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, start);
        sendMouse(w.get(), QEvent::MouseMove, Qt::NoButton, Qt::RightButton, start + QPoint(40, 40));
        QCOMPARE(w->pos(), QPoint(100, 100));
        sendMouse(w.get(), QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, start + QPoint(40, 40));

        sendMouse(w.get(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
        sendMouse(w.get(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(37, -12));
        QTRY_COMPARE(w->pos(), QPoint(137, 88));
        sendMouse(w.get(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, start + QPoint(37, -12));
        sendMouse(w.get(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(90, 90));
        QCOMPARE(w->pos(), QPoint(137, 88));
    }

    void closeQuestionFollowsPhase()
    {
        auto w = makeWindow();
        QString asked;
        answerNextModal([&asked](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            asked = box->text();
            QCOMPARE(box->button(QMessageBox::Yes)->text(), QString::fromUtf8("是"));
            box->button(QMessageBox::No)->click();
        });
        QTest::mousePress(child(*w, "lbClose"), Qt::LeftButton);
        QCOMPARE(asked, QString::fromUtf8("是否要退出安装程序？"));
        QVERIFY(w->isVisible());

        QMetaObject::invokeMethod(w.get(), "installSuccess");
        QCOMPARE(child<QStackedWidget>(*w, "stackedWidget")->currentIndex(), 3);
        answerNextModal([&asked](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            asked = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        QTest::mousePress(child(*w, "lbClose"), Qt::LeftButton);
        QCOMPARE(asked, QString::fromUtf8("已经安装成功，是否关闭安装程序？"));
        QVERIFY(!w->isVisible());
    }

    void folderDialog()
    {
        auto w = makeWindow();
        auto* edit = child<QLineEdit>(*w, "lineEdit");
        const QString before = edit->text();
        answerNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        QTest::mouseClick(child<QPushButton>(*w, "btnDir"), Qt::LeftButton);
        QCOMPARE(edit->text(), before);
        QVERIFY(child(*w, "btnSetupview_2")->isEnabled());

        QTemporaryDir chosen;
        answerNextModal([&chosen](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Open Directory"));
            dialog->setDirectory(chosen.path());
            dialog->selectFile(chosen.path());
            static_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(child<QPushButton>(*w, "btnDir"), Qt::LeftButton);
        QCOMPARE(edit->text(), chosen.path() + QStringLiteral("/corvaneMasterRecovery"));
        QCOMPARE(w->installFolder(), edit->text());
    }

    void progressSlots()
    {
        auto w = makeWindow();
        QMetaObject::invokeMethod(w.get(), "updateProgress", Q_ARG(double, 99.9));
        QCOMPARE(child<QLabel>(*w, "proTxt_2")->text(), QStringLiteral("79%"));
        QCOMPARE(child<QProgressBar>(*w, "progressBar")->value(), 79);
        QMetaObject::invokeMethod(w.get(), "updateFailed", Q_ARG(int, -100));
        QCOMPARE(child<QLabel>(*w, "proTxt")->text(), QString::fromUtf8("安装失败2-!-100"));
        QMetaObject::invokeMethod(w.get(), "installFailed", Q_ARG(int, 3));
        QCOMPARE(child<QLabel>(*w, "proTxt")->text(), QString::fromUtf8("安装失败1-!3"));
    }
};

NERIX_TEST_MAIN(TestWindow)
#include "test_window.moc"
