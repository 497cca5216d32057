// The window's decisions and drawing helpers, without a window.
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
};

NERIX_TEST_MAIN(TestWindowLogic)
#include "test_window_logic.moc"
