// The log file, written from many threads, and the real executable started
// as a user would start it.
#include "app/SingleApplication.h"
#include "core/LogHandler.h"
#include "support/TestEnvironment.h"

#include <signal.h>
#include <thread>

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
    void initTestCase() { qInstallMessageHandler(logMessageHandler); }

    // "%1" in a file name or a message stays text; the real file and line show
    // where there is a context (release builds have none).
    void record()
    {
        const QMessageLogContext context("x%1%4.cpp", 7, nullptr, nullptr);
        QCOMPARE(formatLogRecord(QtInfoMsg, context, QStringLiteral("m %1"), QStringLiteral("T")),
                 QStringLiteral("(T)  File:(x%1%4.cpp) Line:(7) m %1"));
    }

    void eightThreadsLoseNoLine()
    {
        const int offset = int(QFileInfo(logFilePath()).size());
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([t] {
                for (int n = 0; n < 2000; ++n)
                    qDebug().noquote() << QStringLiteral("t%1 n%2 ").arg(t).arg(n) + QString(40, 'x');
            });
        for (std::thread& thread : threads)
            thread.join();
        const QRegularExpression pattern(QStringLiteral(
            R"(^\(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\) Debug: File:\(\) Line:\(0\) (t\d n\d+) x{40}$)"));
        // Every line ends in CR LF.
        const QByteArray tail = readAll(logFilePath()).mid(offset);
        QVERIFY(tail.endsWith("\r\n") && tail.count('\n') == tail.count("\r\n"));
        QSet<QString> seen;
        for (const QString& line : QString::fromUtf8(tail.chopped(2)).split(QStringLiteral("\r\n"))) {
            const QRegularExpressionMatch match = pattern.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line));
            seen.insert(match.captured(1));
        }
        QCOMPARE(seen.size(), 8 * 2000);
    }

    // Per id and user; an elevated start is an instance of its own, which
    // Windows would not let raise an unelevated window.
    void instanceNames()
    {
        const QSet<QString> names{SingleApplication::serverNameFor("onlinesetup", "ana", false),
                                  SingleApplication::serverNameFor("onlinesetup", "ana", true),
                                  SingleApplication::serverNameFor("onlinesetup", "bo", false),
                                  SingleApplication::serverNameFor("onlinesetup-green", "ana", false)};
        QCOMPARE(names.size(), 4);
    }

    // Starts at once leave one window; the others exit 0 without a word in
    // its log. A crashed holder does not block the next start.
    void oneInstance()
    {
        QTemporaryDir home;
        const auto env = TestEnvironment::environmentIn(home.path());
        QProcess starts[5];
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

        // Where neither the runtime nor the temporary folder can hold a lock (not even root can create a
        // file in /proc), it cannot tell whether another runs, and starts.
        auto noLock = env;
        noLock.insert(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("/proc"));
        noLock.insert(QStringLiteral("TMPDIR"), QStringLiteral("/proc"));
        start(next, noLock, QStringLiteral("no-lock"));
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("no-lock"), 30000);
        QVERIFY(endsOnTermination(next));
    }
};

NERIX_TEST_MAIN(TestProcess)
#include "test_process.moc"
