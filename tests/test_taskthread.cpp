#include "download/DownloadManager.h"
#include "download/ProgressThrottle.h"
#include "download/TaskThread.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <limits>

using Sequence = QList<double>;

// The progress rule on pure sequences: ProgressThrottle alone, TaskThread's
// slot alone, and the two chained as they run in a download.
class TestTaskThread : public QObject
{
    Q_OBJECT

private:
    static Sequence throughThrottle(const Sequence& input)
    {
        ProgressThrottle throttle;
        Sequence out;
        for (double per : input)
            if (throttle.accept(per))
                out << per;
        return out;
    }

    static Sequence throughTaskThread(const Sequence& input)
    {
        TaskThread thread;
        QSignalSpy spy(&thread, &TaskThread::updateProgress);
        for (double per : input)
            thread.downProgress(per);
        Sequence out;
        for (const QList<QVariant>& args : qAsConst(spy))
            out << args.at(0).toDouble();
        return out;
    }

private slots:
    void throttle_data()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::addColumn<Sequence>("input");
        QTest::addColumn<Sequence>("expected");

        QTest::newRow("first at 1.0") << Sequence{0.0, 0.5, 0.99, 1.0, 1.5, 2.0} << Sequence{1.0, 2.0};
        QTest::newRow("exact values") << Sequence{0.3, 1.7, 2.2, 2.69, 2.9} << Sequence{1.7, 2.9};
        QTest::newRow("nan dropped") << Sequence{nan, 0.5, nan, 1.2, nan} << Sequence{1.2};
        QTest::newRow("infinities dropped") << Sequence{inf, -inf, 3.0, inf} << Sequence{3.0};
        QTest::newRow("near 100 gives no 100") << Sequence{50.0, 99.2, 99.9, 100.0} << Sequence{50.0, 99.2};
        QTest::newRow("one jump") << Sequence{0.0, 100.0} << Sequence{100.0};
        QTest::newRow("going back is ignored") << Sequence{10.0, 5.0, 10.5, 11.0} << Sequence{10.0, 11.0};
    }

    void throttle()
    {
        QFETCH(Sequence, input);
        QFETCH(Sequence, expected);
        QCOMPARE(throughThrottle(input), expected);
        QCOMPARE(throughTaskThread(input), expected);
        // The downloader's pre-filter must not change what the window sees.
        QCOMPARE(throughTaskThread(throughThrottle(input)), throughTaskThread(input));
    }

    // A run restarts TaskThread's own rule from 0, and a failed transfer
    // reaches the window as code 0 whatever libcurl reported.
    void runRestartsThrottleAndFailsWithZero()
    {
        TaskThread thread;
        QSignalSpy progress(&thread, &TaskThread::updateProgress);
        QSignalSpy failed(&thread, &TaskThread::updateFailed);
        QSignalSpy succeeded(&thread, &TaskThread::updateSuccess);

        thread.downProgress(60.0);
        QCOMPARE(progress.count(), 1);

        thread.setUrl(QStringLiteral("not a url"));
        thread.start();
        QVERIFY(failed.wait(30000));
        QVERIFY(thread.wait(30000));
        QCOMPARE(failed.takeFirst().at(0).toInt(), 0);
        QCOMPARE(succeeded.count(), 0);

        thread.downProgress(1.5);
        QCOMPARE(progress.count(), 2);
        QCOMPARE(progress.at(1).at(0).toDouble(), 1.5);
    }
};

NERIX_TEST_MAIN(TestTaskThread)
#include "test_taskthread.moc"
