// The real executable, started as a user would start it.
#include "support/TestEnvironment.h"

#include <QProcess>
#include <QRegularExpression>
#include <memory>
#include <signal.h>
#include <vector>

namespace {

class Installer
{
public:
    explicit Installer(const QProcessEnvironment& env, const QStringList& args = {})
    {
        process.setProcessEnvironment(env);
        process.setProgram(TestEnvironment::installerExe());
        process.setArguments(args);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
    }
    ~Installer()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QProcess process;
};

QString logPath(const QTemporaryDir& home)
{
    return home.path() + QStringLiteral("/.cache/nerixSetupOnline/install_vantrel.log");
}

QByteArray readLog(const QTemporaryDir& home)
{
    QFile file(logPath(home));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int countOf(const QByteArray& text, const char* needle)
{
    return text.count(needle);
}

} // namespace

class TestProcess : public QObject
{
    Q_OBJECT

private slots:
    void firstLineAndSecondInstance()
    {
        QTemporaryDir home;
        const auto env = TestEnvironment::environmentFor(home);
        Installer first(env);
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("opration log: "), 30000);

        const QByteArray log = readLog(home);
        static const QRegularExpression firstLine(QStringLiteral(
            R"(^\(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\) Debug: File:\(\) Line:\(0\) param>>>>> ""\r\n)"));
        QVERIFY2(firstLine.match(QString::fromUtf8(log)).hasMatch(), log.left(200).constData());
        // Every line carries no source position and ends in CR LF.
        for (const QByteArray& line : log.split('\n')) {
            if (line.isEmpty())
                continue;
            QVERIFY2(line.contains(" File:() Line:(0) "), line.constData());
            QVERIFY(line.endsWith('\r'));
        }

        Installer second(env, {QStringLiteral("site_second")});
        QVERIFY(second.process.waitForFinished(10000));
        QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process.exitCode(), 0);
        QCOMPARE(first.process.state(), QProcess::Running);
        QCOMPARE(countOf(readLog(home), "param>>>>>"), 1);
        QVERIFY(!readLog(home).contains("site_second"));
    }

    void fiveAtOnceLeaveOne()
    {
        QTemporaryDir home;
        const auto env = TestEnvironment::environmentFor(home);
        std::vector<std::unique_ptr<Installer>> installers;
        for (int i = 0; i < 5; ++i)
            installers.push_back(std::make_unique<Installer>(env));
        auto exited = [&installers] {
            int n = 0;
            for (auto& installer : installers)
                n += installer->process.state() == QProcess::NotRunning ? 1 : 0;
            return n;
        };
        QTRY_COMPARE_WITH_TIMEOUT(exited(), 4, 30000);
        for (auto& installer : installers) {
            if (installer->process.state() == QProcess::NotRunning)
                QCOMPARE(installer->process.exitCode(), 0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("opration log: "), 30000);
        QCOMPARE(countOf(readLog(home), "param>>>>>"), 1);
        QCOMPARE(exited(), 4);
    }

    void crashedInstanceDoesNotBlock()
    {
        QTemporaryDir home;
        const auto env = TestEnvironment::environmentFor(home);
        {
            Installer crashed(env);
            QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("opration log: "), 30000);
            ::kill(pid_t(crashed.process.processId()), SIGKILL);
            QVERIFY(crashed.process.waitForFinished(5000));
        }
        Installer next(env, {QStringLiteral("a_b-42")});
        QTRY_VERIFY_WITH_TIMEOUT(readLog(home).contains("a_b-42"), 30000);
        QCOMPARE(next.process.state(), QProcess::Running);
        // The log file is appended to across runs.
        QCOMPARE(countOf(readLog(home), "param>>>>>"), 2);
    }
};

NERIX_TEST_MAIN(TestProcess)
#include "test_process.moc"
