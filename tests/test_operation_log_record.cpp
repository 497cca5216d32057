// What every operation-log record carries; test_operation_log_record_green
// runs it in the green edition.
#include "BuildConfig.h"
#include "support/TestEnvironment.h"
#include "telemetry/OperationLogRecord.h"

class TestOperationLogRecord : public QObject
{
    Q_OBJECT

private slots:
    // The whole body byte for byte; quotes and non-ASCII in the channel stay valid JSON.
    void body()
    {
        const QString expected = QString::fromUtf8(
            "{\"apkChannel\":\"春季\\\"推广\\\\\",\"apkId\":%1,\"apkVersionCode\":1,\"apkVersionName\":\"1.2."
            "1\","
            "\"btnId\":\"pc-install-go\",\"pcId\":\"%2\",\"phoneId\":\"a1\\\"b2\",\"phoneMaker\":\"\","
            "\"phoneModel\":\"\",\"phoneOs\":2,\"phoneOsVersion\":\"\",\"type\":38}");
        const OperationLogRecord record(QStringLiteral("pc-install-go"), QString::fromUtf8("春季\"推广\\"),
                                        QStringLiteral("a1\"b2"));
        QCOMPARE(record.toJson("c0ffee"), expected.arg(greenTheme ? 27 : 25).arg("c0ffee"));
    }
};

NERIX_TEST_MAIN(TestOperationLogRecord)
#include "test_operation_log_record.moc"
