#include "app/ChannelManager.h"
#include "support/TestEnvironment.h"
#include "telemetry/MachineIdentifier.h"
#include "telemetry/OperationLogRecord.h"

#include <QJsonDocument>
#include <QJsonObject>

#ifndef NERIX_EXPECTED_APK_ID
#define NERIX_EXPECTED_APK_ID 25
#endif

namespace {

QStringList g_captured;

void captureMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_captured.append(message);
}

} // namespace

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
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\nexit 0\n");
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
        const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
        const OperationLogRecord record(QStringLiteral("pc-install-go"));
        qInstallMessageHandler(previous);

        QCOMPARE(record.toJson(),
                 QStringLiteral(
                     "{\"apkChannel\":\"Default\",\"apkId\":%1,\"apkVersionCode\":1,\"apkVersionName\":"
                     "\"1.2.1\",\"btnId\":\"pc-install-go\",\"pcId\":\"d41d8cd98f00b204e9800998ecf8427e\","
                     "\"phoneId\":\"0000000000000000\",\"phoneMaker\":\"\",\"phoneModel\":\"\",\"phoneOs\":2,"
                     "\"phoneOsVersion\":\"\",\"type\":38}")
                     .arg(NERIX_EXPECTED_APK_ID));
        QCOMPARE(g_captured, QStringList(QStringLiteral(
                                 "phoneId \"0000000000000000\" pcId \"d41d8cd98f00b204e9800998ecf8427e\"")));
    }

    void channelStrings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::newRow("before the launch parameter") << ""
                                                     << "";
        QTest::newRow("non-ASCII") << QString::fromUtf8("春季\"推广") << "a1b2";
    }

    void channelStrings()
    {
        QFETCH(QString, name);
        QFETCH(QString, id);
        g_channelName = name;
        g_channelId = id;
        const QByteArray body = OperationLogRecord(QStringLiteral("pc-install-show")).toJson().toUtf8();

        QVERIFY(body.contains("\"apkChannel\":\"" + name.toUtf8().replace("\"", "\\\"") + "\""));
        const QJsonObject object = QJsonDocument::fromJson(body).object();
        QCOMPARE(object.keys(),
                 QStringList({"apkChannel", "apkId", "apkVersionCode", "apkVersionName", "btnId", "pcId",
                              "phoneId", "phoneMaker", "phoneModel", "phoneOs", "phoneOsVersion", "type"}));
        for (const char* number : {"apkId", "apkVersionCode", "phoneOs", "type"})
            QVERIFY2(object.value(QLatin1String(number)).isDouble(), number);
        QCOMPARE(object.value(QStringLiteral("phoneId")).toString(), id);
        QCOMPARE(object.value(QStringLiteral("apkId")).toInt(), NERIX_EXPECTED_APK_ID);
    }
};

NERIX_TEST_MAIN(TestRecord)
#include "test_record.moc"
