// The real executable under hostile conditions: ended by the session, given
// odd channel bytes on its command line, or without a usable log folder.
#include "BuildConfig.h"
#include "app/ChannelManager.h"
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <QJsonDocument>
#include <QProcess>
#include <memory>
#include <signal.h>

namespace {

QByteArray readLog(const QTemporaryDir& home)
{
    QFile file(home.path() + QStringLiteral("/.cache/nerixSetupOnline/install_vantrel.log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Starts the installer through the shell so the argument can hold any byte:
// the shell's printf turns the octal escapes into raw bytes.
std::unique_ptr<QProcess> startWithRawArgument(const QProcessEnvironment& env, const QByteArray& escaped)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment withExe = env;
    withExe.insert(QStringLiteral("NERIX_EXE"), TestEnvironment::installerExe());
    withExe.insert(QStringLiteral("NERIX_ARG"), QString::fromLatin1(escaped));
    process->setProcessEnvironment(withExe);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec \"$NERIX_EXE\" \"$(printf \"$NERIX_ARG\")\"")});
    return process;
}

void stop(QProcess& process)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(10000);
    }
}

} // namespace

class TestProcessFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_serverRoot;
    ReleaseServer m_server;

    QStringList showEvents() const
    {
        const quint16 port =
            ReleaseServer::endpointPorts().at(ReleaseServer::endpointPortIndex(endpoints::telemetry));
        QStringList ids;
        for (const QJsonObject& post : m_server.telemetry()) {
            const auto body = QJsonDocument::fromJson(post.value(QStringLiteral("body")).toString().toUtf8());
            if (post.value(QStringLiteral("port")).toInt() == port)
                ids << body.object().value(QStringLiteral("btnId")).toString();
        }
        return ids;
    }

private slots:
    void initTestCase()
    {
        ReleaseServer::Options options;
        options.root = m_serverRoot.path();
        options.ports = ReleaseServer::endpointPorts();
        QVERIFY(m_server.start(options));
    }

    void cleanupTestCase() { m_server.stop(); }

    // A logout or Ctrl+C closes the window as its Yes would: a normal exit
    // with code 0, not a death by signal.
    void terminationSignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void terminationSignal()
    {
        QFETCH(int, signal);
        QTemporaryDir home;
        QProcess installer;
        installer.setProcessEnvironment(TestEnvironment::environmentFor(home));
        installer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        installer.start(TestEnvironment::installerExe(), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("opration log: "), 30000);

        ::kill(pid_t(installer.processId()), signal);
        QVERIFY(installer.waitForFinished(30000));
        QCOMPARE(installer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(installer.exitCode(), 0);
        QVERIFY(readLog(home).contains("termination requested"));
    }

    // Whatever bytes arrive as the channel, the installer starts, logs the
    // argument on one line and parses it as the parser alone does.
    void oddChannelBytes_data()
    {
        QTest::addColumn<QByteArray>("escaped");
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("control characters")
            << QByteArray("\\001a_b\\tc\\033[31m#qotab-\\177x") << QByteArray();
        QTest::newRow("invalid UTF-8")
            << QByteArray("x_\\377\\376na\\300me-\\355\\240\\200id") << QByteArray();
        QTest::newRow("non-ASCII") << QByteArray() << QByteArray("促销_春季活动#qotab-ä1ö2ü3");
        // The kernel's limit for one argument is 128 KiB.
        QTest::newRow("128 KiB") << QByteArray()
                                 << QByteArray("p_" + QByteArray(65000, 'n') + "-" + QByteArray(65000, 'i'));
    }

    void oddChannelBytes()
    {
        QFETCH(QByteArray, escaped);
        QFETCH(QByteArray, raw);
        QTemporaryDir home;
        const QProcessEnvironment env = TestEnvironment::environmentFor(home);
        std::unique_ptr<QProcess> installer;
        QByteArray argument = raw;
        if (raw.isEmpty()) {
            installer = startWithRawArgument(env, escaped);
            QProcess printf;
            printf.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf \"$0\""),
                                                     QString::fromLatin1(escaped)});
            QVERIFY(printf.waitForFinished(10000));
            argument = printf.readAllStandardOutput();
        } else {
            installer = std::make_unique<QProcess>();
            installer->setProcessEnvironment(env);
            installer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            installer->start(TestEnvironment::installerExe(), {QString::fromUtf8(raw)});
        }
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("opration log: "), 30000);
        QCOMPARE(installer->state(), QProcess::Running);

        const QByteArray log = readLog(home);
        const QList<QByteArray> lines = log.split('\n');
        int paramLines = 0;
        for (const QByteArray& line : lines)
            paramLines += line.contains("param>>>>>") ? 1 : 0;
        QCOMPARE(paramLines, 1);
        const ChannelFields fields = ChannelManager::parse(QString::fromUtf8(argument), ChannelFields());
        QVERIFY(log.contains("mode>>>>>>>>>>>>>>>>>>> " + QByteArray::number(fields.mode)));

        ::kill(pid_t(installer->processId()), SIGTERM);
        QVERIFY(installer->waitForFinished(30000));
        QCOMPARE(installer->exitCode(), 0);
        stop(*installer);
    }

    // No log file can be written: the window still comes up and reports.
    void logFolderCannotBeCreated()
    {
        QTemporaryDir home;
        const QProcessEnvironment env = TestEnvironment::environmentFor(home);
        const QString cache = home.path() + QStringLiteral("/.cache");
        QVERIFY(QDir(cache).removeRecursively());
        QFile blocker(cache);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        const int before = showEvents().count(QStringLiteral("pc-install-show"));
        QProcess installer;
        installer.setProcessEnvironment(env);
        installer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        installer.start(TestEnvironment::installerExe(), {QStringLiteral("site_partner01")});
        QTRY_COMPARE_WITH_TIMEOUT(showEvents().count(QStringLiteral("pc-install-show")), before + 1, 30000);
        QCOMPARE(installer.state(), QProcess::Running);
        QVERIFY(QFileInfo(cache).isFile());

        ::kill(pid_t(installer.processId()), SIGTERM);
        QVERIFY(installer.waitForFinished(30000));
        QCOMPARE(installer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(installer.exitCode(), 0);
    }
};

NERIX_TEST_MAIN(TestProcessFaults)
#include "test_process_faults.moc"
