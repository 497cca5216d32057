// Units without a window or a server: the window's decisions and drawing
// helpers, the compiled catalogues, the download's progress rule and retry
// decisions, the disk-space scan, and an earlier installation found at start-up.
#include "BuildConfig.h"
#include "app/ExistingInstall.h"
#include "app/QuestionBox.h"
#include "app/Translator.h"
#include "download/RetryPolicy.h"
#include "download/TaskThread.h"
#include "install/UninstallRegistry.h"
#include "nerixSetupOnline/FrameShadow.h"
#include "nerixSetupOnline/WindowLogic.h"
#include "platform/DiskSpace.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

#include <QGraphicsDropShadowEffect>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QPainter>
#include <curl/curl.h>
#include <limits>
#include <tuple>

using Next = RetryPolicy::Next;
using Body = RetryPolicy::Body;

namespace {

// In the catalogue table: any translation other than the key itself.
const QString kAny = QStringLiteral("*");

enum Flags { kBytes = 1, kRejected = 2 };

} // namespace

class TestUnits : public QObject
{
    Q_OBJECT

private slots:
    void decisions()
    {
        using namespace WindowLogic;
        // Download fills the bar to 80, extraction from 80 on; the slots truncate the worker's double first.
        QCOMPARE(barValue(0, int(99.9)), 79);
        QCOMPARE(barValue(1, 0), 80);
        QCOMPARE(barValue(2, 70), 94); // a late progress after success
        // At the window too, with its wiring.
        QVERIFY(hasEnoughSpace(209715200) && !hasEnoughSpace(209715199));
        QCOMPARE(freeSpaceText(1234.567), QStringLiteral("1234.57GB"));
        QCOMPARE(installPathFor("D:/", false), QStringLiteral("D:/corvaneMasterRecovery"));
        QCOMPARE(productExecutable("/x", true), QStringLiteral("/x/quorbelMasterRecovery.exe"));
        QCOMPARE(agreementUrl(), QLatin1String(endpoints::agreementHost) + "/agreement.html");
        // Later rules win: the test channel, then the green edition, then the free one.
        const QString pkg = QLatin1String(endpoints::packageHost) + QStringLiteral("/upload/pc/");
        const QString product = QLatin1String(endpoints::productHost) + QStringLiteral("/upload/pc/");
        QCOMPARE(packageUrl(1, false, false), pkg + "corvaneSetupx64_min.7z");
        QCOMPARE(packageUrl(0, false, false), pkg + "corvaneSetupx64_min_test.7z");
        QCOMPARE(packageUrl(0, true, false), product + "quorbelSetupx64_min.7z");
        QCOMPARE(packageUrl(0, true, true), product + "corvaneSetupFreex64_min.7z");
    }

    void languageAndCaptions()
    {
        // The locale codec is UTF-8 here, which would turn the GBK bytes into garbage.
        QCOMPARE(yesCaption(), QString::fromUtf8("是"));
        QCOMPARE(noCaption(), QString::fromUtf8("否"));
        QVERIFY(translationFileFor(QLocale::English).endsWith("_en.qm"));
        for (QLocale::Language other : {QLocale::Chinese, QLocale::German})
            QVERIFY(translationFileFor(other).endsWith("_zh.qm") && QFile::exists(translationFileFor(other)));
    }

    void frameShadowLooksLikeTheEffect_data()
    {
        QTest::addColumn<qreal>("ratio");
        for (qreal ratio : {1.0, 1.25, 1.5, 2.0})
            QTest::addRow("scale %g", ratio) << ratio;
    }
    void frameShadowLooksLikeTheEffect()
    {
        // Reference: the drop-shadow effect on the whole frame, drawn in device pixels.
        QFETCH(qreal, ratio);
        const QRect frame(QPoint(qRound(5 * ratio), qRound(5 * ratio)), QSize(1024, 720) * ratio);
        QGraphicsScene scene;
        auto* effect = new QGraphicsDropShadowEffect;
        effect->setOffset(0, 0);
        effect->setColor(QColor(0, 0, 0, 76));
        effect->setBlurRadius(10 * ratio);
        scene.addRect(frame, Qt::NoPen, QBrush(Qt::white))->setGraphicsEffect(effect);
        QImage reference(QSize(1034, 730) * ratio, QImage::Format_ARGB32_Premultiplied);
        reference.fill(Qt::transparent);
        QImage painted = reference;
        painted.setDevicePixelRatio(ratio);
        {
            QPainter painter(&reference), logical(&painted);
            scene.render(&painter, reference.rect(), reference.rect());
            FrameShadow(10, QColor(0, 0, 0, 76)).paint(logical, QRect(5, 5, 1024, 720));
        }
        int worst = 0;
        for (int y = 0; y < reference.height(); ++y) {
            for (int x = 0; x < reference.width(); ++x)
                worst = qMax(worst, frame.contains(x, y)
                                        ? 0
                                        : qAbs(qAlpha(reference.pixel(x, y)) - qAlpha(painted.pixel(x, y))));
        }
        QVERIFY2(worst <= 2 && qAlpha(painted.pixel(frame.left() - 1, 300)) > 0,
                 qPrintable(QString::number(worst)));
    }

    void translate_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("chinese"); // null: no translation, the source text is shown
        QTest::addColumn<QString>("english");
        const auto row = [](const char* context, const char* key, const QString& zh, const QString& en) {
            QTest::addRow("%s/%s", context, key)
                << QString::fromLatin1(context) << QString::fromUtf8(key) << zh << en;
        };
        // Every key the code asks for, in the context it asks in.
        for (const char* key : {"language2", "language6", "language7", "language10"})
            row("QObject", key, kAny, kAny);
        for (const char* key :
             {"language2", "language3", "language4", "language5", "language11", "language12"})
            row("nerixSetupOnline", key, kAny, kAny);
        row("nerixSetupOnline", "language6", "Quorbel", "Corvanix2");
        row("InstallThread", "language6", "Quorbel", "Corvanix2");
        row("InstallThread", "language7", "Corvane", "Corvanix");
        // The uninstall shortcut keeps its Chinese prefix in English.
        row("InstallThread", "language8", QString::fromUtf8("卸载"), QString::fromUtf8("卸载"));
        // Placeholders and the title are shown as written in both languages.
        for (const char* key : {"nerixSetupOnline", "212.1MB", "12.2GB"})
            row("nerixSetupOnlineClass", key, QString(), QString());
    }

    // Each compiled file as Qt reads it.
    void translate()
    {
        QFETCH(QString, context);
        QFETCH(QString, key);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        for (const auto& [language, expected] : {std::pair{"zh", chinese}, std::pair{"en", english}}) {
            QTranslator translator;
            QVERIFY(
                translator.load(":/nerixSetupOnline/language/nerixsetuponline_" + QLatin1String(language)));
            const QString found =
                translator.translate(context.toUtf8().constData(), key.toUtf8().constData());
            // An empty but non-null translation would blank the text on screen.
            QVERIFY2(expected.isNull()
                         ? found.isNull()
                         : (expected == kAny ? !found.isEmpty() && found != key : found == expected),
                     qPrintable(language + QStringLiteral(": ") + found));
        }
    }

    void throttle()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const std::pair<QList<double>, QList<double>> rows[] = {
            {{0.5, 1.0, 1.7, 2.2, 2.9}, {1.0, 2.2}},       // first at 1.0, exact values
            {{nan, inf, -inf, 0.5, 1.2, nan, inf}, {1.2}}, // not a number, infinities
            {{50.0, 99.2, 99.9, 100.0}, {50.0, 99.2}},     // no 100 within a point of it
            {{10.0, 5.0, 10.5, 11.0}, {10.0, 11.0}},       // going back is ignored
        };
        for (const auto& [input, expected] : rows) {
            TaskThread thread;
            QSignalSpy spy(&thread, &TaskThread::updateProgress);
            for (double per : input)
                thread.downProgress(per);
            QList<double> out;
            for (const QList<QVariant>& args : qAsConst(spy))
                out << args.at(0).toDouble();
            QCOMPARE(out, expected);
        }
    }

    // earlier: how many attempts ended the same way before this one.
    void retryPolicy()
    {
        const std::tuple<const char*, int, long, int, int, Next> rows[] = {
            {"complete", CURLE_OK, 200, kBytes, 0, Next::Done},
            {"reset, 4th time", CURLE_RECV_ERROR, 206, kBytes, 3, Next::Resume},
            {"reset, 5th time", CURLE_RECV_ERROR, 206, kBytes, 4, Next::Fail},
            {"503 at first", CURLE_HTTP_RETURNED_ERROR, 503, 0, 0, Next::Fail},
            {"404 to a range", CURLE_HTTP_RETURNED_ERROR, 404, kBytes, 0, Next::Fail},
            {"416", CURLE_HTTP_RETURNED_ERROR, 416, kBytes, 0, Next::Restart},
            {"416 again", CURLE_HTTP_RETURNED_ERROR, 416, kBytes, 1, Next::Fail},
            {"range misfit", CURLE_WRITE_ERROR, 206, kBytes | kRejected, 0, Next::Restart},
            {"disk full", CURLE_WRITE_ERROR, 200, kBytes, 0, Next::Fail},
            {"reset before a byte", CURLE_RECV_ERROR, 0, 0, 0, Next::Fail},
            {"refused on resume", CURLE_COULDNT_CONNECT, 0, kBytes, 0, Next::Fail},
            {"cancelled", CURLE_ABORTED_BY_CALLBACK, 200, kBytes, 0, Next::Fail},
        };
        for (const auto& [name, code, status, flags, earlier, next] : rows) {
            const RetryPolicy::AttemptEnd end{code, status, (flags & kRejected) != 0};
            RetryPolicy policy;
            for (int i = 0; i < earlier; ++i)
                policy.afterAttempt(end, flags & kBytes);
            QVERIFY2(policy.afterAttempt(end, flags & kBytes) == next, name);
        }

        // A response to "Range: bytes=100-" of a file first seen with total bytes.
        const std::tuple<const char*, long, const char*, qint64, Body> responses[] = {
            {"200", 200, "bytes 100-999/1000", 1000, Body::FromZero},
            {"fits", 206, "bytes 100-999/1000", 1000, Body::Append},
            {"total unknown", 206, "bytes 100-999/*", -1, Body::Append},
            {"other start", 206, "bytes 0-999/1000", 1000, Body::Reject},
            {"other total", 206, "bytes 100-1999/2000", 1000, Body::Reject},
            {"short of the end", 206, "bytes 100-499/1000", 1000, Body::Reject},
            {"no header", 206, "", 1000, Body::Reject},
        };
        for (const auto& [name, status, contentRange, total, body] : responses)
            QVERIFY2(RetryPolicy::forResponse(status, contentRange, 100, total) == body, name);
    }

    // The scan holds the volume of every folder, also those Qt leaves out of
    // its list (a tmpfs under /dev); a folder yet to be created counts on
    // the volume it will be on; no path is on no volume.
    void everyFolderIsOnAScannedVolume()
    {
        for (const QString& parent : {QDir::tempPath(), QStringLiteral("/dev/shm")}) {
            QTemporaryDir dir(parent + QStringLiteral("/nerix-XXXXXX"));
            const QString folder = dir.filePath(QStringLiteral("not/yet/there"));
            QVERIFY2(dir.isValid() && DiskSpace::driveRoots().contains(DiskSpace::driveKey(folder)),
                     qPrintable(folder));
            QVERIFY(DiskSpace::freeBytes(folder) > 0);
        }
        QCOMPARE(DiskSpace::driveKey(QString()), QString());
        QCOMPARE(DiskSpace::freeBytes(QString()), quint64(0));
    }

    // The key is the translated product name.
    void foundOnlyInTheSameLanguage()
    {
        QTranslator zh;
        QTranslator en;
        QVERIFY(zh.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_zh.qm")));
        QVERIFY(en.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_en.qm")));
        QCoreApplication::installTranslator(&zh);
        writeUninstallEntry(QStringLiteral("Corvane"), QStringLiteral("/opt/c/corvaneMasterRecovery.exe"),
                            QStringLiteral("/opt/c/corvaneMasterUninst.exe"));
        QCOMPARE(checkAlreadyInstall(), QStringLiteral("/opt/c/corvaneMasterUninst.exe"));
        QCoreApplication::installTranslator(&en);
        QCOMPARE(checkAlreadyInstall(), QString());
    }

    void answer_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("button");
        QTest::newRow("yes, folder with spaces")
            << QStringLiteral("my apps/Corvane Recovery") << int(QMessageBox::Yes);
        QTest::newRow("no") << QStringLiteral("apps") << int(QMessageBox::No);
    }

    void answer()
    {
        QFETCH(QString, folder);
        QFETCH(int, button);
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("ran"));
        // It asks on the console before it finishes: the marker proves it ran to its end.
        QVERIFY(PackageBuilder::writeTree(
            dir.filePath(folder), {{"corvaneMasterUninst.exe", "#!/bin/sh\nread answer\necho finished > \"" +
                                                                   marker.toUtf8() + "\"\n"}}));
        const QString uninstaller = dir.filePath(folder) + "/corvaneMasterUninst.exe";
        answerNextBox(QMessageBox::StandardButton(button));
        offerUninstall(uninstaller);
        QCOMPARE(QFile::exists(marker), button == QMessageBox::Yes);
        runUninstaller(QStringLiteral("/nonexistent/folder/corvaneMasterUninst.exe"));
    }
};

NERIX_TEST_MAIN(TestUnits)
#include "test_units.moc"
