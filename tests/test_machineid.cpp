#include "platform/ExternalTools.h"
#include "support/TestEnvironment.h"
#include "telemetry/MachineIdentifier.h"

namespace {

// A stand-in for the query tool: prints the prepared answer for its first
// argument and counts its runs.
const char kScript[] = "#!/bin/sh\n"
                       "d=$(dirname \"$0\")\n"
                       "echo \"$*\" >> \"$d/runs\"\n"
                       "[ -f \"$d/$1.out\" ] && cat \"$d/$1.out\"\n"
                       "exit 0\n";

} // namespace

class TestMachineId : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tool;
    QByteArray m_path;

    void writeFile(const QString& name, const QByteArray& content)
    {
        QFile file(m_tool.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QStringList runs()
    {
        QFile file(m_tool.filePath(QStringLiteral("runs")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        writeFile(QStringLiteral("wmic"), kScript);
        QVERIFY(QFile::setPermissions(m_tool.filePath(QStringLiteral("wmic")),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_tool.path()) + ':' + m_path);
    }

    void cleanupTestCase() { qputenv("PATH", m_path); }

    void identifier_data()
    {
        QTest::addColumn<QByteArray>("uuidOut");
        QTest::addColumn<QByteArray>("cpuOut");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("queries");
        QTest::newRow("hardware UUID") << QByteArray("UUID                                  \r\n"
                                                     "4C4C4544-0051-3510-8057-B4C04F4B4A32  \r\n\r\n")
                                       << QByteArray() << "1ddaa8f825ef9c4d0d8b329d979d63cf" << 1;
        QTest::newRow("placeholder, one processor")
            << QByteArray("UUID  \r\nFFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF  \r\n\r\n")
            << QByteArray("ProcessorId       \r\nBFEBFBFF000906EA  \r\n\r\n")
            << "7087337dc0f6a2ae3fc0b3e32684f6dd" << 2;
        QTest::newRow("placeholder inside, two processors")
            << QByteArray("UUID\r\n03000200-FFFFFFFF-0500\r\n")
            << QByteArray("PROCESSORID  \r\nBFEBFBFF000906EA  \r\nBFEBFBFF000906ED  \r\n\r\n")
            << "b713e7495042c05cf94c3ff68f2c3b6f" << 2;
        QTest::newRow("placeholder, no processor id")
            << QByteArray("UUID\r\nFFFFFFFF\r\n") << QByteArray() << "d41d8cd98f00b204e9800998ecf8427e" << 2;
        QTest::newRow("lower-case f is a real id")
            << QByteArray("uuid\r\n4c4c4544-ffffffff-3510-8057-b4c04f4b4a32\r\n") << QByteArray("x")
            << "bbf65b305422009089fa3e20c5ec738f" << 1;
        QTest::newRow("header word anywhere, any case")
            << QByteArray("UUID\r\nab-UuId-cd  \r\n") << QByteArray() << "a667afad714a91704b2005eb10d124ac"
            << 1;
        QTest::newRow("no output") << QByteArray() << QByteArray("x") << "d41d8cd98f00b204e9800998ecf8427e"
                                   << 1;
    }

    void identifier()
    {
        QFETCH(QByteArray, uuidOut);
        QFETCH(QByteArray, cpuOut);
        QFETCH(int, queries);
        writeFile(QStringLiteral("csproduct.out"), uuidOut);
        writeFile(QStringLiteral("cpu.out"), cpuOut);
        QFile::remove(m_tool.filePath(QStringLiteral("runs")));

        resetMachineIdentifierCache();
        QTEST(machineIdentifier(), "expected");
        QCOMPARE(machineIdentifier(), machineIdentifier());
        QCOMPARE(runs().size(), queries);
        QCOMPARE(runs().first(), QStringLiteral("csproduct get UUID"));
        if (queries == 2)
            QCOMPARE(runs().last(), QStringLiteral("cpu get processorid"));
    }

    // Without the query tool the platform answers in its layout, the same each time.
    void withoutQueryTool()
    {
        QTemporaryDir emptyPath;
        qputenv("PATH", QFile::encodeName(emptyPath.path()));
        const QString uuidQuery = QStringLiteral("wmic csproduct get UUID");
        const QByteArray answer = ExternalTools::runMachineQuery(uuidQuery, 30000);
        const QByteArray again = ExternalTools::runMachineQuery(uuidQuery, 30000);
        const QByteArray cpu =
            ExternalTools::runMachineQuery(QStringLiteral("wmic cpu get processorid"), 30000);
        qputenv("PATH", QFile::encodeName(m_tool.path()) + ':' + m_path);
        QCOMPARE(again, answer);
        QVERIFY(cpu.isEmpty());
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^UUID  \r\n([0-9A-Za-z-]+)  \r\n\r\n$"))
                .match(QString::fromLatin1(answer));
        if (!QFileInfo(QStringLiteral("/sys/class/dmi/id/product_uuid")).isReadable() &&
            !QFileInfo(QStringLiteral("/etc/machine-id")).isReadable())
            QSKIP("this machine has no id to offer");
        QVERIFY2(match.hasMatch(), answer.constData());
        QCOMPARE(cleanQueryOutput(uuidQuery, answer), match.captured(1));
    }
};

NERIX_TEST_MAIN(TestMachineId)
#include "test_machineid.moc"
