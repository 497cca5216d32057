// The green edition: second product, green look.
#include "BuildConfig.h"
#include "app/Translator.h"
#include "nerixSetupOnline/nerixSetupOnline.h"
#include "platform/DiskSpace.h"
#include "support/FormProbe.h"
#include "support/TestEnvironment.h"

#include <QLabel>

static_assert(greenTheme, "this suite runs against the green core");

class TestWindowGreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        loadTranslator();
        DiskSpace::setFreeBytesProvider([](const QString&) { return Q_UINT64_C(1) << 40; });
    }

    void restyled()
    {
        nerixSetupOnline w;
        w.setLaunchParameter(QStringLiteral("a_b#qotab-1"));
        QCOMPARE(child(w, "label_2")->size(), QSize(110, 76));
        QCOMPARE(child(w, "label_17")->size(), QSize(110, 76));
        QCOMPARE(child<QLabel>(w, "label_30")->text(), QStringLiteral("Quorbel"));
        QCOMPARE(child<QLabel>(w, "label_16")->text(), QStringLiteral("Quorbel"));

        // Every image label now points into the green folder, even where it
        // holds no such image; pages and buttons keep their own styles.
        for (QLabel* label : w.findChildren<QLabel*>()) {
            QVERIFY2(!label->styleSheet().contains(QLatin1String(":/nerixSetupOnline/Resources/")),
                     qPrintable(label->objectName()));
        }
        QVERIFY(child<QLabel>(w, "label_17")
                    ->styleSheet()
                    .contains(QLatin1String("Resources_green/about_us_logo.png")));
        QVERIFY(child<QLabel>(w, "lbClose")
                    ->styleSheet()
                    .contains(QLatin1String("Resources_green/icon_closse.png")));
        QVERIFY(child(w, "page_2")->styleSheet().contains(QLatin1String("Resources/bg.png")));
        QVERIFY(child(w, "btnSetupview_2")->styleSheet().contains(QLatin1String("rgba(33, 173, 54, 1)")));

        QTest::mousePress(child(w, "label_8"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(w, "label_4")->styleSheet(),
                 QStringLiteral("image: url(:/nerixSetupOnline/Resources_green/no_check.png);"));
    }

    void secondProductEverywhere()
    {
        nerixSetupOnline w;
        w.setLaunchParameter(QStringLiteral("a_b#qotab-1"));
        QVERIFY(w.installFolder().endsWith(QLatin1String("/quorbelMasterRecovery")));
        // The test channel makes no difference to the second product's package.
        QCOMPARE(w.packageDownloadUrl(),
                 QLatin1String(endpoints::productHost) + QStringLiteral("/upload/pc/quorbelSetupx64_min.7z"));
    }
};

NERIX_TEST_MAIN(TestWindowGreen)
#include "test_window_green.moc"
