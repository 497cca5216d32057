#include "app/LogHandler.h"
#include "support/TestEnvironment.h"

#include <QRegularExpression>
#include <QSet>
#include <thread>

namespace {

const QString kTime = QStringLiteral(R"(\(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\))");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines written after offset; every line must end in CR LF.
QStringList linesFrom(const QByteArray& content, int offset)
{
    const QByteArray tail = content.mid(offset);
    QStringList lines = QString::fromUtf8(tail).split(QStringLiteral("\r\n"));
    if (!tail.endsWith("\r\n") || tail.count('\n') != lines.size() - 1)
        return {QStringLiteral("<broken line ends>")};
    lines.removeLast();
    return lines;
}

} // namespace

class TestLog : public QObject
{
    Q_OBJECT

    QtMessageHandler m_previous = nullptr;

private slots:
    void initTestCase() { m_previous = qInstallMessageHandler(logMessageHandler); }
    void cleanupTestCase() { qInstallMessageHandler(m_previous); }

    void firstMessagesCreateFolderAndFormat()
    {
        QVERIFY(!QFileInfo::exists(QFileInfo(logFilePath()).path()));
        qDebug() << "param>>>>>" << QString();
        qInfo("info");
        qWarning().noquote() << "careful %1 %2";
        qCritical("broken");

        const QStringList expected = {QStringLiteral("Debug: File:() Line:(0) param>>>>> \"\""),
                                      QStringLiteral(" File:() Line:(0) info"),
                                      QStringLiteral("Warning: File:() Line:(0) careful %1 %2"),
                                      QStringLiteral("Critical: File:() Line:(0) broken")};
        QStringList pattern;
        for (const QString& line : expected)
            pattern << kTime + ' ' + QRegularExpression::escape(line);
        const QString lines = linesFrom(readAll(logFilePath()), 0).join('\n');
        QVERIFY2(QRegularExpression('^' + pattern.join('\n') + '$').match(lines).hasMatch(),
                 qPrintable(lines));
        QVERIFY(QDateTime::fromString(lines.mid(1, 19), QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid());
    }

    void recordWithContext_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fatal") << int(QtFatalMsg) << QString() << 0 << "(T) Fatal: File:() Line:(0) m %1";
        QTest::newRow("file and line")
            << int(QtDebugMsg) << "a.cpp" << 42 << "(T) Debug: File:(a.cpp) Line:(42) m %1";
        QTest::newRow("markers in file")
            << int(QtInfoMsg) << "x%1%4.cpp" << 7 << "(T)  File:(x%1%4.cpp) Line:(7) m %1";
    }

    void recordWithContext()
    {
        QFETCH(int, type);
        QFETCH(QString, file);
        QFETCH(int, line);
        const QByteArray fileName = file.toUtf8();
        const QMessageLogContext context(file.isEmpty() ? nullptr : fileName.constData(), line, nullptr,
                                         nullptr);
        QTEST(formatLogRecord(QtMsgType(type), context, QStringLiteral("m %1"), QStringLiteral("T")),
              "expected");
    }

    void eightThreadsLoseNoLine()
    {
        const int offset = readAll(logFilePath()).size();
        constexpr int kThreads = 8;
        constexpr int kLines = 2000;
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([t] {
                for (int n = 0; n < kLines; ++n)
                    qDebug().noquote()
                        << QStringLiteral("t%1 n%2 ").arg(t).arg(n) + QString(40, QLatin1Char('x'));
            });
        }
        for (std::thread& thread : threads)
            thread.join();

        const QStringList lines = linesFrom(readAll(logFilePath()), offset);
        QCOMPARE(lines.size(), kThreads * kLines);
        const QRegularExpression pattern(
            QStringLiteral("^%1 Debug: File:\\(\\) Line:\\(0\\) (t\\d n\\d+) x{40}$").arg(kTime));
        QSet<QString> seen;
        for (const QString& line : lines) {
            const QRegularExpressionMatch match = pattern.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line));
            seen.insert(match.captured(1));
        }
        QCOMPARE(seen.size(), kThreads * kLines);
    }

    void childProcesses_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("missing folder, two runs append") << false;
        QTest::newRow("folder cannot be created") << true;
    }

    // A real process per run: the folder is resolved once per process.
    void childProcesses()
    {
        QFETCH(bool, blocked);
        QTemporaryDir dir;
        QProcessEnvironment env = TestEnvironment::environmentFor(dir);
        if (blocked) {
            QFile blocker(dir.filePath(QStringLiteral("blocker")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            env.insert(QStringLiteral("XDG_CACHE_HOME"), blocker.fileName() + QStringLiteral("/cache"));
        }
        QString logPath;
        for (const QString& run : {QStringLiteral("first"), QStringLiteral("second")}) {
            QProcess probe;
            probe.setProcessEnvironment(env);
            probe.start(QStringLiteral(LOG_PROBE_EXE), {run});
            QVERIFY(probe.waitForFinished(60000));
            QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
            QCOMPARE(probe.exitCode(), 0);
            QCOMPARE(probe.readAllStandardError(), QByteArray());
            logPath = QString::fromLocal8Bit(probe.readAllStandardOutput()).trimmed();
        }
        if (blocked) {
            QVERIFY(!QFileInfo::exists(logPath));
            return;
        }
        QCOMPARE(logPath, dir.filePath(QStringLiteral(".cache/log_probe/install_vantrel.log")));
        const QStringList lines = linesFrom(readAll(logPath), 0);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].endsWith(QLatin1String("Debug: File:() Line:(0) probe first")));
        QVERIFY(lines[3].endsWith(QLatin1String("Warning: File:() Line:(0) probe warning second")));
    }
};

NERIX_TEST_MAIN(TestLog)
#include "test_log.moc"
