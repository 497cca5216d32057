#include "app/ChannelManager.h"
#include "support/TestEnvironment.h"
#include "telemetry/MachineIdentifier.h"
#include "telemetry/OperationLogRecord.h"

#include <QJsonDocument>
#include <QJsonObject>

#ifndef NERIX_EXPECTED_APK_ID
#define NERIX_EXPECTED_APK_ID 25
#endif

class TestRecord : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tool;
    QByteArray m_path;

private slots:
    // A query tool that prints nothing: the identifier of empty input.
    void initTestCase()
    {
        QFile tool(m_tool.filePath(QStringLiteral("wmic")));
        QVERIFY(tool.open(QIODevice::WriteOnly) && tool.write("#!/bin/sh\nexit 0\n") > 0);
        tool.close();
        QVERIFY(tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_tool.path()) + ':' + m_path);
        resetMachineIdentifierCache();
    }

    void cleanupTestCase() { qputenv("PATH", m_path); }

    void exampleBody()
    {
        g_channelName = QStringLiteral("Default");
        g_channelId = QStringLiteral("0000000000000000");
        QCOMPARE(OperationLogRecord(QStringLiteral("pc-install-go")).toJson(),
                 QStringLiteral(
                     "{\"apkChannel\":\"Default\",\"apkId\":%1,\"apkVersionCode\":1,\"apkVersionName\":"
                     "\"1.2.1\",\"btnId\":\"pc-install-go\",\"pcId\":\"d41d8cd98f00b204e9800998ecf8427e\","
                     "\"phoneId\":\"0000000000000000\",\"phoneMaker\":\"\",\"phoneModel\":\"\",\"phoneOs\":2,"
                     "\"phoneOsVersion\":\"\",\"type\":38}")
                     .arg(NERIX_EXPECTED_APK_ID));
    }

    // Quotes and non-ASCII text in the channel survive as valid JSON.
    void channelStringsAreEscaped()
    {
        g_channelName = QString::fromUtf8("春季\"推广\\");
        g_channelId = QStringLiteral("a1\"b2");
        const QJsonObject object =
            QJsonDocument::fromJson(OperationLogRecord(QStringLiteral("pc-install-show")).toJson().toUtf8())
                .object();
        QCOMPARE(object.value(QStringLiteral("apkChannel")).toString(), g_channelName);
        QCOMPARE(object.value(QStringLiteral("phoneId")).toString(), g_channelId);
        QCOMPARE(object.value(QStringLiteral("btnId")).toString(), QStringLiteral("pc-install-show"));
    }
};

NERIX_TEST_MAIN(TestRecord)
#include "test_record.moc"
