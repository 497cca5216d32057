// The machine identifier from the query tool's answers, the firmware's
// UUID and the installation's id, in their order.
#include "platform/MachineIdentity.h"
#include "platform/Smbios.h"
#include "support/TestEnvironment.h"
#include "telemetry/MachineIdentifier.h"

class TestMachineIdentifier : public QObject
{
    Q_OBJECT

private slots:
    // Where a source must not be asked, its answer "x" would change the digest.
    void identifier_data()
    {
        QTest::addColumn<QByteArray>("uuidOut");
        QTest::addColumn<QByteArray>("cpuOut");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const QByteArray& uuid, const char* cpu, const char* firmware,
                            const char* md5) {
            QTest::newRow(tag) << uuid << QByteArray(cpu) << QString::fromLatin1(firmware)
                               << QString::fromLatin1(md5);
        };
        const char* uuid = "4C4C4544-0051-3510-8057-B4C04F4B4A32";
        const char* uuidMd5 = "1ddaa8f825ef9c4d0d8b329d979d63cf";
        const char* installMd5 = "19ad89bc3e3c9d7ef68b89523eff1987";
        row("hardware UUID", QByteArray("UUID       \r\n") + uuid + "  \r\n\r\n", "x", "x", uuidMd5);
        row("placeholder inside, two processors", "UUID\r\n03000200-FFFFFFFF-0500\r\n",
            "PROCESSORID  \r\nBFEBFBFF000906EA  \r\nBFEBFBFF000906ED  \r\n\r\n", "x",
            "b713e7495042c05cf94c3ff68f2c3b6f");
        row("lower-case f is a real id", "uuid\r\n4c4c4544-ffffffff-3510-8057-b4c04f4b4a32\r\n", "x", "x",
            "bbf65b305422009089fa3e20c5ec738f");
        row("header word anywhere, any case", "UUID\r\nab-UuId-cd  \r\n", "x", "x",
            "a667afad714a91704b2005eb10d124ac");
        // Wine's tool answers in UTF-16.
        const QString wide = QStringLiteral("\uFEFFUUID \r\n") + uuid;
        row("UTF-16 with byte-order mark",
            QByteArray(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2), "x", "x", uuidMd5);
        // No tool, or one that does not answer this query.
        row("no answer: the firmware's UUID", "", "x", uuid, uuidMd5);
        row("no answer, no firmware UUID: the installation's id", "", "x", "", installMd5);
        row("placeholder, no processor id: the installation's id", "UUID\r\nFFFFFFFF\r\n", "", "x",
            installMd5);
    }

    void identifier()
    {
        QFETCH(QByteArray, uuidOut);
        QFETCH(QByteArray, cpuOut);
        QFETCH(QString, firmware);
        // A query with any other text gets an answer that changes the digest.
        const auto answer = [&](const QString& query) {
            return query == "wmic csproduct get UUID"    ? uuidOut
                   : query == "wmic cpu get processorid" ? cpuOut
                                                         : "?";
        };
        const auto install = [] {
            return QStringLiteral("install");
        };
        QTEST(computeMachineIdentifier({answer, [&] { return firmware; }, install}), "expected");
    }

    // Without the query tool every user of a machine must get the same id: the
    // firmware's UUID is root's only, the system's id everyone's.
    void linuxSourcesReadableByEveryUser()
    {
        QVERIFY(MachineIdentity::firmwareUuid().isEmpty());
        const QByteArray etc = readAll("/etc/machine-id").trimmed();
        QCOMPARE(MachineIdentity::installationId().toLatin1(),
                 etc.isEmpty() ? readAll("/var/lib/dbus/machine-id").trimmed() : etc);
    }

    // As the firmware tool prints it: the first three fields little-endian.
    void firmwareUuid_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("expected");
        const QByteArray uuid = QByteArray::fromHex("44454c4c510010358057b4c04f4b4a32");
        // A BIOS structure with two strings, then the system structure, then the end.
        const QByteArray bios = QByteArray::fromHex("0018000001020000") + QByteArray(16, '\0') +
                                QByteArray("Vendor\0001.0\0\0", 12);
        const QByteArray system = QByteArray::fromHex("011b0100010203") + QByteArray(1, '\0') + uuid +
                                  QByteArray::fromHex("0600000000");
        const QByteArray end = QByteArray::fromHex("7f040200") + QByteArray(2, '\0');
        const auto raw = [](const QByteArray& structures) {
            const quint32 size = qToLittleEndian(quint32(structures.size()));
            return QByteArray::fromHex("00030400") + QByteArray(reinterpret_cast<const char*>(&size), 4) +
                   structures;
        };
        QTest::newRow("after another structure")
            << raw(bios + system + end) << "4C4C4544-0051-3510-8057-B4C04F4B4A32";
        QTest::newRow("all zero: not present")
            << raw(QByteArray(system).replace(uuid, QByteArray(16, '\0')) + end) << QString();
        QTest::newRow("all F: kept for the placeholder rule")
            << raw(QByteArray(system).replace(uuid, QByteArray(16, '\xff')))
            << "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF";
        QTest::newRow("no system structure") << raw(bios + end) << QString();
        QTest::newRow("structure running past the end") << raw(system.left(20)) << QString();
        QTest::newRow("declared length beyond the data") << raw(bios).left(30) << QString();
    }

    void firmwareUuid()
    {
        QFETCH(QByteArray, table);
        QTEST(Smbios::systemUuid(table), "expected");
    }
};

NERIX_TEST_MAIN(TestMachineIdentifier)
#include "test_machine_identifier.moc"
