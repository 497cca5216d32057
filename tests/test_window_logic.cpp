#include "BuildConfig.h"
#include "app/QuestionBox.h"
#include "app/Translator.h"
#include "nerixSetupOnline/FrameShadow.h"
#include "nerixSetupOnline/WindowLogic.h"
#include "support/TestEnvironment.h"

#include <QGraphicsDropShadowEffect>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QPainter>

class TestWindowLogic : public QObject
{
    Q_OBJECT

private slots:
    void barValue_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<double>("per");
        QTest::addColumn<int>("bar");
        QTest::newRow("download half") << 0 << 50.0 << 40;
        QTest::newRow("download 99.9 truncates twice") << 0 << 99.9 << 79;
        QTest::newRow("extract start") << 1 << 0.0 << 80;
        QTest::newRow("extract half") << 1 << 50.0 << 90;
        QTest::newRow("late progress after success") << 2 << 70.0 << 94;
    }
    void barValue()
    {
        QFETCH(int, phase);
        QFETCH(double, per);
        QFETCH(int, bar);
        // The slots truncate the worker's double before mapping.
        QCOMPARE(WindowLogic::barValue(phase, int(per)), bar);
    }

    void freeSpaceRule()
    {
        QVERIFY(WindowLogic::hasEnoughSpace(209715200));
        QVERIFY(!WindowLogic::hasEnoughSpace(209715199));
        QCOMPARE(WindowLogic::freeSpaceText(12.2), QStringLiteral("12.20GB"));
        QCOMPARE(WindowLogic::freeSpaceText(1234.567), QStringLiteral("1234.57GB"));
    }

    void packageUrl_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("green");
        QTest::addColumn<bool>("free");
        QTest::addColumn<QString>("url");
        const QString pkg = QLatin1String(endpoints::packageHost) + QStringLiteral("/upload/pc/");
        const QString product = QLatin1String(endpoints::productHost) + QStringLiteral("/upload/pc/");
        QTest::newRow("normal") << 1 << false << false << pkg + "corvaneSetupx64_min.7z";
        QTest::newRow("test channel") << 0 << false << false << pkg + "corvaneSetupx64_min_test.7z";
        QTest::newRow("green ignores mode") << 0 << true << false << product + "quorbelSetupx64_min.7z";
        QTest::newRow("free") << 1 << false << true << product + "corvaneSetupFreex64_min.7z";
        QTest::newRow("free wins over green") << 0 << true << true << product + "corvaneSetupFreex64_min.7z";
    }
    void packageUrl()
    {
        QFETCH(int, mode);
        QFETCH(bool, green);
        QFETCH(bool, free);
        QFETCH(QString, url);
        QCOMPARE(WindowLogic::packageUrl(mode, green, free), url);
    }

    void installPath_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<bool>("green");
        QTest::addColumn<QString>("path");
        QTest::newRow("drive root") << "D:/" << false << "D:/corvaneMasterRecovery";
        QTest::newRow("folder") << "D:/Apps" << false << "D:/Apps/corvaneMasterRecovery";
        QTest::newRow("green") << "/home/u/Applications" << true
                               << "/home/u/Applications/quorbelMasterRecovery";
    }
    void installPath()
    {
        QFETCH(QString, root);
        QFETCH(bool, green);
        QFETCH(QString, path);
        QCOMPARE(WindowLogic::installPathFor(root, green), path);
    }

    void executableAndAgreement()
    {
        QCOMPARE(WindowLogic::productExecutable("E:\\Apps\\corvaneMasterRecovery", false),
                 QStringLiteral("E:\\Apps\\corvaneMasterRecovery/corvaneMasterRecovery.exe"));
        QCOMPARE(WindowLogic::productExecutable("/x", true), QStringLiteral("/x/quorbelMasterRecovery.exe"));
        QCOMPARE(WindowLogic::agreementUrl(), QLatin1String(endpoints::agreementHost) + "/agreement.html");
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
        QGraphicsRectItem* item = scene.addRect(frame, Qt::NoPen, QBrush(Qt::white));
        auto* effect = new QGraphicsDropShadowEffect;
        effect->setOffset(0, 0);
        effect->setColor(QColor(0, 0, 0, 76));
        effect->setBlurRadius(10 * ratio);
        item->setGraphicsEffect(effect);
        QImage reference(QSize(1034, 730) * ratio, QImage::Format_ARGB32_Premultiplied);
        reference.fill(Qt::transparent);
        QImage painted = reference;
        painted.setDevicePixelRatio(ratio);
        {
            QPainter painter(&reference);
            scene.render(&painter, reference.rect(), reference.rect());
            QPainter logical(&painted);
            FrameShadow(10, QColor(0, 0, 0, 76)).paint(logical, QRect(5, 5, 1024, 720));
        }
        int worst = 0;
        for (int y = 0; y < reference.height(); ++y) {
            for (int x = 0; x < reference.width(); ++x) {
                if (!frame.contains(x, y))
                    worst = qMax(worst, qAbs(qAlpha(reference.pixel(x, y)) - qAlpha(painted.pixel(x, y))));
            }
        }
        QVERIFY2(worst <= 2, qPrintable(QString::number(worst))); // no seams where the pieces meet
        QVERIFY(qAlpha(painted.pixel(frame.left() - 1, 300)) > 0);
    }

    void yesNoCaptionsAreChineseEverywhere()
    {
        // The locale codec is UTF-8 here, which would turn the GBK bytes into garbage.
        QCOMPARE(yesCaption(), QString::fromUtf8("是"));
        QCOMPARE(noCaption(), QString::fromUtf8("否"));
    }

    void localeChoosesCatalogue_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("english");
        QTest::newRow("English") << int(QLocale::English) << true;
        QTest::newRow("Chinese") << int(QLocale::Chinese) << false;
        QTest::newRow("German") << int(QLocale::German) << false;
    }
    void localeChoosesCatalogue()
    {
        QFETCH(int, language);
        QFETCH(bool, english);
        const QString file = translationFileFor(QLocale::Language(language));
        QCOMPARE(file.endsWith(QLatin1String("_en.qm")), english);
        QVERIFY(QFile::exists(file));
    }
};

NERIX_TEST_MAIN(TestWindowLogic)
#include "test_window_logic.moc"
