#include "platform/ExternalTools.h"
#include "support/TestEnvironment.h"
#include "telemetry/MachineIdentifier.h"

class TestMachineId : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tool;
    QByteArray m_path = qgetenv("PATH");

    void writeFile(const QString& name, const QByteArray& content)
    {
        QFile file(m_tool.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

private slots:
    // A stand-in for the query tool: prints the answer prepared for its first argument.
    void initTestCase()
    {
        writeFile("wmic", "#!/bin/sh\ncat \"$(dirname \"$0\")/$1.out\"\n");
        QVERIFY(QFile::setPermissions(m_tool.filePath("wmic"), QFile::ReadOwner | QFile::ExeOwner));
        qputenv("PATH", QFile::encodeName(m_tool.path()) + ':' + m_path);
    }

    // Where the processor id is not asked for, its answer "x" would change the digest.
    void identifier_data()
    {
        QTest::addColumn<QByteArray>("uuidOut");
        QTest::addColumn<QByteArray>("cpuOut");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hardware UUID")
            << QByteArray("UUID         \r\n4C4C4544-0051-3510-8057-B4C04F4B4A32  \r\n\r\n")
            << QByteArray("x") << "1ddaa8f825ef9c4d0d8b329d979d63cf";
        QTest::newRow("placeholder inside, two processors")
            << QByteArray("UUID\r\n03000200-FFFFFFFF-0500\r\n")
            << QByteArray("PROCESSORID  \r\nBFEBFBFF000906EA  \r\nBFEBFBFF000906ED  \r\n\r\n")
            << "b713e7495042c05cf94c3ff68f2c3b6f";
        QTest::newRow("placeholder, no processor id")
            << QByteArray("UUID\r\nFFFFFFFF\r\n") << QByteArray() << "d41d8cd98f00b204e9800998ecf8427e";
        QTest::newRow("lower-case f is a real id")
            << QByteArray("uuid\r\n4c4c4544-ffffffff-3510-8057-b4c04f4b4a32\r\n") << QByteArray("x")
            << "bbf65b305422009089fa3e20c5ec738f";
        QTest::newRow("header word anywhere, any case")
            << QByteArray("UUID\r\nab-UuId-cd  \r\n") << QByteArray("x")
            << "a667afad714a91704b2005eb10d124ac";
        QTest::newRow("no output") << QByteArray() << QByteArray("x") << "d41d8cd98f00b204e9800998ecf8427e";
    }

    void identifier()
    {
        QFETCH(QByteArray, uuidOut);
        QFETCH(QByteArray, cpuOut);
        writeFile("csproduct.out", uuidOut);
        writeFile("cpu.out", cpuOut);
        resetMachineIdentifierCache();
        QTEST(machineIdentifier(), "expected");
        // Asked once per process.
        writeFile("csproduct.out", "UUID\r\nother\r\n");
        QTEST(machineIdentifier(), "expected");
    }

    // Without the query tool the answer must not depend on who asks: the
    // firmware UUID is readable by root only, the system's id by everyone.
    void withoutQueryToolEveryUserGetsTheSameId()
    {
        qputenv("PATH", "/nonexistent");
        const QByteArray answer = ExternalTools::runMachineQuery("wmic csproduct get UUID", 30000);
        qputenv("PATH", QFile::encodeName(m_tool.path()) + ':' + m_path);
        QByteArray id;
        for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
            QFile file{QString::fromLatin1(path)};
            if (id.isEmpty() && file.open(QIODevice::ReadOnly))
                id = file.readAll().trimmed();
        }
        if (id.isEmpty())
            QSKIP("this machine has no id that every user can read");
        QCOMPARE(answer, "UUID  \r\n" + id + "  \r\n\r\n");
    }
};

NERIX_TEST_MAIN(TestMachineId)
#include "test_machineid.moc"
