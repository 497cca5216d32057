// The window's decisions, free of widgets.
#include "BuildConfig.h"
#include "nerixSetupOnline/WindowLogic.h"
#include "support/TestEnvironment.h"

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
        QCOMPARE(freeSpaceText(1234.567), QStringLiteral("1234.57GB"));
        QCOMPARE(installPathFor("D:/", false), QStringLiteral("D:/corvaneMasterRecovery"));
        // Later rules win: the test channel, then the green edition, then the free one.
        const QString pkg = QLatin1String(endpoints::packageHost) + QStringLiteral("/upload/pc/");
        const QString product = QLatin1String(endpoints::productHost) + QStringLiteral("/upload/pc/");
        QCOMPARE(packageUrl(1, false, false), pkg + "corvaneSetupx64_min.7z");
        QCOMPARE(packageUrl(0, false, false), pkg + "corvaneSetupx64_min_test.7z");
        QCOMPARE(packageUrl(0, true, false), product + "quorbelSetupx64_min.7z");
        QCOMPARE(packageUrl(0, true, true), product + "corvaneSetupFreex64_min.7z");
    }
};

NERIX_TEST_MAIN(TestWindowLogic)
#include "test_window_logic.moc"
