// What every operation-log record carries: the channel parsed from the
// command line, the machine identifier and the body itself.
#include "app/ChannelManager.h"
#include "platform/ExternalTools.h"
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
    void parse_data()
    {
        QTest::addColumn<QString>("param");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("mode");
        const QString none = QStringLiteral("0000000000000000");
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        const QString bad = QString::fromUtf8("\xEF\xBF\xBD");
        const auto row = [](const char* tag, const QString& param, const QString& name, const QString& id,
                            int mode) {
            QTest::newRow(tag) << param << name << id << mode;
        };
        row("test channel", "promo_spring#qotab-a1b2c3d4e5f60718", "spring", "a1b2c3d4e5f60718", 0);
        row("last dash wins", "a-b-c", "a-b", "c", 1);
        row("type is case-sensitive", "a_b#QOTAB-1", "b", "1", 1);
        row("long name, typed", "p_abcdefghijklmnopqrstuvwxy#qotab", "abcdefghijklmnopqrs", none, 0);
        // A surrogate pair is never cut in half.
        row("pair kept whole in name", QString(18, 'n') + emoji, QString(18, 'n'), none, 1);
        row("control characters", "\x01_\t\n#qotab-\x7f\r", "\t\n", "\x7f\r", 0);
        row("invalid UTF-8", QString::fromUtf8("\xff_n\xc3-\x80\x80"), "n" + bad, bad + bad, 1);
    }

    void parse()
    {
        QFETCH(QString, param);
        const ChannelFields fields = ChannelManager::parse(param);
        QTEST(fields.channelName, "name");
        QTEST(fields.channelId, "id");
        QTEST(fields.mode, "mode");
    }

    // Only an explicit type other than "qotab" keeps the mode; an empty
    // parameter keeps the id.
    void parseKeepsCurrentValues()
    {
        const ChannelFields current = ChannelManager::parse(QStringLiteral("#qotab-abc"));
        QCOMPARE(ChannelManager::parse(QStringLiteral("a_b#other"), current).mode, 0);
        QCOMPARE(ChannelManager::parse(QStringLiteral("a_b"), current).mode, 1);
        QCOMPARE(ChannelManager::parse(QString(), current).channelId, QStringLiteral("abc"));
    }

    // Where the processor id must not be asked for, its answer "x" would change the digest.
    void identifier_data()
    {
        QTest::addColumn<QByteArray>("uuidOut");
        QTest::addColumn<QByteArray>("cpuOut");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const char* uuid, const char* cpu, const char* md5) {
            QTest::newRow(tag) << QByteArray(uuid) << QByteArray(cpu) << QString::fromLatin1(md5);
        };
        row("hardware UUID", "UUID       \r\n4C4C4544-0051-3510-8057-B4C04F4B4A32  \r\n\r\n", "x",
            "1ddaa8f825ef9c4d0d8b329d979d63cf");
        row("placeholder inside, two processors", "UUID\r\n03000200-FFFFFFFF-0500\r\n",
            "PROCESSORID  \r\nBFEBFBFF000906EA  \r\nBFEBFBFF000906ED  \r\n\r\n",
            "b713e7495042c05cf94c3ff68f2c3b6f");
        row("placeholder, no processor id", "UUID\r\nFFFFFFFF\r\n", "", "d41d8cd98f00b204e9800998ecf8427e");
        row("lower-case f is a real id", "uuid\r\n4c4c4544-ffffffff-3510-8057-b4c04f4b4a32\r\n", "x",
            "bbf65b305422009089fa3e20c5ec738f");
        row("header word anywhere, any case", "UUID\r\nab-UuId-cd  \r\n", "x",
            "a667afad714a91704b2005eb10d124ac");
        row("no output", "", "x", "d41d8cd98f00b204e9800998ecf8427e");
    }

    void identifier()
    {
        QFETCH(QByteArray, uuidOut);
        QFETCH(QByteArray, cpuOut);
        // A query with any other text gets an answer that changes the digest.
        const auto answer = [&](const QString& query) {
            return query == "wmic csproduct get UUID"    ? uuidOut
                   : query == "wmic cpu get processorid" ? cpuOut
                                                         : "?";
        };
        QTEST(computeMachineIdentifier(answer), "expected");
    }

    // Without the query tool the answer must not depend on who asks: the
    // firmware UUID is readable by root only, the system's id by everyone.
    void withoutQueryToolEveryUserGetsTheSameId()
    {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
        const QByteArray answer = ExternalTools::runMachineQuery("wmic csproduct get UUID", 30000);
        qputenv("PATH", path);
        QByteArray id = readAll(QStringLiteral("/etc/machine-id")).trimmed();
        id = id.isEmpty() ? readAll(QStringLiteral("/var/lib/dbus/machine-id")).trimmed() : id;
        QCOMPARE(answer, id.isEmpty() ? QByteArray() : "UUID  \r\n" + id + "  \r\n\r\n");
    }

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
