// The real executable, started as a user would start it.
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <QProcess>
#include <signal.h>

namespace {

void start(QProcess& installer, const QProcessEnvironment& env, const QString& param = QString())
{
    installer.setProcessEnvironment(env);
    installer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    installer.start(qEnvironmentVariable("NERIX_INSTALLER_EXE"), {param});
}

// A logout or Ctrl+C closes the window as its Yes would: exit code 0.
bool endsOnTermination(QProcess& installer)
{
    ::kill(pid_t(installer.processId()), SIGTERM);
    return installer.waitForFinished(30000) && installer.exitStatus() == QProcess::NormalExit &&
           installer.exitCode() == 0;
}

QByteArray readLog(const QTemporaryDir& home)
{
    return readAll(home.path() + QStringLiteral("/.cache/nerixSetupOnline/install_vantrel.log"));
}

} // namespace

class TestProcess : public QObject
{
    Q_OBJECT

private slots:
    // Starts at once leave one window; the others exit 0 without a word in
    // its log. A crashed holder does not block the next start.
    void oneInstance()
    {
        QTemporaryDir home;
        const auto env = TestEnvironment::environmentFor(home);
        QProcess starts[3];
        for (QProcess& installer : starts)
            start(installer, env);
        const auto running = [&starts] {
            return int(std::count_if(std::begin(starts), std::end(starts),
                                     [](QProcess& p) { return p.state() != QProcess::NotRunning; }));
        };
        QTRY_COMPARE_WITH_TIMEOUT(running(), 1, 30000);
        QProcess* survivor = nullptr;
        for (QProcess& installer : starts) {
            QCOMPARE(installer.exitCode(), 0);
            survivor = installer.state() == QProcess::NotRunning ? survivor : &installer;
        }
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("opration log: "), 30000);
        // The first line the program writes there is the parameter's.
        QVERIFY(readLog(home).indexOf("param>>>>>") < readLog(home).indexOf('\n'));
        QCOMPARE(readLog(home).count("param>>>>>"), 1);

        survivor->kill();
        QVERIFY(survivor->waitForFinished(5000));
        QProcess next;
        start(next, env, QStringLiteral("a_b-42"));
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("a_b-42"), 30000);
        QVERIFY(endsOnTermination(next));
        QVERIFY(readLog(home).contains("termination requested"));
        QCOMPARE(readLog(home).count("param>>>>>"), 2);
    }

    // Neither the runtime nor the temporary folder can hold a lock, and no
    // log can be written: the installer cannot tell whether another runs,
    // and starts.
    void startsWhereNoLockCanBeMade()
    {
        QTemporaryDir home;
        ReleaseServer server;
        QVERIFY(server.start({home.path(), ReleaseServer::endpointPorts()}));
        auto env = TestEnvironment::environmentFor(home);
        // Folders where not even root can create a file.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("/proc"));
        env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/proc"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), QStringLiteral("/proc/cache"));
        QProcess installer;
        start(installer, env);
        QTRY_VERIFY_WITH_TIMEOUT(server.telemetryEvents().contains(QStringLiteral("pc-install-show")), 30000);
        QVERIFY(endsOnTermination(installer));
    }
};

NERIX_TEST_MAIN(TestProcess)
#include "test_process.moc"
