#include "app/ChannelManager.h"
#include "support/TestEnvironment.h"
#include "telemetry/MachineIdentifier.h"
#include "telemetry/OperationLogRecord.h"

#ifndef NERIX_EXPECTED_APK_ID
#define NERIX_EXPECTED_APK_ID 25
#endif

class TestRecord : public QObject
{
    Q_OBJECT

private slots:
    // The whole body byte for byte; quotes and non-ASCII in the channel stay valid JSON.
    void body()
    {
        g_channelName = QString::fromUtf8("春季\"推广\\");
        g_channelId = QStringLiteral("a1\"b2");
        const QString expected = QString::fromUtf8(
            "{\"apkChannel\":\"春季\\\"推广\\\\\",\"apkId\":%1,\"apkVersionCode\":1,\"apkVersionName\":\"1.2."
            "1\","
            "\"btnId\":\"pc-install-go\",\"pcId\":\"%2\",\"phoneId\":\"a1\\\"b2\",\"phoneMaker\":\"\","
            "\"phoneModel\":\"\",\"phoneOs\":2,\"phoneOsVersion\":\"\",\"type\":38}");
        QCOMPARE(OperationLogRecord(QStringLiteral("pc-install-go")).toJson(),
                 expected.arg(NERIX_EXPECTED_APK_ID).arg(machineIdentifier()));
    }
};

NERIX_TEST_MAIN(TestRecord)
#include "test_record.moc"
