// The real executable, started as a user would start it.
#include "support/ReleaseServer.h"
#include "support/TestEnvironment.h"

#include <QProcess>
#include <algorithm>
#include <signal.h>

namespace {

struct Installer
{
    explicit Installer(const QProcessEnvironment& env, const QStringList& args = {})
    {
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(TestEnvironment::installerExe(), args);
    }
    ~Installer()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    // A logout or Ctrl+C closes the window as its Yes would: exit code 0.
    bool endsOnTermination()
    {
        ::kill(pid_t(process.processId()), SIGTERM);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }
    QProcess process;
};

QByteArray readLog(const QTemporaryDir& home)
{
    QFile file(home.path() + QStringLiteral("/.cache/nerixSetupOnline/install_vantrel.log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        Installer starts[] = {Installer(env, {"0"}), Installer(env, {"1"}), Installer(env, {"2"})};
        const auto running = [&starts] {
            return int(std::count_if(std::begin(starts), std::end(starts),
                                     [](Installer& i) { return i.process.state() != QProcess::NotRunning; }));
        };
        QTRY_COMPARE_WITH_TIMEOUT(running(), 1, 30000);
        Installer* survivor = nullptr;
        for (Installer& start : starts) {
            QCOMPARE(start.process.exitCode(), 0);
            survivor = start.process.state() == QProcess::NotRunning ? survivor : &start;
        }
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("opration log: "), 30000);
        // The first line the program writes there is the parameter's.
        QVERIFY(readLog(home).indexOf("param>>>>>") < readLog(home).indexOf('\n'));
        QCOMPARE(readLog(home).count("param>>>>>"), 1);

        ::kill(pid_t(survivor->process.processId()), SIGKILL);
        QVERIFY(survivor->process.waitForFinished(5000));
        Installer next(env, {QStringLiteral("a_b-42")});
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("a_b-42"), 30000);
        QVERIFY(next.endsOnTermination());
        QVERIFY(readLog(home).contains("termination requested"));
        QCOMPARE(readLog(home).count("param>>>>>"), 2);
    }

    // Neither the runtime nor the temporary folder can hold a lock, and no
    // log can be written: the installer cannot tell whether another runs, and
    // starts.
    void startsWhereNoLockCanBeMade()
    {
        QTemporaryDir home;
        ReleaseServer server;
        ReleaseServer::Options options;
        options.root = home.path();
        options.ports = ReleaseServer::endpointPorts();
        QVERIFY(server.start(options));
        auto env = TestEnvironment::environmentFor(home);
        QFile blocker(home.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        // Folders where not even root can create a file.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("/proc"));
        env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/proc"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), blocker.fileName() + QStringLiteral("/cache"));
        Installer installer(env);
        QTRY_VERIFY_WITH_TIMEOUT(server.telemetryEvents().contains(QStringLiteral("pc-install-show")), 30000);
        QVERIFY(installer.endsOnTermination());
    }
};

NERIX_TEST_MAIN(TestProcess)
#include "test_process.moc"
